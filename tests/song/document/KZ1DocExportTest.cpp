// The chip-mode 3 builders of the export entries over a scripted converter binder: the VELK,
// phrase and MFi conversions, their flags, kinds, checks, messages and failures.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "PcmVoiceFixture.h"
#include "app/CnvParam.h"
#include "song/MemStream.h"
#include "song/StreamPCMSlot.h"

namespace {

namespace fs = std::filesystem;
using doctest::AddEvent;
using doctest::PcmVoice;
using Bytes = std::vector<uint8_t>;

// What a scripted plug-in saw of one call.
struct Call {
  int kind = 0;
  uint32_t flags = 0;
  uint32_t srcSize = 0;
  bool hasDestination = false;
  uint32_t dstSize = 0;
  Bytes sourceHead;  // the first four source bytes
};

class Exports : public doctest::DocTest {
 protected:
  /// A chip-mode 3 song of one note on channel 0.
  CKZ1Doc& Song(int profile = 2) {
    host.settings.outputProfile = profile;
    CKZ1Doc& d = Make(3);
    AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    return d;
  }

  /// A plug-in of that kind (direction 1) that writes `out` and returns its size (or `result`),
  /// with `returned` OR'ed into the flags.
  void Plugin(int kind, Bytes out = {'I', 'M', 'G', '!'}, uint32_t returned = 0,
              std::optional<uint32_t> result = std::nullopt) {
    host.binder.plugins[kind].to = [this, kind, out, returned, result](CnvParam& p) -> uint32_t {
      Call c{kind, p.flags, p.srcSize, p.dst != nullptr, p.dstSize, {}};
      if (p.src && p.srcSize >= 4) c.sourceHead.assign(p.src, p.src + 4);
      calls.push_back(c);
      p.flags |= returned;
      if (result) return *result;
      if (!p.dst || p.dstSize < out.size()) return CNVERR_DSTSIZE;
      std::memcpy(p.dst, out.data(), out.size());
      return static_cast<uint32_t>(out.size());
    };
  }

  static Bytes ImageBytes(const CMemStream& image) {
    return Bytes(image.GetData(), image.GetData() + image.GetSize());
  }

  int Velk(CKZ1Doc& d, CMemStream& image, int timeBase = 1, int compression = 0, int edit = 0) {
    return d.ExportVelk(image, 0, "", setup, timeBase, compression, edit);
  }
  int MFi(CKZ1Doc& d, CMemStream& image) { return d.ExportViaConverter(image, 0, "", setup, 1, 0); }

