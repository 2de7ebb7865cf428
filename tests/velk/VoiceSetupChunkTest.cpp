// The format-1/2 setup chunk "Mtsu": packed entries of track 5, plain entries of track 6.
#include "velk/VoiceSetupChunk.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "VelkBytes.h"
#include "song/SmfDialect.h"
#include "velk/VarLen.h"

namespace {

using velktest::Builder;
using velktest::Bytes;

Bytes VarLen(uint32_t v) {
  CMemStream s;
  WriteVarLen(s, v);
  return velktest::ToBytes(s);
}

Bytes Packed(const Bytes& plain) {
  Bytes out(PackedSize7In8(static_cast<uint32_t>(plain.size())));
  Pack7In8(plain.data(), static_cast<uint32_t>(plain.size()), out.data());
  return out;
}

// F0, length, header, kind, the kind's fields, data, F7; the length counts everything after it.
Bytes Entry(const Bytes& header, uint8_t kind, const Bytes& fields, const Bytes& data) {
  Bytes payload = Builder().Raw(header).Raw({kind}).Raw(fields).Raw(data).Raw({0xF7});
  return Builder().Raw({0xF0}).Raw(VarLen(static_cast<uint32_t>(payload.size()))).Raw(payload);
}

Bytes Track5(uint8_t kind, const Bytes& fields, const Bytes& plainData) {
  return Entry({0x43, 0x79, 0x06, 0x7F}, kind, fields, Packed(plainData));
}

Bytes Track6(uint8_t kind, const Bytes& fields, const Bytes& data) {
  return Entry({0x43, 0x79, 0x07, 0x7F}, kind, fields, data);
}

std::unique_ptr<CVoiceSetupChunk> ReadSetup(const Bytes& body, uint8_t track) {
  Bytes file = Builder().Chunk("Mtsu", body);
  CMemStream stream = velktest::ReadStream(file);
  return std::make_unique<CVoiceSetupChunk>(stream, track);
}

// A four-operator FM block: drum key, PANPOT 15 with BO 1, ALG 2, then operator bytes.
Bytes FmBlock() {
  Bytes b = {0x10, 0x79, 0x02};
  for (uint8_t i = 0; i < 28; ++i) b.push_back(static_cast<uint8_t>(0x80 + i));
  return b;
}

// A PCM block whose last byte names wave 3 (KSR and KSL clear, so the item keeps it as it is).
Bytes PcmBlock(uint8_t waveId) {
  return {0x1F, 0x40, 0x78, 0x02, 0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, waveId};
}

Bytes Bytes20() {
  Bytes b;
  for (uint8_t i = 0; i < 20; ++i) b.push_back(static_cast<uint8_t>(0xE0 + i));
  return b;
}

TEST(VoiceSetupChunk, TrackFiveFmVoiceUnpacksItsBlock) {
  // Kind 1: bank 7C/00, program 5, note 0, voice kind 0 (FM), packed FM block.
  auto chunk = ReadSetup(Track5(1, {0x7C, 0x00, 0x05, 0x00, 0x00}, FmBlock()), 5);
  ASSERT_EQ(chunk->GetVoiceCount(), 1);
  const CVoiceItem* v = chunk->GetVoice(0);
  EXPECT_EQ(v->GetBankMsb(), 0x7C);
  EXPECT_EQ(v->GetBankLsb(), 0x00);
  EXPECT_EQ(v->GetProgram(), 5);
  EXPECT_EQ(v->GetNote(), 0);
  EXPECT_EQ(v->IsPcm(), 0);
  EXPECT_EQ(Bytes(v->GetFmVoice(), v->GetFmVoice() + 31), FmBlock());
  EXPECT_EQ(chunk->GetVoice(1), nullptr);
  EXPECT_EQ(chunk->GetSettingByte1(), 0xFF);
  EXPECT_EQ(chunk->GetSettingByte2(), 0xFF);
}

TEST(VoiceSetupChunk, WaveAfterItsVoiceIsAttached) {
  Bytes wave = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFE};
  Bytes body = Builder()
                   .Raw(Track5(1, {0x7D, 0x00, 0x00, 0x24, 0x01}, PcmBlock(3)))
                   .Raw(Track5(3, {0x03, 0x22}, wave));  // wave 3, format byte 0x22 (format 2)
  auto chunk = ReadSetup(body, 5);
  ASSERT_EQ(chunk->GetVoiceCount(), 1);
  const CVoiceItem* v = chunk->GetVoice(0);
  EXPECT_EQ(v->IsPcm(), 1);
  EXPECT_EQ(Bytes(v->GetPcmVoice(), v->GetPcmVoice() + 16), PcmBlock(3));
  EXPECT_EQ(v->GetWaveHeaderId(), 3);
  EXPECT_EQ(v->GetWaveHeaderFlags(), 2);
  ASSERT_EQ(v->GetWaveSampleSize(), wave.size());
  EXPECT_EQ(Bytes(v->GetWaveSamples(), v->GetWaveSamples() + wave.size()), wave);
  EXPECT_EQ(chunk->GetWaveCount(), 1);
  ASSERT_EQ(chunk->GetWaveSize(3), wave.size());
  EXPECT_EQ(Bytes(chunk->GetWave(3), chunk->GetWave(3) + wave.size()), wave);
}

