// A plain Standard MIDI File of format 0 into the song-data dialect.
#include "plugins/midigate/SmfImport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfFixture.h"
#include "plugins/midigate/Failure.h"
#include "song/SmfDialect.h"

using namespace midigate::testing;

namespace {

uint32_t ImportEntry(CnvParam* param, uint32_t) {
  return midigate::GuardedConvert([param] { return midigate::CSmfImport::Convert(*param); });
}

Converted Import(const Bytes& source, uint32_t capacity = 1 << 20) {
  return CallEntry(&ImportEntry, source, capacity);
}

// The header events every import writes when the song brings none of its own.
const Bytes kContentsHeader = {0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7D, 0x01, 0x08, 0x00, 0x32, 0x01, 0x7D, 0x00, 0xF7};
const Bytes kDefaultTempo = {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7};
const Bytes kDefaultTimeSignature = {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};

struct Imported {
  uint32_t result = 0;
  uint32_t flags = 0;
  std::vector<OutEvent> header;  // the events before the first one of the song itself
  std::vector<OutEvent> song;    // the song's events, without the closing end of track
};

// Imports and splits the output where the header blocks end: after the default time
// signature when the song has none at tick 0, else after the known header messages.
Imported ImportSplit(const Bytes& source) {
  Converted c = Import(source);
  Imported out;
  out.result = c.result;
  out.flags = c.flags;
  if (c.result >= CNVERR_FAILED) return out;
  OutFile file = ReadOutput(c.output);
  EXPECT_EQ(file.format, 0);
  EXPECT_EQ(file.tracks, 1);
  EXPECT_TRUE(file.lengthMatches);
  EXPECT_FALSE(file.events.empty());
  if (file.events.empty()) return out;
  EXPECT_EQ(file.events.back().bytes, (Bytes{0xFF, 0x2F, 0x00}));
  file.events.pop_back();
  size_t split = 0;
  auto isHeaderMessage = [](const Bytes& b) {
    if (b.size() < 7 || b[0] != 0xF0) return b == kDefaultTimeSignature;
    uint8_t group = b[b[1] & 0x80 ? 6 : 5];
    uint8_t command = b[b[1] & 0x80 ? 7 : 6];
    return (group == 0x7D && command <= 0x03) || (group == 0x7F && command <= 0x01) || b == kDefaultTempo;
  };
  while (split < file.events.size() && file.events[split].tick == 0 && isHeaderMessage(file.events[split].bytes)) {
    ++split;
  }
  out.header.assign(file.events.begin(), file.events.begin() + split);
  out.song.assign(file.events.begin() + split, file.events.end());
  return out;
}

std::vector<Bytes> SongBytes(const Imported& imported) {
  std::vector<Bytes> bytes;
  for (const OutEvent& e : imported.song) bytes.push_back(e.bytes);
  return bytes;
}

Bytes Unpack(const Bytes& message, size_t payloadStart) {
  Bytes packed(message.begin() + payloadStart, message.end() - 1);
  Bytes plain(UnpackedSize7In8(static_cast<uint32_t>(packed.size())));
  Unpack7In8(packed.data(), static_cast<uint32_t>(packed.size()), plain.data());
  return plain;
}

}  // namespace

TEST(SmfImport, WritesTheDefaultHeaderEventsGolden) {
  Bytes source = SmfWriter(0, 480).Raw(0, {0x90, 0x3C, 0x64}).Raw(480, {0x80, 0x3C, 0x40}).End().Build();
  Converted c = Import(source);
  Bytes expected = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,  // format 0, one track, division 480
      'M', 'T', 'r', 'k', 0, 0, 0, 0x56,                        // track length 86
      // contents header: class 0, type 0x32, code type 1, option bytes 0xFD and 0, packed 5 -> 6
      0x00, 0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7D, 0x01, 0x08, 0x00, 0x32, 0x01, 0x7D, 0x00, 0xF7,
      // channel block: 16 zero bytes packed into 19
      0x00, 0xF0, 0x19, 0x43, 0x79, 0x06, 0x7D, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0xF7,
      0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7,  // master volume 100
      0x00, 0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7,  // tempo 500000
      0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08,  // 4/4
      0x00, 0x90, 0x3C, 0x64,                          // the song
      0x83, 0x60, 0x80, 0x3C, 0x40,
      0x00, 0xFF, 0x2F, 0x00,
  };
  EXPECT_EQ(Hex(c.output), Hex(expected));
  EXPECT_EQ(c.result, expected.size());
  EXPECT_EQ(c.dstSize, expected.size());
  EXPECT_EQ(c.flags, CNVF_DEFAULT_VOLUME);
}