  void SetModeSetting(int v) { host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", v); }

  std::vector<Call> calls;
  SongOutputRecord setup;
};

TEST_F(Exports, VelkFlagsAndKindFollowOptionsProfileAndModeSetting) {
  struct Case {
    int profile, timeBase, compression, modeSetting, kind;
    uint32_t flags;
  } cases[] = {
      {2, 1, 0, 0, 8, 0x21},  {2, 4, 0, 0, 8, 0x21},   {2, 5, 0, 0, 8, 0x31},
      {2, 10, 0, 0, 8, 0x41}, {2, 20, 0, 0, 8, 0x51},  {2, 1, 1, 0, 8, 0xA1},
      {2, 1, 0, 1, 8, 0x23},  {2, 1, 0, 2, 8, 0x2B},   {2, 1, 0, 7, 8, 0x21},
      {3, 1, 0, 0, 8, 0x21},  {8, 1, 0, 0, 8, 0x21},   {5, 1, 0, 0, 18, 0x08000021},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "profile " << c.profile << " option " << c.timeBase
                                    << " compression " << c.compression << " mode " << c.modeSetting);
    calls.clear();
    SetModeSetting(c.modeSetting);
    CKZ1Doc& d = Song(c.profile);
    Plugin(c.kind);
    CMemStream image;
    ASSERT_EQ(Velk(d, image, c.timeBase, c.compression), 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, c.kind);
    EXPECT_EQ(calls[0].flags, c.flags);
    EXPECT_EQ(calls[0].dstSize, 2 * calls[0].srcSize);
    EXPECT_EQ(calls[0].sourceHead, (Bytes{'M', 'T', 'h', 'd'}));
    EXPECT_EQ(ImageBytes(image), (Bytes{'I', 'M', 'G', '!'}));
    EXPECT_EQ(d.GetConvertedSize(), 4);
  }
  EXPECT_EQ(host.binder.calls.back(), (std::pair<int, int>{18, 1}));
}

TEST_F(Exports, SaveBuildsTheImageFromThePluginOutputWithTheBusyPicture) {
  CKZ1Doc& d = Song();
  Plugin(8, {1, 2, 3, 4, 5, 6});
  ASSERT_EQ(d.BuildOutputImage(1, "", 1, 0, 0), 1);
  ASSERT_NE(d.GetOutputImage(0), nullptr);
  EXPECT_EQ(ImageBytes(*d.GetOutputImage(0)), (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(host.ui.busyPictures, (std::vector<int>{2}));
  EXPECT_EQ(host.reports.Names(),
            (std::vector<std::string>{"ReportMobilePlaybackNotes", "ReportConverterNotes"}));
}

TEST_F(Exports, PluginFailuresAreReportedAndLeaveTheImageEmpty) {
  struct Case {
    const char* name;
    bool present;
    std::optional<uint32_t> result;
    uint32_t reported;
  } cases[] = {
      {"missing plug-in", false, std::nullopt, 0},
      {"format error", true, CNVERR_FORMAT, CNVERR_FORMAT},
      {"zero", true, 0u, 0},
      {"result beyond the destination", true, 0x7FFFFFF0u, CNVERR_FAILED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.reports.calls.clear();
    host.binder.plugins.clear();
    CKZ1Doc& d = Song();
    if (c.present) Plugin(8, {'X'}, 0x40000, c.result);
    CMemStream image;
    EXPECT_EQ(Velk(d, image), 0);
    EXPECT_EQ(image.GetSize(), 0);
    ASSERT_FALSE(host.reports.calls.empty());
    const auto& report = host.reports.calls.back();
    EXPECT_EQ(report.name, "ReportConvertResult");
    EXPECT_EQ(report.kind, 8);
    EXPECT_EQ(report.result, c.reported);
    if (c.present) {
      EXPECT_EQ(report.flags & 0x40000, 0x40000u) << "the flags the plug-in returned";
    }
  }
}

TEST_F(Exports, DeclinedConverterNotesFailTheBuild) {
  CKZ1Doc& d = Song();
  Plugin(8);
  host.reports.answer = [](const platform::RecordedReport& r) { return r.name == "ReportConverterNotes" ? 2 : 1; };
  CMemStream image;
  EXPECT_EQ(Velk(d, image), 0);
  EXPECT_EQ(image.GetSize(), 0);
}

TEST_F(Exports, FsWarningOfThePluginShows7052) {
  for (int profile : {2, 5}) {
    SCOPED_TRACE(profile);
    host.messages.shown.clear();
    CKZ1Doc& d = Song(profile);
    Plugin(profile == 5 ? 18 : 8, {'A'}, CNVF_SETUP_WARNING);
    CMemStream image;
    EXPECT_EQ(Velk(d, image), 1);
    EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7052}));
    EXPECT_EQ(ImageBytes(image), (Bytes{'A'}));
  }
}

TEST_F(Exports, DecliningAPlaybackQuestionSetsTheFlagAndConvertsNothing) {
  CKZ1Doc& d = Song();
  Plugin(8);
  host.reports.answer = [](const platform::RecordedReport& r) { return r.name == "ReportMobilePlaybackNotes" ? 0 : 1; };
  CMemStream image;
  EXPECT_EQ(Velk(d, image), 1);
  EXPECT_EQ(d.GetOpenFlag(), 1);
  EXPECT_EQ(image.GetSize(), 0);
  EXPECT_TRUE(calls.empty());

  host.reports.answer = nullptr;
  EXPECT_EQ(Velk(d, image), 1);
  EXPECT_EQ(d.GetOpenFlag(), 0) << "the flag is cleared before the questions";
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(Exports, StreamRateAboveEightThousandStopsTheCheckedProfiles) {
  struct Case {
    int profile;
    uint32_t rate;
    int result;
  } cases[] = {
      {2, 8000, 1}, {2, 8001, 0}, {2, 0xFFFFFFFFu, 1}, {3, 9000, 0}, {8, 9000, 0}, {5, 9000, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "profile " << c.profile << " rate " << c.rate);
    host.messages.shown.clear();
    calls.clear();
    CKZ1Doc& d = Song(c.profile);
    d.SetStreamRate(c.rate);
    Plugin(c.profile == 5 ? 18 : 8);
    CMemStream image;
    EXPECT_EQ(Velk(d, image), c.result);
    if (c.result == 0) {
      ASSERT_EQ(host.messages.ShownIds(), (std::vector<int>{7046}));
      EXPECT_EQ(std::get<unsigned long long>(host.messages.shown[0].args.at(0)), c.rate);
      EXPECT_TRUE(calls.empty());
    } else {
      EXPECT_TRUE(host.messages.shown.empty());
    }
  }
}

TEST_F(Exports, FailuresBeforeThePluginCallNothing) {
  {
    SCOPED_TRACE("song without notes");
    CKZ1Doc& d = Make(3);
    AddEvent(*d.GetMidiList(), 0, 0, {0xC0, 3});
    Plugin(8);
    CMemStream image;
    EXPECT_EQ(Velk(d, image), 0);
    EXPECT_TRUE(host.messages.shown.empty());
  }
  {
    SCOPED_TRACE("program change under a sounding note");
    CKZ1Doc& d = Song();
    AddEvent(*d.GetMidiList(), 100, 100, {0xC0, 3});
    CMemStream image;
    EXPECT_EQ(Velk(d, image), 0);
    EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7049}));
  }
  {
    SCOPED_TRACE("PCM voice failing its check");
    host.messages.shown.clear();
    CKZ1Doc& d = Song();
    ASSERT_EQ(d.AssignGivenVoiceItem(1, 124, 1, 5, 0, PcmVoice(60, 40), 1), 1);
    CMemStream image;
    EXPECT_EQ(Velk(d, image), 0);
    ASSERT_EQ(host.messages.shown.size(), 1u);
    EXPECT_NE(host.messages.shown[0].text.find("Loop point"), std::string::npos);
  }
  EXPECT_TRUE(calls.empty());
}