TEST(VoiceSetupChunk, WaveBeforeItsVoiceIsKeptButNotAttached) {
  Bytes wave = {1, 2, 3};
  Bytes body = Builder()
                   .Raw(Track5(3, {0x03, 0x01}, wave))
                   .Raw(Track5(1, {0x7D, 0x00, 0x00, 0x24, 0x01}, PcmBlock(3)));
  auto chunk = ReadSetup(body, 5);
  ASSERT_EQ(chunk->GetVoiceCount(), 1);
  EXPECT_EQ(chunk->GetVoice(0)->GetWaveData(), nullptr);
  EXPECT_EQ(chunk->GetWaveCount(), 1);
  EXPECT_EQ(chunk->GetWaveSize(3), 3u);
}

TEST(VoiceSetupChunk, DataBlocksAndSettings) {
  Bytes body = Builder()
                   .Raw(Track5(12, {0x04}, Bytes20()))
                   .Raw(Track5(7, {0x02}, {}))
                   .Raw(Track5(13, {0x05}, {}))  // kind 13 belongs to track 6
                   .Raw(Track5(0x7F, {}, {}));
  auto chunk = ReadSetup(body, 5);
  const CNamedBlock* block = chunk->GetBlock(4);
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(block->GetSize(), 20);
  EXPECT_EQ(Bytes(block->GetData(), block->GetData() + 20), Bytes20());
  ASSERT_EQ(chunk->GetBlockSize(4), 20u);
  EXPECT_EQ(Bytes(chunk->GetBlockData(4), chunk->GetBlockData(4) + 20), Bytes20());
  EXPECT_EQ(chunk->GetBlock(3), nullptr);
  EXPECT_EQ(chunk->GetSettingByte1(), 2);
  EXPECT_EQ(chunk->GetSettingByte2(), 0xFF);
}

TEST(VoiceSetupChunk, BlockLongerThanSixteenBitsIsRefused) {
  // Its size field could not hold 65536: the block is not kept (it could not be written back).
  const Bytes fits(0xFFFF, 0x11), tooLong(0x10000, 0x22);
  auto chunk = ReadSetup(Builder().Raw(Track6(12, {0x01}, fits)).Raw(Track6(12, {0x02}, tooLong)), 6);
  ASSERT_NE(chunk->GetBlock(1), nullptr);
  EXPECT_EQ(chunk->GetBlock(1)->GetSize(), 0xFFFF);
  EXPECT_EQ(chunk->GetBlockSize(1), 0xFFFFu);
  EXPECT_EQ(chunk->GetBlock(2), nullptr);
  EXPECT_EQ(chunk->GetBlockSize(2), 0u);
}

TEST(VoiceSetupChunk, TrackFiveChecksOnlyTheOuterHeaderBytes) {
  // The middle two header bytes are not checked; the first must be 43 and the fourth 7F.
  Bytes kept = Entry({0x43, 0x00, 0x00, 0x7F}, 7, {0x01}, {});
  Bytes dropped = Entry({0x44, 0x79, 0x06, 0x7F}, 7, {0x02}, {});
  EXPECT_EQ(ReadSetup(kept, 5)->GetSettingByte1(), 1);
  EXPECT_EQ(ReadSetup(dropped, 5)->GetSettingByte1(), 0xFF);
}

