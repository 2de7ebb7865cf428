// The song-data dialect: packing, device frames, tempo rules and header checks.
#include "song/SmfDialect.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "song/MemStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const Bytes& plain) {
  Bytes out(PackedSize7In8(static_cast<uint32_t>(plain.size())));
  uint32_t n = Pack7In8(plain.data(), static_cast<uint32_t>(plain.size()), out.data());
  EXPECT_EQ(n, out.size());
  return out;
}

Bytes Unpack(const Bytes& packed) {
  Bytes out(UnpackedSize7In8(static_cast<uint32_t>(packed.size())));
  uint32_t n = Unpack7In8(packed.data(), static_cast<uint32_t>(packed.size()), out.data());
  EXPECT_EQ(n, out.size());
  return out;
}

TEST(SmfDialect, PackedSizesFollowTheGroupsOfSeven) {
  struct Case {
    uint32_t plain, packed;
  } cases[] = {{0, 0}, {1, 2}, {6, 7}, {7, 8}, {8, 10}, {14, 16}, {31, 36}, {3500, 4000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plain);
    EXPECT_EQ(PackedSize7In8(c.plain), c.packed);
    EXPECT_EQ(UnpackedSize7In8(c.packed), c.plain);
    Bytes plain(c.plain);
    std::iota(plain.begin(), plain.end(), uint8_t{0x7A});
    Bytes packed = Pack(plain);
    EXPECT_EQ(packed.size(), c.packed);
    for (uint8_t b : packed) EXPECT_LT(b, 0x80);
    EXPECT_EQ(Unpack(packed), plain);
  }
}

TEST(SmfDialect, PackHeaderCarriesHighBitsFirstByteInBitSix) {
  // 80 00 00 00 00 00 01 | FF 81
  Bytes plain = {0x80, 0, 0, 0, 0, 0, 0x01, 0xFF, 0x81};
  Bytes expected = {
      0x40,                    // header: bit 7 of the first byte only
      0x00, 0, 0, 0, 0, 0, 0x01,
      0x60,                    // rest of two: bits 6 and 5
      0x7F, 0x01,
  };
  EXPECT_EQ(Pack(plain), expected);
  EXPECT_EQ(Unpack(expected), plain);
}

TEST(SmfDialect, UnpackIgnoresALoneTrailingHeader) {
  Bytes packed = {0x00, 1, 2, 3, 4, 5, 6, 7, 0x7F};
  EXPECT_EQ(Unpack(packed), (Bytes{1, 2, 3, 4, 5, 6, 7}));
}

TEST(SmfDialect, DefaultTempoMessageIsGolden) {
  Bytes expected = {0xF0, 0x09,              // SysEx, length 9
                    0x43, 0x79, 0x06,        // maker, model, device
                    0x7D, 0x10,              // song group, tempo
                    0x1E, 0x42, 0x20,        // 500000 in three 7-bit groups
                    0xF7};
  EXPECT_EQ(MakeTempoMessage(kDefaultQuarterTempo), expected);
}