TEST_F(Exports, StreamPcmOnlySongIsBuilt) {
  host.settings.outputProfile = 2;
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiListPCM(), 0, 480, {0x99, 1, 100});
  Plugin(8);
  CMemStream image;
  EXPECT_EQ(Velk(d, image), 1);
  EXPECT_EQ(image.GetSize(), 4);
}

TEST_F(Exports, ProfileOptionSetsOptionByteFourFromTheEditStatus) {
  struct Case {
    int profile, profileOption, editStatus;
    uint8_t expected;
  } cases[] = {
      {2, 1, 1, 1}, {2, 1, 0, 255}, {5, 1, 3, 255}, {3, 1, 1, 0xAA}, {2, 0, 1, 0xAA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.profile << " " << c.profileOption << " " << c.editStatus);
    host.settings.profileOption = c.profileOption;
    CKZ1Doc& d = Song(c.profile);
    d.GetContentsInfo().SetOptionByte4(0xAA);
    Plugin(c.profile == 5 ? 18 : 8);
    CMemStream image;
    EXPECT_EQ(Velk(d, image, 1, 0, c.editStatus), 1);
    EXPECT_EQ(d.GetContentsInfo().GetOptionByte4(), c.expected);
  }
}

TEST_F(Exports, ChipModesOneAndTwoAreNotBuiltYetAndOtherModesRefuse) {
  for (int chip : {1, 2, 5}) {
    SCOPED_TRACE(chip);
    host.settings.chipMode = chip;
    CKZ1Doc d;
    d.SetRefreshSuppress(0);
    AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    Plugin(8);
    CMemStream image;
    EXPECT_EQ(Velk(d, image), 0);
    EXPECT_EQ(MFi(d, image), 0);
    EXPECT_EQ(image.GetSize(), 0);
  }
  EXPECT_TRUE(calls.empty());
}