TEST(SmfImport, RefusesWhatIsNoFormatZeroFile) {
  Bytes valid = SmfWriter().Raw(0, {0x90, 60, 100}).End().Build();
  auto with = [&](size_t at, uint8_t value) {
    Bytes b = valid;
    b[at] = value;
    return b;
  };
  struct Case {
    const char* name;
    Bytes source;
    uint32_t result;
  } cases[] = {
      {"format 1", with(9, 1), CNVERR_SMFTYPE},
      {"format 2", with(9, 2), CNVERR_SMFTYPE},
      {"format 256", with(8, 1), CNVERR_SMFTYPE},
      {"13 bytes", Bytes(valid.begin(), valid.begin() + 13), CNVERR_FAILED},
      {"no MThd", with(0, 'X'), CNVERR_FAILED},
      {"division 0", [&] { Bytes b = with(12, 0); b[13] = 0; return b; }(), CNVERR_FAILED},
  };
  EXPECT_LT(Import(valid).result, CNVERR_FAILED);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Import(c.source).result, c.result);
  }
}

TEST(SmfImport, AcceptsTemposOnlyFrom60000To6000000) {
  struct Case {
    uint32_t tempo;
    bool accepted;
  } cases[] = {{59999, false}, {60000, true}, {500000, true}, {6000000, true}, {6000001, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tempo);
    Bytes source = SmfWriter().Raw(0, {0x90, 60, 100}).Tempo(10, c.tempo).End().Build();
    Converted result = Import(source);
    if (c.accepted) {
      EXPECT_LT(result.result, CNVERR_FAILED);
    } else {
      EXPECT_EQ(result.result, CNVERR_FAILED);
      EXPECT_EQ(result.flags, CNVF_DEFAULT_VOLUME);  // bits found before the failure stay
    }
  }
}

TEST(SmfImport, WritesTempoPerTickBesideTheDeviceTempo) {
  Bytes source = SmfWriter(0, 480).Tempo(0, 500000).Tempo(480, 500000).Tempo(480, 0x200000).End().Build();
  Imported imported = ImportSplit(source);
  ASSERT_EQ(imported.result < CNVERR_FAILED, true);
  EXPECT_TRUE(EventsStartingWith({0, 0, 0, imported.header}, kDefaultTempo).empty());
  std::vector<OutEvent> expected = {
      {0, {0xFF, 0x51, 0x03, 0x00, 0x04, 0x12}},  // 1042 microseconds per tick
      {0, kDefaultTempo},
      {480, {0xFF, 0x51, 0x03, 0x00, 0x04, 0x12}},  // same tempo: no device message
      {960, {0xFF, 0x51, 0x03, 0x00, 0x11, 0x11}},  // 2097152 / 480 = 4369.07
      {960, {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x01, 0x00, 0x00, 0x00, 0xF7}},
  };
  EXPECT_EQ(imported.song, expected);
}

TEST(SmfImport, MapsBankSelectToTheChipsBanks) {
  struct Case {
    uint8_t in, out;
    uint32_t flags;
  } cases[] = {{0x7A, 0x7C, 0}, {0x7B, 0x7D, 0}, {0x7C, 0x7C, 0}, {0x7D, 0x7D, 0}, {0x00, 0x00, 0},
               {0x05, 0x00, CNVF_VOICE_CHANGED}, {0x79, 0x00, CNVF_VOICE_CHANGED}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.in));
    Imported imported = ImportSplit(SmfWriter().Raw(0, {0xB2, 0x00, c.in}).End().Build());
    EXPECT_EQ(SongBytes(imported), (std::vector<Bytes>{{0xB2, 0x00, c.out}}));
    EXPECT_EQ(imported.flags, c.flags);
  }
}

TEST(SmfImport, TiesOverlappingNotesOfOneKey) {
  Bytes source = SmfWriter()
                     .Raw(0, {0x90, 60, 100}).Raw(10, {0x90, 60, 90}).Raw(10, {0x80, 60, 0}).Raw(10, {0x90, 60, 0})
                     .Raw(10, {0x91, 60, 100}).Raw(10, {0x81, 60, 0})  // another channel sounds alone
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  std::vector<OutEvent> expected = {
      {0, {0x90, 60, 100}}, {20, {0x80, 60, 0}}, {40, {0x91, 60, 100}}, {50, {0x81, 60, 0}}};
  EXPECT_EQ(imported.song, expected);
  EXPECT_EQ(imported.flags, CNVF_DEFAULT_VOLUME | CNVF_NOTES_TIED);
}