TEST(VoiceSetupChunk, TrackSixReadsPlainEntries) {
  Bytes wave = {0xF1, 0x80, 0x00};
  Bytes body = Builder()
                   .Raw(Track6(1, {0x7C, 0x01, 0x02, 0x00, 0x00}, FmBlock()))
                   .Raw(Track6(1, {0x7D, 0x00, 0x00, 0x30, 0x01}, PcmBlock(9)))
                   .Raw(Track6(3, {0x09, 0x01}, wave))
                   .Raw(Track6(12, {0x1F}, {0xAA, 0xBB}))
                   .Raw(Track6(13, {0x05}, {}))
                   .Raw(Track6(7, {0x01}, {}));
  auto chunk = ReadSetup(body, 6);
  ASSERT_EQ(chunk->GetVoiceCount(), 2);
  EXPECT_EQ(Bytes(chunk->GetVoice(0)->GetFmVoice(), chunk->GetVoice(0)->GetFmVoice() + 31), FmBlock());
  const CVoiceItem* pcm = chunk->GetVoice(1);
  EXPECT_EQ(Bytes(pcm->GetPcmVoice(), pcm->GetPcmVoice() + 16), PcmBlock(9));
  ASSERT_EQ(pcm->GetWaveSampleSize(), 3u);
  EXPECT_EQ(Bytes(pcm->GetWaveSamples(), pcm->GetWaveSamples() + 3), wave);
  EXPECT_EQ(pcm->GetWaveHeaderFlags(), 1);
  EXPECT_EQ(chunk->GetBlockSize(31), 2u);
  EXPECT_EQ(chunk->GetSettingByte2(), 5);
  EXPECT_EQ(chunk->GetSettingByte1(), 1);
}

TEST(VoiceSetupChunk, TrackSixSettingTwoKeepsOnlyValuesBelowSixteen) {
  EXPECT_EQ(ReadSetup(Track6(13, {15}, {}), 6)->GetSettingByte2(), 15);
  EXPECT_EQ(ReadSetup(Track6(13, {16}, {}), 6)->GetSettingByte2(), 0xFF);
}

TEST(VoiceSetupChunk, TrackSixVoiceOfAnotherKindEndsTheParse) {
  Bytes body = Builder()
                   .Raw(Track6(1, {0x7C, 0x00, 0x01, 0x00, 0x00}, FmBlock()))
                   .Raw(Track6(1, {0x7C, 0x00, 0x02, 0x00, 0x02}, FmBlock()))  // voice kind 2
                   .Raw(Track6(1, {0x7C, 0x00, 0x03, 0x00, 0x00}, FmBlock()))
                   .Raw(Track6(7, {0x01}, {}));
  auto chunk = ReadSetup(body, 6);
  ASSERT_EQ(chunk->GetVoiceCount(), 1);
  EXPECT_EQ(chunk->GetVoice(0)->GetProgram(), 1);
  EXPECT_EQ(chunk->GetSettingByte1(), 0xFF);
}

TEST(VoiceSetupChunk, TrackSixStopsAtAByteOtherThanF0AndSkipsOtherHeaders) {
  Bytes body = Builder()
                   .Raw(Track6(7, {0x03}, {}))
                   .Raw(Entry({0x43, 0x79, 0x06, 0x7F}, 13, {0x04}, {}))  // a track-5 header
                   .Raw({0x00})
                   .Raw(Track6(13, {0x05}, {}));
  auto chunk = ReadSetup(body, 6);
  EXPECT_EQ(chunk->GetSettingByte1(), 3);
  EXPECT_EQ(chunk->GetSettingByte2(), 0xFF);
}

TEST(VoiceSetupChunk, OtherTracksLeaveTheChunkEmpty) {
  Bytes body = Track5(7, {0x02}, {});
  for (uint8_t track : {0, 1, 4, 7}) {
    SCOPED_TRACE(static_cast<int>(track));
    auto chunk = ReadSetup(body, track);
    EXPECT_EQ(chunk->GetSettingByte1(), 0xFF);
    EXPECT_EQ(chunk->GetBodySize(), body.size());
  }
}