// A mono channel whose first note plays an FM voice, so the checker runs.
void AddMonoChannel(CKZ1Doc& d) {
  AddEvent(*d.GetMidiList(), 0, 0, {0xB1, 0x00, 0x00});
  AddEvent(*d.GetMidiList(), 0, 0, {0xB1, 0x7E, 0x01});
  AddEvent(*d.GetMidiList(), 0, 0, {0xC1, 0x00});
  AddEvent(*d.GetMidiList(), 10, 480, {0x91, 64, 100});
}

// A checker plug-in that reports `fm` FM voices.
void Checker(platform::FakeBinder& binder, uint32_t fm) {
  binder.plugins[19].to = [fm](CnvParam& p) -> uint32_t {
    p.flags = fm << 24;
    return 1;
  };
}

// An 8-bit stream-PCM wave in slot 1.
void AddEightBitStream(CKZ1Doc& d) {
  CStreamPCMSlot slot;
  const Bytes wave(200, 0x40);
  slot.SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
  slot.SetRate(8000);
  slot.SetFormat(2);
  ASSERT_EQ(d.SetStreamPcmSlot(1, slot), 1);
}

TEST_F(Exports, MonoOverflowStopsTheScannedProfiles) {
  for (int profile : {2, 3, 8, 5}) {
    SCOPED_TRACE(profile);
    host.messages.shown.clear();
    calls.clear();
    CKZ1Doc& d = Song(profile);
    AddMonoChannel(d);
    Checker(host.binder, 17);
    Plugin(profile == 5 ? 18 : 8);
    CMemStream image;
    if (profile == 5) {
      EXPECT_EQ(Velk(d, image), 1) << "profile 5 is not scanned";
      EXPECT_TRUE(host.messages.shown.empty());
    } else {
      EXPECT_EQ(Velk(d, image), 0);
      EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7003}));
      EXPECT_TRUE(calls.empty());
    }
  }
}

TEST_F(Exports, EightBitStreamWarnsForVelkAndStopsMFiProfileOne) {
  CKZ1Doc& d = Song(2);
  AddEightBitStream(d);
  Plugin(8);
  CMemStream image;
  EXPECT_EQ(Velk(d, image), 1);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7004}));

  struct Case {
    int profile;
    int result;
    std::vector<int> messages;
  } cases[] = {{1, 0, {7005}}, {7, 1, {}}, {6, 1, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    host.messages.shown.clear();
    CKZ1Doc& m = Song(c.profile);
    AddEightBitStream(m);
    Plugin(c.profile == 6 ? 14 : 10);
    CMemStream mfi;
    EXPECT_EQ(MFi(m, mfi), c.result);
    EXPECT_EQ(host.messages.ShownIds(), c.messages);
  }
}

TEST_F(Exports, MFiProfileSixDoesNotScan) {
  CKZ1Doc& d = Song(6);
  AddMonoChannel(d);
  Checker(host.binder, 17);
  Plugin(14);
  CMemStream image;
  EXPECT_EQ(MFi(d, image), 1);
  for (const auto& call : host.binder.calls) EXPECT_NE(call.first, 19);
}