TEST(SmfImport, DropsANoteOffForAKeyThatDoesNotSound) {
  Bytes source = SmfWriter().Raw(0, {0x80, 60, 0}).Raw(10, {0x90, 60, 100}).Raw(10, {0x80, 60, 0}).End().Build();
  Imported imported = ImportSplit(source);
  std::vector<OutEvent> expected = {{10, {0x90, 60, 100}}, {20, {0x80, 60, 0}}};
  EXPECT_EQ(imported.song, expected);
  EXPECT_EQ(imported.flags & CNVF_NOTES_TIED, CNVF_NOTES_TIED);
}

TEST(SmfImport, DefinesEveryVoiceTheNotesPlay) {
  Bytes source = SmfWriter()
                     .Raw(0, {0xB0, 0x00, 0x7A}).Raw(0, {0xB0, 32, 0}).Raw(0, {0xC0, 5})
                     .Raw(0, {0x90, 60, 100}).Raw(0, {0x90, 62, 100})  // one melody voice, key 0
                     .Raw(0, {0xB9, 0x00, 0x7D}).Raw(0, {0xC9, 0})
                     .Raw(0, {0x99, 36, 100}).Raw(0, {0x99, 12, 100})  // drum key 12 is out of range
                     .Raw(0, {0xB1, 0x00, 0x00}).Raw(0, {0xC1, 7}).Raw(0, {0x91, 60, 100})  // bank 0: none
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  auto definition = [](uint8_t msb, uint8_t lsb, uint8_t program, uint8_t key) {
    Bytes b = {0xF0, 0x2F, 0x43, 0x79, 0x06, 0x7F, 0x01, msb, lsb, program, key, 0x00};
    b.insert(b.end(), 36, 0x00);  // 31 zero bytes packed
    b.push_back(0xF7);
    return b;
  };
  OutFile header{0, 0, 0, imported.header};
  std::vector<OutEvent> found = EventsStartingWith(header, {0xF0, 0x2F, 0x43, 0x79, 0x06, 0x7F, 0x01});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(Hex(found[0].bytes), Hex(definition(0x7C, 0, 5, 0)));
  EXPECT_EQ(Hex(found[1].bytes), Hex(definition(0x7D, 0, 0, 36)));
}

