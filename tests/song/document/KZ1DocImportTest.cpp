// Opening VELK and MIDI files through the converter plug-ins, over the fake binder.
#include <filesystem>

#include "ImportTestSupport.h"

namespace {

using importtest::Bytes;
using importtest::SongData;

class KZ1DocImport : public importtest::ImportTest {};

TEST_F(KZ1DocImport, BothVelkEndingsReachTheVelkConverter) {
  Plugin(8, SongData(), 0x20);
  for (const char* name : {"a.mmf", "b.SPF"}) {
    CKZ1Doc& d = Make(3);
    host.binder.calls.clear();
    EXPECT_EQ(d.OpenDocument(File(name, 64)), 1) << name;
    EXPECT_EQ(host.binder.calls, (std::vector<std::pair<int, int>>{{8, 0}})) << name;
    EXPECT_EQ(importtest::NoteCount(d), 2) << name;
    EXPECT_EQ(d.IsLoadedFromVelk(), 1) << name;
  }
}

TEST_F(KZ1DocImport, FlagsKindAndDestinationOfTheVelkConversion) {
  struct Case {
    int profile;
    int setting;
    int option;
    uint32_t flags;
    int kind;
  };
  const Case cases[] = {{2, 0, 0, 0x21, 8},        {1, 1, 1, 0x080000A3, 8}, {7, 2, 0, 0x0800002B, 8},
                        {4, 0, 0, 0x21, 17},       {5, 0, 1, 0xA1, 18},      {3, 9, 0, 0x21, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.profile);
    host.settings.outputProfile = c.profile;
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.setting);
    seen.clear();
    host.binder.calls.clear();
    host.binder.plugins.clear();
    Plugin(c.kind, {}, 0);  // refuses: only the record counts here
    CKZ1Doc& d = Make(3);
    EXPECT_EQ(d.OpenWithOptions(File("a.mmf", 100), 0, c.option), 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].flags, c.flags);
    EXPECT_EQ(seen[0].srcSize, 100u);
    EXPECT_EQ(seen[0].dstSize, 400u);
    EXPECT_EQ(host.binder.calls[0].first, c.kind);
  }
}

TEST_F(KZ1DocImport, ReturnedModeBitsSwitchTheSettingAndTellTheBoard) {
  Plugin(8, SongData(), 0x22);
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(File("a.mmf", 16)), 1);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "KZ-3_ModeSetting", -1), 1);
  ASSERT_FALSE(host.board.calls.empty());
  bool sent = false;
  for (const auto& call : host.board.calls) {
    sent = sent || call.bytes == Bytes{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x11, 0x01, 0xF7};
  }
  EXPECT_TRUE(sent);
  EXPECT_EQ(host.ui.velocityChannelModes, std::vector<int>{1});
}

TEST_F(KZ1DocImport, UnknownContentsGroupOrGenerationFiveOutputFails) {
  for (uint32_t returned : {0x10u, 0x28u, 0x00u, 0x60u}) {
    seen.clear();
    Plugin(8, SongData(), returned);
    CKZ1Doc& d = Make(3);
    EXPECT_EQ(d.OpenDocument(File("a.mmf", 16)), 0) << returned;
    EXPECT_TRUE(IsReset(d)) << returned;
  }
}

TEST_F(KZ1DocImport, ReturnedFlagSetsOrClearsTheConverterOption) {
  for (uint32_t returned : {0xA0u, 0x20u}) {
    Plugin(8, SongData(), returned);
    CKZ1Doc& d = Make(3);
    EXPECT_EQ(d.OpenWithOptions(File("a.mmf", 16), 0, returned == 0xA0u ? 0 : 1), 1);
    EXPECT_EQ(d.GetConverterOption(), returned == 0xA0u ? 1 : 0) << returned;
  }
}