TEST_F(Exports, MFiKindsFollowProfileAndMaker) {
  struct Case {
    int profile, maker, kind;
  } cases[] = {
      {1, 1, 10}, {1, 2, 11}, {1, 3, 12}, {1, 4, 13}, {7, 1, 10}, {7, 4, 13},
      {6, 1, 14}, {6, 2, 15}, {6, 3, 10}, {6, 4, 16}, {1, 9, 10},
  };
  SetModeSetting(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "profile " << c.profile << " maker " << c.maker);
    calls.clear();
    host.settings.makerId = c.maker;
    CKZ1Doc& d = Song(c.profile);
    Plugin(c.kind, {'M', 'F', 'i'});
    host.binder.plugins[c.kind].report = [](uint32_t& r) -> uint32_t {
      r = 0;
      return 0;
    };
    CMemStream image;
    ASSERT_EQ(MFi(d, image), 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, c.kind);
    EXPECT_EQ(calls[0].flags, 0x03u) << "the mode setting's bits only";
    EXPECT_EQ(calls[0].dstSize, 4 * calls[0].srcSize);
    EXPECT_EQ(ImageBytes(image), (Bytes{'M', 'F', 'i'}));
    EXPECT_EQ(d.GetConvertedSize(), 3);
  }
}

TEST_F(Exports, MakerFourFetchesTheReportOfTheConvertingPlugin) {
  struct Case {
    uint32_t status;
    int result;
    std::vector<int> messages;
  } cases[] = {
      {0, 1, {}}, {CNVERR_FAILED, 0, {7006}}, {CNVERR_DSTSIZE, 0, {7007}}, {0x80000004u, 0, {}},
  };
  host.settings.makerId = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    host.messages.shown.clear();
    host.binder.reportCalls.clear();
    CKZ1Doc& d = Song(1);
    Plugin(13);
    host.binder.plugins[13].report = [c](uint32_t& r) -> uint32_t {
      r = 0x1234;
      return c.status;
    };
    CMemStream image;
    EXPECT_EQ(MFi(d, image), c.result);
    EXPECT_EQ(host.messages.ShownIds(), c.messages);
    EXPECT_EQ(host.binder.reportCalls, (std::vector<int>{13}));
    EXPECT_EQ(d.GetConverterReport(), c.status == 0 ? 0x1234u : 0u);
  }

  host.binder.reportCalls.clear();
  CKZ1Doc& six = Song(6);
  Plugin(16);
  CMemStream image;
  EXPECT_EQ(MFi(six, image), 1);
  EXPECT_TRUE(host.binder.reportCalls.empty()) << "profile 6 fetches no report";
}

TEST_F(Exports, MFiFailureIsReportedAndAppendsNothing) {
  host.settings.makerId = 1;
  CKZ1Doc& d = Song(1);
  Plugin(10, {'X'}, 0, CNVERR_EVENT);
  CMemStream image;
  EXPECT_EQ(MFi(d, image), 0);
  EXPECT_EQ(image.GetSize(), 0);
  ASSERT_FALSE(host.reports.calls.empty());
  EXPECT_EQ(host.reports.calls.back().name, "ReportConvertResult");
  EXPECT_EQ(host.reports.calls.back().kind, 10);
  EXPECT_EQ(host.reports.calls.back().result, CNVERR_EVENT);
}

class PhraseExport : public Exports {
 protected:
  /// A song of notes on channels 0, 1 and 2, in parts 1, 3 and 3.
  CKZ1Doc& PartSong(int chip = 3) {
    host.settings.outputProfile = 4;
    CKZ1Doc& d = Make(chip);
    AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    AddEvent(*d.GetMidiList(), 0, 480, {0x91, 64, 100});
    AddEvent(*d.GetMidiList(), 0, 480, {0x92, 67, 100});
    for (int k = 0; k < 3; ++k) d.SetChannelValue(k, 1);
    EXPECT_EQ(d.SetChannelPart(0, 1, 1), 1);
    EXPECT_EQ(d.SetChannelPart(1, 3, 1), 1);
    EXPECT_EQ(d.SetChannelPart(2, 3, 1), 1);
    return d;
  }
  int Phrase(CKZ1Doc& d, int compression = 0) {
    for (auto& s : streams) s.Seek(0, 0);
    CMemStream* images[4] = {&streams[0], &streams[1], &streams[2], &streams[3]};
    return d.ExportPhrase(images, 0, "", setup, 1, compression);
  }
  CMemStream streams[4];
};