TEST(SmfImport, NormalisesTheVoiceAddressesItDefines) {
  struct Case {
    const char* name;
    uint8_t msb, lsb, program, key;
    Bytes address;  // empty: no definition
  } cases[] = {
      {"melody LSB 11 taken as 0", 0x7C, 11, 3, 60, {0x7C, 0, 3, 0}},
      {"melody LSB 10 records nothing", 0x7C, 10, 3, 60, {}},
      {"drum LSB taken as 0", 0x7D, 4, 2, 40, {0x7D, 0, 2, 40}},
      {"drum program 11 taken as 0", 0x7D, 0, 11, 40, {0x7D, 0, 0, 40}},
      {"drum program 10 records nothing", 0x7D, 0, 10, 40, {}},
      {"drum key 91 kept", 0x7D, 0, 1, 91, {0x7D, 0, 1, 91}},
      {"drum key 92 skipped", 0x7D, 0, 1, 92, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes source = SmfWriter()
                       .Raw(0, {0xB0, 0x00, c.msb}).Raw(0, {0xB0, 32, c.lsb}).Raw(0, {0xC0, c.program})
                       .Raw(0, {0x90, c.key, 100}).End().Build();
    Imported imported = ImportSplit(source);
    std::vector<OutEvent> found =
        EventsStartingWith({0, 0, 0, imported.header}, {0xF0, 0x2F, 0x43, 0x79, 0x06, 0x7F, 0x01});
    if (c.address.empty()) {
      EXPECT_TRUE(found.empty());
    } else {
      ASSERT_EQ(found.size(), 1u);
      EXPECT_EQ(Bytes(found[0].bytes.begin() + 7, found[0].bytes.begin() + 11), c.address);
    }
  }
}

TEST(SmfImport, WritesNoVoiceDefinitionsWhenTheSongBringsItsOwn) {
  Bytes own = {0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0, 5, 0, 0, 0xF7};
  Bytes source = SmfWriter().SysEx(1, own).Raw(0, {0xB0, 0, 0x7C}).Raw(0, {0xC0, 9}).Raw(0, {0x90, 60, 100}).End().Build();
  Imported imported = ImportSplit(source);
  std::vector<OutEvent> found = EventsStartingWith({0, 0, 0, imported.header}, {0xF0, 0x2F});
  EXPECT_TRUE(found.empty());
  // The song's own definition goes through with the song's events.
  EXPECT_EQ(EventsStartingWith({0, 0, 0, imported.song}, {0xF0, 0x0B, 0x43, 0x79, 0x06, 0x7F, 0x01}).size(), 1u);
}

TEST(SmfImport, TurnsSectionEventsIntoCueMarks) {
  Bytes source = SmfWriter()
                     .Meta(0, 0x07, "START")
                     .Meta(0, 0x7F, Bytes{0x43, 0x7B, 0x02, 0x03})   // A
                     .Meta(10, 0x7F, Bytes{0x43, 0x7B, 0x02, 0x11})  // low nibble 1: E
                     .Meta(10, 0x7F, Bytes{0x43, 0x7B, 0x02, 0x02})  // no section
                     .Meta(10, 0x07, "STOP")
                     .Meta(10, 0x07, "STOP")
                     .Meta(0, 0x7F, Bytes{0x43, 0x7B, 0x01, 0x05})  // kept as it is
                     .Meta(0, 0x7F, Bytes{0x43, 0x10})              // other maker data: dropped
                     .Meta(0, 0x7F, Bytes{0x41, 0x10})              // not the maker's: kept
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  auto cue = [](const std::string& text) {
    Bytes b = {0xFF, 0x07, static_cast<uint8_t>(text.size())};
    b.insert(b.end(), text.begin(), text.end());
    return b;
  };
  std::vector<OutEvent> expected = {
      {0, cue("START")},    {0, cue("01LSTPA")},  {10, cue("01LSPPA")}, {10, cue("01LSTPE")},
      {30, cue("01LSPPE")}, {30, cue("STOP")},    {40, cue("STOP")},
      {40, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x01, 0x05}}, {40, {0xFF, 0x7F, 0x02, 0x41, 0x10}},
  };
  EXPECT_EQ(imported.song, expected);
}

TEST(SmfImport, TakesTheFirstMasterVolumeIntoTheHeader) {
  Bytes mv50 = {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x50, 0xF7};
  Bytes source = SmfWriter().SysEx(0, mv50).SysEx(5, mv50).Raw(5, {0x90, 60, 100}).SysEx(5, mv50).End().Build();
  Imported imported = ImportSplit(source);
  std::vector<OutEvent> header = EventsStartingWith({0, 0, 0, imported.header}, {0xF0, 0x07, 0x43});
  ASSERT_EQ(header.size(), 1u);
  EXPECT_EQ(header[0].bytes, (Bytes{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x50, 0xF7}));
  // The first is dropped once; the others are written in the device form.
  std::vector<OutEvent> expected = {{5, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x50, 0xF7}},
                                    {10, {0x90, 60, 100}},
                                    {15, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x50, 0xF7}}};
  EXPECT_EQ(imported.song, expected);
  EXPECT_EQ(imported.flags, 0u);
}

TEST(SmfImport, ReadsSysExInF7FormAsTheF0Form) {
  // Both passes take an F7 message with its own length as a SysEx: the Master Volume reaches the
  // header and is dropped once, a universal message is copied, in the F0 form of the song data.
  Bytes mv50 = {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x50, 0xF7};
  Bytes balance = {0x7F, 0x7F, 0x04, 0x02, 0x00, 0x40, 0xF7};
  Bytes source = SmfWriter()
                     .SysEx(0, mv50, 0xF7)
                     .SysEx(5, balance, 0xF7)
                     .Raw(5, {0x90, 60, 100})
                     .SysEx(5, mv50, 0xF7)
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  ASSERT_LT(imported.result, CNVERR_FAILED);
  std::vector<OutEvent> header = EventsStartingWith({0, 0, 0, imported.header}, {0xF0, 0x07, 0x43});
  ASSERT_EQ(header.size(), 1u);
  EXPECT_EQ(header[0].bytes, (Bytes{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x50, 0xF7}));
  std::vector<OutEvent> expected = {{5, {0xF0, 0x07, 0x7F, 0x7F, 0x04, 0x02, 0x00, 0x40, 0xF7}},
                                    {10, {0x90, 60, 100}},
                                    {15, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x50, 0xF7}}};
  EXPECT_EQ(imported.song, expected);
  EXPECT_EQ(imported.flags, 0u);
}