TEST_F(KZ1DocImport, FailedConversionsLeaveAResetDocumentAndAreReported) {
  struct Case {
    const char* name;
    platform::FakeBinder::Entry entry;
  };
  const Case cases[] = {
      {"zero", [](CnvParam&) -> uint32_t { return 0; }},
      {"format", [](CnvParam&) -> uint32_t { return CNVERR_FORMAT; }},
      {"always too small", [](CnvParam&) -> uint32_t { return CNVERR_DSTSIZE; }},
      {"above the capacity", [](CnvParam& p) -> uint32_t { return p.dstSize + 1; }},
      {"garbage", [](CnvParam& p) -> uint32_t {
         p.flags = 0x20;
         for (uint32_t i = 0; i < 64 && i < p.dstSize; ++i) p.dst[i] = static_cast<uint8_t>(i * 37);
         return 64;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.binder.plugins[8].from = c.entry;
    host.reports.calls.clear();
    CKZ1Doc& d = Make(3);
    EXPECT_EQ(d.OpenDocument(File("a.mmf", 16)), 0);
    EXPECT_TRUE(IsReset(d));
    EXPECT_FALSE(host.reports.calls.empty());
  }
}

TEST_F(KZ1DocImport, DestinationTooSmallIsRetriedWithTwiceTheRoomUpTo256MB) {
  std::vector<uint32_t> sizes;
  const Bytes song = SongData();
  host.binder.plugins[8].from = [&](CnvParam& p) -> uint32_t {
    sizes.push_back(p.dstSize);
    p.flags = 0x20;
    if (p.dstSize < 1000) return CNVERR_DSTSIZE;
    std::memcpy(p.dst, song.data(), song.size());
    return static_cast<uint32_t>(song.size());
  };
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(File("a.mmf", 100)), 1);
  EXPECT_EQ(sizes, (std::vector<uint32_t>{400, 800, 1600}));

  sizes.clear();
  host.binder.plugins[8].from = [&](CnvParam& p) -> uint32_t {
    sizes.push_back(p.dstSize);
    return CNVERR_DSTSIZE;
  };
  EXPECT_EQ(d.OpenDocument(File("b.mmf", 16 << 20)), 0);
  EXPECT_EQ(sizes, (std::vector<uint32_t>{64u << 20, 128u << 20, 256u << 20}));
}

TEST_F(KZ1DocImport, SizesBeyondThirtyTwoBitsFailBeforeAnythingIsRead) {
  Plugin(8, SongData(), 0x20);
  const std::string path = (dir / "huge.mmf").string();
  { std::ofstream(path, std::ios::binary).put('x'); }
  std::filesystem::resize_file(path, 0x40000001u);  // sparse: 4 x the size needs 33 bits
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(path), 0);
  EXPECT_TRUE(host.binder.calls.empty());
}

TEST_F(KZ1DocImport, MidiFileGoesThroughTheSmfConverterWithSevenTimesTheRoom) {
  Plugin(7, SongData(), 0x04000000);
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(File("a.MID", 10)), 1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].flags, 0x01u);
  EXPECT_EQ(seen[0].dstSize, 70u);
  EXPECT_EQ(d.GetImportedFlag(), 1);
  EXPECT_EQ(d.TestModifiedFlags(0xFFFFFFFF), 2u);
}

TEST_F(KZ1DocImport, MidiFileUnderProfileThreeGivesItsNoteChannelsLedControl) {
  // Notes on channel 0 only: under profile 3 it alone gets the LED flag, elsewhere none does.
  for (int profile : {2, 3}) {
    host.settings.outputProfile = profile;
    Plugin(7, SongData(), 0);
    CKZ1Doc& d = Make(3);
    ASSERT_EQ(d.OpenDocument(File("a.mid", 10)), 1) << profile;
    EXPECT_EQ(d.GetChannelLED(0), profile == 3 ? 1 : 0) << profile;
    for (int k = 1; k < 16; ++k) EXPECT_EQ(d.GetChannelLED(k), 0) << profile << " " << k;
  }
}

TEST_F(KZ1DocImport, ImportInChipModeOneSendsNoDestination) {
  Plugin(7, SongData(), 0);
  CKZ1Doc& d = Make(1);
  EXPECT_EQ(d.ImportViaConverter(File("a.mid", 10)), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].hasDestination);
  EXPECT_EQ(seen[0].dstSize, 0u);
}

TEST_F(KZ1DocImport, ReloadMarksTheSongModifiedOnlyWhenItsEventsChanged) {
  Plugin(7, SongData(), 0x14000000);
  CKZ1Doc& d = Make(3);
  const std::string path = File("a.mid", 10);
  ASSERT_EQ(d.OpenDocument(path), 1);
  d.ResetModifiedFlags();
  EXPECT_EQ(d.ImportViaConverter(path), 1);
  EXPECT_EQ(d.TestModifiedFlags(3), 0u);
  EXPECT_EQ(d.GetImportedFlag(), 1);
  EXPECT_EQ(d.GetImportedFlag2(), 1);

  smftest::Track t;
  t.TickTempo(0, 1250).Event(0, {0x90, 62, 100}).Event(240, {0x80, 62, 0}).EndOfTrack();
  Plugin(7, smftest::Image({t}), 0);
  EXPECT_EQ(d.ImportViaConverter(path), 1);
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
  EXPECT_EQ(d.GetImportedFlag2(), 0);
}

TEST_F(KZ1DocImport, ImportDensityAndRamMessagesLeaveTheResult) {
  // A song over 1000 bytes a second at its peak and over 500 on average.
  smftest::Track t;
  t.TickTempo(0, 1000);
  for (int i = 0; i < 400; ++i) t.Event(1, {0xB0, 0x0B, static_cast<uint8_t>(i & 0x7F)});
  t.Event(0, {0x90, 60, 100}).Event(10, {0x80, 60, 0}).EndOfTrack();
  Plugin(7, smftest::Image({t}), 0);
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.ImportViaConverter(File("a.mid", 10)), 1);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7035, 7036}));
}

}  // namespace