TEST_F(PhraseExport, EachPartGoesToItsImageWithTheFlagsKept) {
  CKZ1Doc& d = PartSong();
  Plugin(17, {'P', 'H'});
  ASSERT_EQ(Phrase(d), 1);
  ASSERT_EQ(calls.size(), 2u) << "empty parts 2 and 4 are skipped";
  EXPECT_EQ(calls[0].flags, 0x51u);
  EXPECT_EQ(calls[0].dstSize, 2 * calls[0].srcSize);
  EXPECT_EQ(calls[0].sourceHead, (Bytes{'M', 'T', 'h', 'd'}));
  EXPECT_EQ(ImageBytes(streams[0]), (Bytes{'P', 'H'}));
  EXPECT_EQ(streams[1].GetSize(), 0);
  EXPECT_EQ(ImageBytes(streams[2]), (Bytes{'P', 'H'}));
  EXPECT_EQ(streams[3].GetSize(), 0);
  EXPECT_EQ(d.GetConvertedSize(), 4);
  EXPECT_EQ(host.reports.calls.back().name, "ReportConverterNotes");
  EXPECT_EQ(host.reports.calls.back().kind, 17);
}

TEST_F(PhraseExport, FlagsWordIsNotClearedBetweenParts) {
  SetModeSetting(2);
  CKZ1Doc& d = PartSong();
  Plugin(17, {'P'}, 0x00100000);
  ASSERT_EQ(Phrase(d, 1), 1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].flags, 0xDBu);
  EXPECT_EQ(calls[1].flags, 0x001000DBu) << "what the first part returned stays";
}

TEST_F(PhraseExport, FailingPartStopsTheLoopAndKeepsEarlierParts) {
  CKZ1Doc& d = PartSong();
  int n = 0;
  host.binder.plugins[17].to = [&n](CnvParam& p) -> uint32_t {
    if (++n == 2) return CNVERR_EVENT;
    p.dst[0] = 'Q';
    return 1;
  };
  EXPECT_EQ(Phrase(d), 0);
  EXPECT_EQ(ImageBytes(streams[0]), (Bytes{'Q'}));
  EXPECT_EQ(streams[2].GetSize(), 0);
  EXPECT_EQ(d.GetConvertedSize(), 1);
  EXPECT_EQ(host.reports.calls.back().name, "ReportConvertResult");
  EXPECT_EQ(host.reports.calls.back().result, CNVERR_EVENT);
}