TEST(SmfImport, UsesVolume100WhenANoteComesFirst) {
  Bytes mv64 = {0x7F, 0x10, 0x04, 0x01, 0x00, 0x64, 0xF7};
  Imported imported = ImportSplit(SmfWriter().Raw(0, {0x90, 60, 100}).SysEx(5, mv64).End().Build());
  EXPECT_EQ(imported.flags, CNVF_DEFAULT_VOLUME);
  std::vector<OutEvent> expected = {{0, {0x90, 60, 100}},
                                    {5, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}}};
  EXPECT_EQ(imported.song, expected);
}

TEST(SmfImport, RefusesAMasterVolumeOf128OrMore) {
  Bytes mvBad = {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x80, 0xF7};
  Bytes mvGood = {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x40, 0xF7};
  EXPECT_EQ(Import(SmfWriter().SysEx(0, mvBad).End().Build()).result, CNVERR_FAILED);
  EXPECT_EQ(Import(SmfWriter().SysEx(0, mvGood).SysEx(0, mvBad).End().Build()).result, CNVERR_FAILED);
}

TEST(SmfImport, KeepsDeviceMessagesOnlyWithinTheirRanges) {
  auto device = [](Bytes tail) {
    Bytes b = {0x43, 0x79, 0x06};
    b.insert(b.end(), tail.begin(), tail.end());
    b.push_back(0xF7);
    return b;
  };
  struct Case {
    const char* name;
    Bytes body;
    bool kept;
    uint32_t flags;
  } cases[] = {
      {"voice kind 3", device({0x7F, 0x01, 0x7C, 0, 1, 0, 3}), true, 0},
      {"voice kind 4", device({0x7F, 0x01, 0x7C, 0, 1, 0, 4}), false, CNVF_SYSEX_CHANGED},
      {"voice cut short", device({0x7F, 0x01, 0x7C, 0}), false, CNVF_SYSEX_CHANGED},
      {"wave", device({0x7F, 0x03, 1, 0}), true, 0},
      {"user wave", device({0x7F, 0x0C, 1}), true, 0},
      {"voice list", device({0x7F, 0x20}), true, 0},
      {"stream wave slot 32", device({0x7F, 0x05, 32, 0}), true, 0},
      {"stream wave slot 0", device({0x7F, 0x05, 0, 0}), false, CNVF_SYSEX_CHANGED},
      {"stream wave slot 33", device({0x7F, 0x05, 33, 0}), false, CNVF_SYSEX_CHANGED},
      {"mode 2", device({0x7F, 0x07, 2}), true, 0},
      {"mode 3", device({0x7F, 0x07, 3}), false, CNVF_SYSEX_CHANGED},
      {"pair 1", device({0x7F, 0x08, 1, 1, 2}), true, 0},
      {"pair 2", device({0x7F, 0x08, 2, 1, 2}), false, CNVF_SYSEX_CHANGED},
      {"switch 0", device({0x7F, 0x09, 0}), true, 0},
      {"switch 2", device({0x7F, 0x09, 2}), false, CNVF_SYSEX_CHANGED},
      {"slot 1 value 2", device({0x7F, 0x0B, 1, 2, 0}), true, 0},
      {"slot 1 value 3", device({0x7F, 0x0B, 1, 3, 0}), false, CNVF_SYSEX_CHANGED},
      {"slot 0", device({0x7F, 0x0B, 0, 0, 0}), false, CNVF_SYSEX_CHANGED},
      {"song value 15", device({0x7F, 0x10, 15}), true, 0},
      {"song value 16", device({0x7F, 0x10, 16}), false, CNVF_SYSEX_CHANGED},
      {"device master volume", device({0x7F, 0x00, 0x40}), false, 0},
      {"device command 7F", device({0x7F, 0x7F}), false, 0},
      {"contents header", device({0x7D, 0x01, 0}), false, 0},
      {"device tempo", device({0x7D, 0x10, 0x1E, 0x42, 0x20}), false, 0},
      {"last contents text", device({0x7D, 0x04, 0}), true, 0},
      {"universal real time", {0x7F, 0x7F, 0x04, 0x03, 0x00, 0x40, 0xF7}, true, 0},
      {"universal non-real time", {0x7E, 0x7F, 0x09, 0x01, 0xF7}, false, 0},
      {"other maker", {0x41, 0x10, 0x42, 0x12, 0x40, 0xF7}, false, 0},
      {"no closing F7", {0x43, 0x79, 0x06, 0x7F, 0x03, 1, 0}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Imported imported = ImportSplit(SmfWriter().SysEx(3, c.body).Raw(3, {0xB0, 7, 100}).End().Build());
    std::vector<OutEvent> song = imported.song;
    ASSERT_FALSE(song.empty());
    EXPECT_EQ(song.back().tick, 6u);
    if (c.kept) {
      ASSERT_EQ(song.size(), 2u);
      Bytes whole = {0xF0};
      AppendVarLen(whole, c.body.size());
      whole.insert(whole.end(), c.body.begin(), c.body.end());
      EXPECT_EQ(Hex(song[0].bytes), Hex(whole));
    } else {
      EXPECT_EQ(song.size(), 1u);
    }
    EXPECT_EQ(imported.flags, c.flags);
  }
}

TEST(SmfImport, KeepsOnlyThePitchBendSensitivity) {
  Bytes source = SmfWriter()
                     .Raw(0, {0xB3, 101, 0}).Raw(0, {100, 0}).Raw(0, {6, 12}).Raw(0, {38, 0})
                     .Raw(1, {6, 25})                                  // above two octaves
                     .Raw(1, {100, 1}).Raw(0, {6, 2})                  // another parameter
                     .Raw(1, {100, 0}).Raw(0, {101, 0}).Raw(0, {99, 1}).Raw(0, {6, 2})  // NRPN clears it
                     .Raw(1, {101, 0}).Raw(0, {100, 0}).Raw(0, {6, 24})
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  std::vector<OutEvent> expected = {
      {0, {0xB3, 101, 0}}, {0, {0xB3, 100, 0}}, {0, {0xB3, 6, 12}},
      {4, {0xB3, 101, 0}}, {4, {0xB3, 100, 0}}, {4, {0xB3, 6, 24}},
  };
  EXPECT_EQ(imported.song, expected);
}

TEST(SmfImport, KeepsControl55OnlyAtTheStartBeforeAProgram) {
  Bytes source = SmfWriter()
                     .Raw(0, {0xB0, 55, 20}).Raw(0, {0xB1, 55, 3})
                     .Raw(0, {0xC2, 1}).Raw(0, {0xB2, 55, 3})  // after a program change
                     .Raw(1, {0xB0, 55, 3})                    // after tick 0
                     .Raw(0, {0xB0, 7, 90})
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  std::vector<OutEvent> expected = {
      {0, {0xB0, 55, 16}}, {0, {0xB1, 55, 3}}, {0, {0xC2, 1}}, {1, {0xB0, 7, 90}}};
  EXPECT_EQ(imported.song, expected);
  EXPECT_EQ(imported.flags, CNVF_SYSEX_CHANGED);
}

TEST(SmfImport, ClearsBankLsbAndDrumProgramsTheChipCannotUse) {
  struct Case {
    const char* name;
    Bytes msb, lsb;
    uint8_t program;
    Bytes out;  // msb, lsb, program as written
    uint32_t flags;
  } cases[] = {
      {"melody LSB 10 kept", {0x7C}, {10}, 5, {0x7C, 10, 5}, 0},
      {"melody LSB 11 cleared", {0x7C}, {11}, 5, {0x7C, 0, 5}, CNVF_VOICE_CHANGED},
      {"drum LSB 1 cleared", {0x7D}, {1}, 5, {0x7D, 0, 5}, CNVF_VOICE_CHANGED},
      {"drum program 11 cleared", {0x7D}, {0}, 11, {0x7D, 0, 0}, CNVF_VOICE_CHANGED},
      {"drum program 10 kept", {0x7D}, {0}, 10, {0x7D, 0, 10}, 0},
      {"bank 0 LSB 2 cleared", {0x00}, {2}, 5, {0x00, 0, 5}, CNVF_VOICE_CHANGED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes source = SmfWriter()
                       .Raw(0, {0xB4, 0x00, c.msb[0]}).Raw(0, {0xB4, 32, c.lsb[0]}).Raw(0, {0xC4, c.program})
                       .End().Build();
    Imported imported = ImportSplit(source);
    std::vector<Bytes> expected = {{0xB4, 0x00, c.out[0]}, {0xB4, 32, c.out[1]}, {0xC4, c.out[2]}};
    EXPECT_EQ(SongBytes(imported), expected);
    EXPECT_EQ(imported.flags, c.flags);
  }
}

TEST(SmfImport, ClearsBankLsbOfANoteWithoutProgram) {
  Bytes source = SmfWriter().Raw(0, {0xB5, 32, 3}).Raw(0, {0x95, 60, 100}).End().Build();
  Imported imported = ImportSplit(source);
  EXPECT_EQ(SongBytes(imported), (std::vector<Bytes>{{0xB5, 32, 0}, {0x95, 60, 100}}));
  EXPECT_EQ(imported.flags, CNVF_VOICE_CHANGED | CNVF_DEFAULT_VOLUME);
}

TEST(SmfImport, BuildsTheContentsBlocksFromQxTextAndCopyright) {
  Bytes source = SmfWriter()
                     .Meta(0, 0x01, "QXln:jp:Title:Words:Writer:Arranger:Artist:Sixth")
                     .Meta(0, 0x02, "(c) Korvan")
                     .End()
                     .Build();
  Imported imported = ImportSplit(source);
  ASSERT_GE(imported.header.size(), 3u);
  // option byte 1 becomes 1 with a copyright: nothing has bit 7 set any more
  EXPECT_EQ(Hex(imported.header[0].bytes), "F0 0C 43 79 06 7D 01 00 00 32 01 01 00 F7");
  const Bytes& block = imported.header[2].bytes;
  ASSERT_EQ(Bytes(block.begin(), block.begin() + 7), (Bytes{0xF0, 0x59, 0x43, 0x79, 0x06, 0x7D, 0x03}));
  Bytes plain = Unpack(block, 7);
  Bytes items;
  auto item = [&](const std::string& tag, const std::string& text) {
    items.insert(items.end(), tag.begin(), tag.end());
    AppendBE(items, static_cast<uint32_t>(text.size()), 2);
    items.insert(items.end(), text.begin(), text.end());
  };
  item("ST", "Title");
  item("SW", "Words");
  item("WW", "Writer");
  item("AW", "Arranger");
  item("AN", "Artist");
  item("CR", "(c) Korvan");  // the sixth QX text has no tag here
  Bytes expected = {'D', 'c', 'h', 0x00};  // language index of "jp"
  AppendBE(expected, static_cast<uint32_t>(items.size()), 4);
  expected.insert(expected.end(), items.begin(), items.end());
  EXPECT_EQ(Hex(plain), Hex(expected));
  // The texts travel in the header blocks only.
  EXPECT_TRUE(imported.song.empty());
}

TEST(SmfImport, ReadsTheQxLanguageCode) {
  struct Case {
    std::string text;
    uint8_t language;
    std::string title;
  } cases[] = {
      {"QXln:VN:T", 6, "T"}, {"QXln:kr:T", 2, "T"}, {"QXln:XX:T", 0xFF, "T"}, {"QXln::T:U", 0xFF, "T"},
      {"QXln:T", 0xFF, ""},  // too short for a code: the fields begin after the sixth byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Imported imported = ImportSplit(SmfWriter().Meta(0, 0x01, c.text).End().Build());
    std::vector<OutEvent> blocks = EventsStartingWith({0, 0, 0, imported.header}, {0xF0});
    bool hasInfo = blocks.size() > 2 && blocks[2].bytes[6] == 0x03;
    if (c.title.empty()) {
      EXPECT_FALSE(hasInfo);
      continue;
    }
    ASSERT_TRUE(hasInfo);
    Bytes plain = Unpack(blocks[2].bytes, 7);
    EXPECT_EQ(plain[3], c.language);
    ASSERT_GE(plain.size(), 12u);
    EXPECT_EQ(std::string(plain.begin() + 8, plain.begin() + 10), "ST");
    size_t length = (plain[10] << 8) | plain[11];
    ASSERT_GE(plain.size(), 12 + length);
    EXPECT_EQ(std::string(plain.begin() + 12, plain.begin() + 12 + length), c.title);
  }
  EXPECT_EQ(Import(SmfWriter().Meta(0, 0x01, "QXln:").End().Build()).result, CNVERR_FAILED);
}

TEST(SmfImport, CopiesTheSongsOwnChannelAndContentsBlocks) {
  Bytes channels = {0x43, 0x79, 0x06, 0x7D, 0x02, 0x01, 0x02, 0x03, 0xF7};
  Bytes texts = {0x43, 0x79, 0x06, 0x7D, 0x03, 0x04, 0x05, 0xF7};
  Imported imported = ImportSplit(SmfWriter().SysEx(0, texts).SysEx(7, channels).End().Build());
  ASSERT_GE(imported.header.size(), 3u);
  EXPECT_EQ(Hex(imported.header[1].bytes), "F0 09 43 79 06 7D 02 01 02 03 F7");
  EXPECT_EQ(Hex(imported.header[2].bytes), "F0 08 43 79 06 7D 03 04 05 F7");
  EXPECT_TRUE(imported.song.empty());
  EXPECT_EQ(imported.flags, 0u);
}

TEST(SmfImport, BuildsTheChannelBlockFromASequencerEvent) {
  Bytes data = {0x43, 0x02, 0x00, 0x04, 1, 2, 3, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Imported imported = ImportSplit(SmfWriter().Meta(0, 0x7F, data).End().Build());
  ASSERT_GE(imported.header.size(), 2u);
  const Bytes& block = imported.header[1].bytes;
  ASSERT_EQ(block.size(), 27u);
  Bytes plain = Unpack(block, 7);
  Bytes expected(16, 0);
  expected[0] = 0x10, expected[1] = 0x20, expected[2] = 0x30, expected[3] = 0x30;
  EXPECT_EQ(Hex(plain), Hex(expected));
  EXPECT_EQ(imported.flags, CNVF_SYSEX_COPIED);
  EXPECT_TRUE(imported.song.empty());  // the maker's sequencer data is dropped
}

TEST(SmfImport, DropsRepeatedTimeSignatures) {
  Bytes fourFour = {4, 2, 12, 8};
  Bytes fourFourOtherClocks = {4, 2, 24, 8};  // only numerator and denominator count
  Bytes threeFour = {3, 2, 24, 8};
  Imported withOwn = ImportSplit(SmfWriter()
                                     .Meta(0, 0x58, fourFour)
                                     .Meta(10, 0x58, fourFourOtherClocks)
                                     .Meta(10, 0x58, threeFour)
                                     .End()
                                     .Build());
  std::vector<OutEvent> expected = {{0, {0xFF, 0x58, 4, 4, 2, 12, 8}}, {20, {0xFF, 0x58, 4, 3, 2, 24, 8}}};
  EXPECT_EQ(withOwn.song, expected);

  Imported withDefault = ImportSplit(SmfWriter().Meta(10, 0x58, fourFour).Meta(10, 0x58, threeFour).End().Build());
  EXPECT_EQ(withDefault.song, (std::vector<OutEvent>{{20, {0xFF, 0x58, 4, 3, 2, 24, 8}}}));
}

TEST(SmfImport, CopiesOrDropsEachMetaEvent) {
  struct Case {
    uint8_t type;
    bool copied;
  } cases[] = {{0x00, false}, {0x01, false}, {0x02, false}, {0x03, false}, {0x04, false}, {0x05, false},
               {0x06, true},  {0x20, false}, {0x21, false}, {0x54, false}, {0x59, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.type));
    Imported imported = ImportSplit(SmfWriter().Meta(0, c.type, Bytes{1, 2}).End().Build());
    EXPECT_EQ(imported.song.size(), c.copied ? 1u : 0u);
  }
}

TEST(SmfImport, LeavesTheDestinationAloneWhenItIsOneByteShort) {
  Bytes source = SmfWriter().Raw(0, {0x90, 60, 100}).Raw(10, {0x80, 60, 0}).End().Build();
  Converted fits = Import(source);
  ASSERT_LT(fits.result, CNVERR_FAILED);
  Bytes before(fits.result - 1, 0xEE);
  CnvParam param{};
  param.src = source.data();
  param.srcSize = static_cast<uint32_t>(source.size());
  param.dst = before.data();
  param.dstSize = fits.result - 1;
  EXPECT_EQ(ImportEntry(&param, kCnvParamSize), CNVERR_DSTSIZE);
  EXPECT_EQ(param.dstSize, fits.result - 1);
  EXPECT_EQ(before, Bytes(fits.result - 1, 0xEE));
  EXPECT_EQ(param.flags, CNVF_DEFAULT_VOLUME);
}