TEST(VoiceSetupChunk, HostileEntriesAreIgnored) {
  struct Case {
    const char* name;
    Bytes entry;
  };
  const Case cases[] = {
      {"voice length 0", {0xF0, 0x00, 0x43, 0x79, 0x06, 0x7F, 0x01, 0xF7}},
      {"voice length 10", {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0x00, 0x00, 0x00, 0xF7}},
      {"wave length 7", {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x03, 0x01, 0xF7}},
      {"block length 6", {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x0C, 0xF7}},
      {"wave id 200", Track5(3, {200, 0x00}, {1, 2, 3})},
      {"wave id 128", Track5(3, {128, 0x00}, {1, 2, 3})},
      {"block 40", Track5(12, {40}, {1, 2, 3})},
      {"block 32", Track5(12, {32}, {1, 2, 3})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A good entry behind the bad one is still read.
    Bytes body = Builder().Raw(c.entry).Raw(Track5(7, {0x06}, {}));
    auto chunk = ReadSetup(body, 5);
    EXPECT_EQ(chunk->GetVoiceCount(), 0);
    EXPECT_EQ(chunk->GetWaveCount(), 0);
    for (int i = 0; i < CVoiceSetupChunk::kBlockSlots; ++i) EXPECT_EQ(chunk->GetBlock(i), nullptr);
    EXPECT_EQ(chunk->GetSettingByte1(), 6);
  }
}

TEST(VoiceSetupChunk, LengthsBelowTheFramingSkipTheEntry) {
  struct Kind {
    uint8_t kind;
    uint32_t framing;
  };
  const Kind kinds[] = {{1, 11}, {3, 8}, {12, 7}};
  for (uint8_t track : {5, 6}) {
    Bytes header = track == 5 ? Bytes{0x43, 0x79, 0x06, 0x7F} : Bytes{0x43, 0x79, 0x07, 0x7F};
    for (const Kind& k : kinds) {
      for (uint32_t length = 0; length < k.framing; ++length) {
        SCOPED_TRACE(std::to_string(track) + " kind " + std::to_string(k.kind) + " length " + std::to_string(length));
        // As many bytes as the length claims (at least the header and kind), then F7.
        Bytes filler(length > 6 ? length - 6 : 0, 0x01);
        Bytes entry = Builder().Raw({0xF0, static_cast<uint8_t>(length)}).Raw(header).Raw({k.kind}).Raw(filler).Raw({0xF7});
        Bytes setting = track == 5 ? Track5(7, {0x06}, {}) : Track6(7, {0x06}, {});
        auto chunk = ReadSetup(Builder().Raw(entry).Raw(setting), track);
        EXPECT_EQ(chunk->GetVoiceCount(), 0);
        EXPECT_EQ(chunk->GetWaveCount(), 0);
        EXPECT_EQ(chunk->GetBlock(1), nullptr);
        EXPECT_EQ(chunk->GetSettingByte1(), 6);
      }
    }
  }
}

TEST(VoiceSetupChunk, LengthPastTheBodyEndsTheParse) {
  Bytes body = Builder()
                   .Raw(Track5(7, {0x06}, {}))
                   .Raw({0xF0, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0, 0, 0, 0, 1, 2})
                   .Raw(Track5(13, {0x01}, {}));
  auto chunk = ReadSetup(body, 5);
  EXPECT_EQ(chunk->GetSettingByte1(), 6);
  EXPECT_EQ(chunk->GetVoiceCount(), 0);
}

TEST(VoiceSetupChunk, OversizedBlocksAreCut) {
  Bytes fm = FmBlock();
  Bytes longFm = fm;
  for (int i = 0; i < 9; ++i) longFm.push_back(0x11);
  Bytes pcm = PcmBlock(5);
  Bytes longPcm = pcm;
  longPcm.insert(longPcm.end(), 20, 0x22);
  auto five = ReadSetup(Track5(1, {0x7C, 0x00, 0x01, 0x00, 0x00}, longFm), 5);
  ASSERT_EQ(five->GetVoiceCount(), 1);
  EXPECT_EQ(Bytes(five->GetVoice(0)->GetFmVoice(), five->GetVoice(0)->GetFmVoice() + 31), fm);
  auto six = ReadSetup(Track6(1, {0x7C, 0x00, 0x02, 0x00, 0x01}, longPcm), 6);
  ASSERT_EQ(six->GetVoiceCount(), 1);
  EXPECT_EQ(Bytes(six->GetVoice(0)->GetPcmVoice(), six->GetVoice(0)->GetPcmVoice() + 16), pcm);
}

TEST(VoiceSetupChunk, HundredTwentyNinthVoiceIsIgnored) {
  Builder b;
  for (int i = 0; i < 129; ++i) b.Raw(Track5(1, {0x7C, 0x00, static_cast<uint8_t>(i & 0x7F), 0x00, 0x00}, {0x01}));
  b.Raw(Track5(7, {0x04}, {}));
  auto chunk = ReadSetup(b, 5);
  EXPECT_EQ(chunk->GetVoiceCount(), CVoiceSetupChunk::kMaxVoices);
  EXPECT_EQ(chunk->GetVoice(127)->GetProgram(), 127);
  EXPECT_EQ(chunk->GetSettingByte1(), 4);
}

TEST(VoiceSetupChunk, EveryCutOfTheBodyReadsCleanly) {
  Bytes body = Builder()
                   .Raw(Track5(1, {0x7D, 0x00, 0x00, 0x24, 0x01}, PcmBlock(3)))
                   .Raw(Track5(3, {0x03, 0x22}, {1, 2, 3, 4, 5, 6, 7, 8, 9}))
                   .Raw(Track5(12, {0x04}, Bytes20()))
                   .Raw(Track5(7, {0x02}, {}));
  for (uint8_t track : {5, 6}) {
    for (size_t n = 0; n <= body.size(); ++n) {
      SCOPED_TRACE(n);
      auto chunk = ReadSetup(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n)), track);
      EXPECT_LE(chunk->GetVoiceCount(), 1);
      EXPECT_LE(chunk->GetWaveCount(), 1);
    }
  }
}

}  // namespace