TEST(SmfDialect, TempoAboveTwentyOneBitsUsesFourGroups) {
  struct Case {
    uint32_t tempo;
    Bytes groups;
  } cases[] = {
      {500000, {0x1E, 0x42, 0x20}},
      {0x1FFFFF, {0x7F, 0x7F, 0x7F}},
      {0x200000, {0x01, 0x00, 0x00, 0x00}},
      {0x0FFFFFFF, {0x7F, 0x7F, 0x7F, 0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tempo);
    Bytes message = MakeTempoMessage(c.tempo);
    ASSERT_EQ(message.size(), 8 + c.groups.size());
    EXPECT_EQ(message[1], 6 + c.groups.size());  // length 9 or 10
    EXPECT_EQ(Bytes(message.begin() + 7, message.end() - 1), c.groups);
    uint32_t decoded = 0;
    ASSERT_TRUE(DecodeDialectTempo(message.data() + 7, static_cast<uint32_t>(c.groups.size()) + 1,
                                   message[1], decoded));
    EXPECT_EQ(decoded, c.tempo);
  }
}

TEST(SmfDialect, TempoDecodesTheVariableLengthForm) {
  uint8_t threeGroups[] = {0x9E, 0xC2, 0x20, 0xF7};
  uint32_t tempo = 0;
  ASSERT_TRUE(DecodeDialectTempo(threeGroups, 4, 9, tempo));
  EXPECT_EQ(tempo, 500000u);
  uint8_t fourGroups[] = {0x81, 0x80, 0x80, 0x00, 0xF7};
  ASSERT_TRUE(DecodeDialectTempo(fourGroups, 5, 10, tempo));
  EXPECT_EQ(tempo, 0x200000u);
  uint8_t cut[] = {0x9E, 0xC2};
  EXPECT_FALSE(DecodeDialectTempo(cut, 2, 9, tempo));
  uint8_t shortPlain[] = {0x1E, 0x42};
  EXPECT_FALSE(DecodeDialectTempo(shortPlain, 2, 9, tempo));
}

TEST(SmfDialect, MasterVolumeMessageIsGolden) {
  Bytes expected = {0xF0, 0x07, 0x43, 0x79, 0x06,  // SysEx, length 7, device frame
                    0x7F, 0x00,                    // device group, master volume
                    0x64,                          // volume 100
                    0xF7};
  EXPECT_EQ(MakeMasterVolumeMessage(100), expected);
}

TEST(SmfDialect, PackedMessageLengthCountsHeadAndPackedBytes) {
  // A voice definition: five head bytes and a 31-byte FM block packed to 36: length 36 + 11.
  uint8_t head[] = {0x7C, 0x00, 0x05, 0x00, 0x00};
  Bytes block(31, 0x81);
  Bytes message = MakePackedDialectMessage(kGroupDevice, kDeviceVoice, head, 5, block.data(), 31);
  ASSERT_EQ(message.size(), 2u + 47u);
  EXPECT_EQ(message[1], 47);
  EXPECT_EQ(message[7], 0x7C);
  EXPECT_EQ(message.back(), 0xF7);
  DialectMessage parsed;
  ASSERT_TRUE(ParseDialectMessage(message.data() + 2, 47, parsed));
  EXPECT_EQ(parsed.group, kGroupDevice);
  EXPECT_EQ(parsed.command, kDeviceVoice);
  ASSERT_EQ(parsed.payloadSize, 41u);
  Bytes unpacked(31);
  Unpack7In8(parsed.payload + 5, 36, unpacked.data());
  EXPECT_EQ(unpacked, block);
}

TEST(SmfDialect, SongRecordLengthsCountThePackedPayload) {
  struct Case {
    const char* name;
    uint8_t group, command;
    uint32_t headSize, plainSize;
    uint32_t length;
  } cases[] = {
      {"contents header: 5 bytes packed to 6", kGroupSong, kSongContentsHeader, 0, 5, 12},
      {"channel status: 16 bytes packed to 19", kGroupSong, kSongChannelStatus, 0, 16, 25},
      {"wave block: id, flags, 3500 bytes", kGroupDevice, kDeviceWave, 2, 3500, 4008},
      {"user wave: index, 32 bytes", kGroupDevice, kDeviceUserWave, 1, 32, 44},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes head(c.headSize, 0x01), plain(c.plainSize, 0xC3);
    Bytes message = MakePackedDialectMessage(c.group, c.command, head.data(), c.headSize,
                                             plain.data(), c.plainSize);
    const uint8_t* p = message.data() + 1;
    uint32_t length = 0;
    do {
      length = (length << 7) | (*p & 0x7F);
    } while (*p++ & 0x80);
    EXPECT_EQ(length, c.length);
    EXPECT_EQ(static_cast<size_t>(message.data() + message.size() - p), c.length);
    EXPECT_EQ(Bytes(p, p + 5), (Bytes{0x43, 0x79, 0x06, c.group, c.command}));
  }
}

TEST(SmfDialect, LongPayloadGetsAMultiByteLength) {
  Bytes plain(3500, 0x11);
  uint8_t head[] = {1, 0x20};
  Bytes message = MakePackedDialectMessage(kGroupDevice, kDeviceStreamWave, head, 2, plain.data(),
                                           3500);
  // 4000 packed + 2 head + 6 frame = 4008 = 0x1FA8 -> 9F 28
  EXPECT_EQ(message[1], 0x9F);
  EXPECT_EQ(message[2], 0x28);
  EXPECT_EQ(message.size(), 1u + 2u + 4008u);
}

TEST(SmfDialect, RecognisesOnlyTheDialectFrame) {
  struct Case {
    const char* name;
    Bytes data;
    bool recognised;
    uint8_t group;
  } cases[] = {
      {"master volume", {0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, true, 0x7F},
      {"other group kept", {0x43, 0x79, 0x06, 0x7E, 0x04, 0xF7}, true, 0x7E},
      {"voice in 07 form", {0x43, 0x79, 0x07, 0x7F, 0x01, 0x7C, 0xF7}, true, 0x7F},
      {"07 form of another command", {0x43, 0x79, 0x07, 0x7F, 0x00, 0x64, 0xF7}, false, 0},
      {"other maker", {0x7D, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, false, 0},
      {"GM reset", {0x7E, 0x7F, 0x09, 0x01, 0xF7}, false, 0},
      {"too short", {0x43, 0x79, 0x06, 0x7F}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialectMessage m;
    EXPECT_EQ(ParseDialectMessage(c.data.data(), static_cast<uint32_t>(c.data.size()), m),
              c.recognised);
    if (c.recognised) {
      EXPECT_EQ(m.group, c.group);
    }
  }
}

TEST(SmfDialect, TempoClampingKeepsTwentyToTwoHundredFiftyFiveBeats) {
  struct Case {
    const char* name;
    uint32_t tickTempo, division, expected;
    bool clamped;
  } tickCases[] = {
      {"120 bpm stays", 1042, 480, 1042, false},
      {"too slow", 10000, 480, (240 + 3000000) / 480, true},
      {"too fast", 400, 480, (240 + 235294) / 480, true},
      {"zero tempo is too fast", 0, 480, (240 + 235294) / 480, true},
      {"zero division is left alone", 0, 0, 0, false},
      {"no overflow at the largest values", 0xFFFFFF, 0xFFFF, (0x7FFF + 3000000) / 0xFFFF, true},
  };
  for (const Case& c : tickCases) {
    SCOPED_TRACE(c.name);
    bool clamped = !c.clamped;
    EXPECT_EQ(ClampTickTempo(c.tickTempo, c.division, &clamped), c.expected);
    EXPECT_EQ(clamped, c.clamped);
  }
  struct QuarterCase {
    uint32_t tempo, expected;
  } quarterCases[] = {{500000, 500000}, {3000000, 3000000}, {3200000, 3000000},
                      {235294, 235294}, {200000, 235294},   {0, 235294}};
  for (const QuarterCase& c : quarterCases) {
    SCOPED_TRACE(c.tempo);
    EXPECT_EQ(ClampQuarterTempo(c.tempo, nullptr), c.expected);
  }
}

TEST(SmfDialect, HeaderRulesAcceptFormatsZeroAndOne) {
  CMemStream s;
  WriteSmfHeader(s, 1, 2, 480);
  Bytes expected = {'M', 'T', 'h', 'd', 0, 0, 0, 6,  // id, length 6
                    0, 1, 0, 2, 0x01, 0xE0};          // format 1, two tracks, division 480
  ASSERT_EQ(Bytes(s.GetData(), s.GetData() + s.GetSize()), expected);
  SmfHeader header;
  ASSERT_TRUE(ReadSmfHeader(expected.data(), 14, header));
  EXPECT_EQ(header.format, 1);
  EXPECT_EQ(header.trackCount, 2);
  EXPECT_EQ(header.division, 480);
  EXPECT_FALSE(ReadSmfHeader(expected.data(), 13, header));
  Bytes format2 = expected;
  format2[9] = 2;
  EXPECT_FALSE(ReadSmfHeader(format2.data(), 14, header));
  Bytes notHeader = expected;
  notHeader[0] = 'X';
  EXPECT_FALSE(ReadSmfHeader(notHeader.data(), 14, header));
}

TEST(SmfDialect, SignatureChecksFollowTheReaderRules) {
  uint8_t ts[][4] = {{4, 2, 24, 8}, {0, 2, 24, 8}, {65, 2, 24, 8}, {4, 0, 24, 8}, {4, 6, 24, 8}};
  bool tsValid[] = {true, false, false, false, false};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(IsValidTimeSignature(ts[i], 4), tsValid[i]) << i;
  uint8_t keys[][2] = {{0xF9, 0}, {7, 1}, {0xF8, 0}, {8, 0}};
  bool keyValid[] = {true, true, false, false};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(IsValidKeySignature(keys[i], 2), keyValid[i]) << i;
}

}  // namespace