TEST_F(PhraseExport, ChipModesOneAndTwoGiveNoDestination) {
  for (int chip : {1, 2}) {
    SCOPED_TRACE(chip);
    calls.clear();
    CKZ1Doc& d = PartSong(chip);
    Plugin(17);
    EXPECT_EQ(Phrase(d), 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FALSE(calls[0].hasDestination);
    EXPECT_EQ(host.reports.calls.back().result, CNVERR_DSTSIZE);
  }
}

TEST_F(PhraseExport, OtherProfilesOrChipModesRefuse) {
  CKZ1Doc& d = PartSong();
  host.settings.outputProfile = 2;
  Plugin(17);
  EXPECT_EQ(Phrase(d), 0);
  host.settings.outputProfile = 4;
  host.settings.chipMode = 5;
  EXPECT_EQ(Phrase(d), 0);
  EXPECT_TRUE(calls.empty());
}

// Saves over an existing file: a failed build leaves it byte for byte, with no stray file.
class AtomicSave : public Exports {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("trillot_save_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    target = dir / "song.mmf";
    std::ofstream(target, std::ios::binary).write("old song", 8);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  Bytes Target() const {
    std::ifstream in(target, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  size_t FileCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }

  fs::path dir;
  fs::path target;
};

TEST_F(AtomicSave, FailedBuildsLeaveTheOldFile) {
  const Bytes old = Target();
  {
    SCOPED_TRACE("PCM voice failing its check");
    CKZ1Doc& d = Song();
    ASSERT_EQ(d.AssignGivenVoiceItem(1, 124, 1, 5, 0, PcmVoice(60, 40), 1), 1);
    Plugin(8);
    EXPECT_EQ(d.SaveDocument(target.string()), 0);
    EXPECT_EQ(Target(), old);
    EXPECT_EQ(FileCount(), 1u);
  }
  {
    SCOPED_TRACE("plug-in failure");
    CKZ1Doc& d = Song();
    Plugin(8, {}, 0, CNVERR_FAILED);
    EXPECT_EQ(d.SaveDocument(target.string()), 0);
    EXPECT_EQ(Target(), old);
    EXPECT_EQ(FileCount(), 1u);
  }
}

TEST_F(AtomicSave, SuccessfulSaveWritesThePluginOutput) {
  CKZ1Doc& d = Song();
  Plugin(8, {'N', 'E', 'W'});
  EXPECT_EQ(d.SaveDocument(target.string()), 1);
  EXPECT_EQ(Target(), (Bytes{'N', 'E', 'W'}));
  EXPECT_EQ(FileCount(), 1u);
}

class StreamSizeList : public Exports {};

TEST_F(StreamSizeList, RefusesATargetThatIsNotEmpty) {
  CKZ1Doc& d = Song();
  std::vector<CValuePoint> target(1);
  EXPECT_EQ(d.BuildStreamSizeList(target), 0);
  EXPECT_EQ(target.size(), 1u);
}

TEST_F(StreamSizeList, SongWithoutStreamCopiesTheWaveList) {
  CKZ1Doc& d = Song();
  d.SetStreamSizeList(1, 2, {CValuePoint(5, 6, 7), CValuePoint(8, 9, 10)});
  const int builds = host.ui.streamSizeGraphBuilds;
  std::vector<CValuePoint> target;
  EXPECT_EQ(d.BuildStreamSizeList(target), 1);
  ASSERT_EQ(target.size(), 2u);
  EXPECT_EQ(target[1].GetFirst(), 8u);
  EXPECT_EQ(target[1].GetThird(), 10u);
  EXPECT_EQ(host.ui.streamSizeGraphBuilds, builds) << "nothing rebuilt";
}

TEST_F(StreamSizeList, SongWithStreamRebuildsTheFigures) {
  CKZ1Doc& d = Song();
  AddEightBitStream(d);
  AddEvent(*d.GetMidiListPCM(), 0, 480, {0x99, 0, 100});
  d.SetStreamRate(8000);
  d.SetStreamSizeList(1, 2, {CValuePoint(5, 6, 7)});
  const int builds = host.ui.streamSizeGraphBuilds;
  std::vector<CValuePoint> target;
  EXPECT_EQ(d.BuildStreamSizeList(target), 1);
  EXPECT_GT(host.ui.streamSizeGraphBuilds, builds);
  EXPECT_NE(d.GetStreamSummary1(), 1u);
  ASSERT_EQ(target.size(), d.GetWaveList().size());
  for (size_t i = 0; i < target.size(); ++i) {
    EXPECT_EQ(target[i].GetFirst(), d.GetWaveList()[i].GetFirst());
    EXPECT_EQ(target[i].GetSecond(), d.GetWaveList()[i].GetSecond());
  }
  EXPECT_TRUE(calls.empty()) << "no plug-in is called";
}

}  // namespace
