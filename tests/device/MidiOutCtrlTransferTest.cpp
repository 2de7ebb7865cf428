// Tests of the song transfer before play over the fake port layer and the fake binder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "EmuFixture.h"
#include "app/CnvParam.h"
#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "device/MidiThru.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"
#include "platform/sys/Clock.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"
#include "song/document/KZ1Doc.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::FakeMidiBackend;
using ::testing::ElementsAre;

const Bytes kIdentify = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x00, 0xF7};
const Bytes kReadyQuery = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x02, 0xF7};
const Bytes kStop = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7};
const Bytes kStart = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x01, 0xF7};

Bytes Answer(uint8_t r) { return {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x08, r, 0xF7}; }

void AddNote(CKZ1Doc& doc, uint32_t tick, uint32_t end, uint8_t key) {
  uint8_t bytes[] = {0x90, key, 100};
  doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(tick, end, 3u, bytes, 0u));
}

class SongTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.settings.appDir = emutest::VariantDir("recording");
    host.registry.midiThru = &thru;
    clock.Set(5000);
    backend.SetDevices({"KORVAN TVR A Driver 1"}, {"KORVAN TVR Driver 1"});
    doc.SetRefreshSuppress(0);
    AddNote(doc, 0, 480, 60);
    AddNote(doc, 240, 720, 64);
    host.registry.document = &doc;
    appPlayState().repeat = false;
  }
  void TearDown() override {
    engine.Stop();
    backend.WaitForThreads();
  }

  void FindBoard() {
    backend.AddAnswer({kIdentify, 0, Answer(3)});
    ASSERT_EQ(engine.OpenBoard(0), 1);
    backend.AddAnswer({kReadyQuery, 0, Answer(0)});
    Clear();
  }
  /// The messages sent, without ready queries and the stop each query sends first.
  std::vector<Bytes> Sent() const {
    std::vector<Bytes> out;
    const std::vector<Bytes> all = backend.Sent(0);
    for (size_t i = mark; i < all.size(); ++i)
      if (all[i] != kReadyQuery && all[i] != kStop && all[i] != kIdentify) out.push_back(all[i]);
    return out;
  }
  /// Later calls of Sent see only what comes from now on.
  void Clear() { mark = backend.Sent(0).size(); }
  Bytes Native() {
    CMemStream image;
    EXPECT_EQ(doc.makeKZ3NativeFormat(image, 1, 1), 1);
    return Bytes(image.GetData(), image.GetData() + image.GetSize());
  }
  /// A plug-in of `kind` that records its flags and returns `result` after writing `bytes`.
  void Plugin(int kind, uint32_t result, Bytes bytes = {1, 2, 3}) {
    host.binder.plugins[kind].to = [this, result, bytes](CnvParam& p) {
      flags.push_back(p.flags);
      capacities.push_back(p.dstSize);
      if (p.dst && bytes.size() <= p.dstSize) std::copy(bytes.begin(), bytes.end(), p.dst);
      return result;
    };
  }

  platform::FakeHost host;
  FakeMidiBackend backend;
  platform::ScopedMidiBackend useBackend{backend};
  CMidiThru thru{backend};
  platform::ManualClock clock;
  platform::ScopedClock useClock{clock};
  CKZ1Doc doc;
  TMidiOutCtrl engine;
  std::vector<uint32_t> flags;
  std::vector<uint32_t> capacities;
  size_t mark = 0;
};

TEST_F(SongTransferTest, NativeSongGoesToTheBoardInOrderThenOnlyTheStart) {
  host.profile.WriteProfileInt("Setting", "OutputFormat", 1);
  const Bytes native = Native();
  FindBoard();
  ASSERT_TRUE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent));
  ASSERT_EQ(engine.play_midi_list_KZ3(), 1);
  const std::vector<Bytes> sent = Sent();
  ASSERT_GE(sent.size(), 12u);
  auto hex = [](const Bytes& b) { return FakeMidiBackend::Hex(b.data(), b.size()); };
  EXPECT_EQ(hex(sent[0]), "F0 43 79 05 7E 02 01 F7") << "switch: repeat off";
  EXPECT_EQ(hex(sent[1]), "F0 43 79 05 7E 00 F7") << "begin";
  const Bytes& piece = sent[2];
  ASSERT_TRUE(piece.size() > 6 && piece[4] == 0x00);
  Bytes plain(UnpackedSize7In8(static_cast<uint32_t>(piece.size() - 6)));
  plain.resize(Unpack7In8(piece.data() + 5, static_cast<uint32_t>(piece.size() - 6), plain.data()));
  EXPECT_EQ(plain, native) << "the piece unpacks to the native image";
  EXPECT_EQ(hex(sent[3]), "F0 43 79 05 7E 01 F7") << "end";
  for (size_t i = 4; i < 8; ++i) EXPECT_EQ(sent[i][5], i % 2 == 0 ? 0x06 : 0x07) << "value pair " << i;
  EXPECT_EQ(sent[8][5], 0x0A);
  EXPECT_EQ(hex(sent[9]), "F0 43 79 05 7F 03 11 0C 00 F7");
  EXPECT_EQ(hex(sent[10]), "F0 43 79 05 7F 03 10 64 00 F7");
  EXPECT_EQ(sent[11], kStart);
  EXPECT_EQ(sent.size(), 12u);
  EXPECT_FALSE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent)) << "mark 2 cleared";
  EXPECT_EQ(host.ui.busyPictures.back(), 6);

  Clear();
  ASSERT_EQ(engine.play_midi_list_KZ3(), 1);
  EXPECT_THAT(Sent(), ElementsAre(kStart));
}

TEST_F(SongTransferTest, TimeRangeKeyAndTempoGoWithTheSong) {
  host.profile.WriteProfileInt("Setting", "OutputFormat", 1);
  host.ui.timeRangeSpan = 100000;
  host.ui.keyChange = 14;
  host.ui.tempoChange = 69;
  ASSERT_EQ(engine.play_midi_list_KZ3(), 1);
  std::vector<std::string> hex;
  for (const Bytes& m : Sent()) hex.push_back(FakeMidiBackend::Hex(m.data(), m.size()));
  EXPECT_THAT(hex, ::testing::Contains("F0 43 79 05 7E 0A 20 0D 06 00 F7"));
  EXPECT_THAT(hex, ::testing::Contains("F0 43 79 05 7F 03 11 0E 00 F7"));
  EXPECT_THAT(hex, ::testing::Not(::testing::Contains(::testing::HasSubstr("7F 03 10"))));
  EXPECT_FALSE(host.ui.timeRangeSpan.has_value()) << "the range is cleared";
}

TEST_F(SongTransferTest, EachOutputFormatHasItsKindSizeAndFlags) {
  struct Case {
    int format;
    int kind;
    uint32_t factor;
  };
  const Case cases[] = {{0, 9, 4}, {2, 7, 7}, {3, 8, 2}, {4, 10, 4}};
  const auto nativeSize = static_cast<uint32_t>(Native().size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    host.profile.WriteProfileInt("Setting", "OutputFormat", c.format);
    doc.SetModifiedFlags(0);
    capacities.clear();
    Plugin(c.kind, 3);
    ASSERT_EQ(engine.play_midi_list_KZ3(), 1);
    ASSERT_EQ(capacities.size(), 1u);
    EXPECT_EQ(capacities[0], nativeSize * c.factor);
  }
  EXPECT_THAT(flags, ElementsAre(0x01u, 0x01u, 0x21u, 0x01u)) << "kind 8 by default 0x21";
}

TEST_F(SongTransferTest, Kind8FlagsFollowModeOptionTimeBaseAndProfile) {
  host.profile.WriteProfileInt("Setting", "OutputFormat", 3);
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 1);
  host.settings.outputProfile = 5;
  doc.SetCnvOptionFlag(1);
  doc.SetTimeBaseKZ3(10);
  Plugin(8, 3);
  ASSERT_EQ(engine.play_midi_list_KZ3(), 1);
  ASSERT_EQ(flags.size(), 1u);
  EXPECT_EQ(flags[0], 0x080000C3u);
}

TEST_F(SongTransferTest, FailedConversionsEndThePlayWith7001) {
  host.profile.WriteProfileInt("Setting", "OutputFormat", 3);
  const uint32_t nativeSize = static_cast<uint32_t>(Native().size());
  for (uint32_t result : {0u, 0x80000000u, 0x80000002u, nativeSize * 2 + 1}) {
    SCOPED_TRACE(result);
    doc.SetModifiedFlags(0);
    host.messages.shown.clear();
    host.reports.calls.clear();
    Plugin(8, result);
    Clear();
    EXPECT_EQ(engine.Play(), 1);
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7001});
    ASSERT_FALSE(host.reports.calls.empty());
    EXPECT_EQ(host.reports.calls[0].name, "ReportConvertResult");
    EXPECT_TRUE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent));
    for (const Bytes& m : Sent()) EXPECT_NE(m, kStart);
  }
}

TEST_F(SongTransferTest, ChipModeFiveSendsNothingFromANullDestination) {
  host.settings.chipMode = 5;
  host.profile.WriteProfileInt("Setting", "OutputFormat", 3);
  Plugin(8, 40);
  EXPECT_EQ(engine.play_midi_list_KZ3(), 0);
  EXPECT_EQ(capacities, std::vector<uint32_t>{0});
  for (const Bytes& m : Sent()) EXPECT_NE(m[4], 0x00) << "no piece";
}

TEST_F(SongTransferTest, ConverterReportOfMFiKinds) {
  host.profile.WriteProfileInt("Setting", "OutputFormat", 4);
  host.settings.outputProfile = 1;
  host.settings.makerId = 4;
  struct Case {
    uint32_t status;
    int result;
    std::vector<int> messages;
  };
  const Case cases[] = {{5, 1, {}}, {0x80000000u, 0, {7006}}, {0x80000001u, 0, {7007}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    doc.SetModifiedFlags(0);
    host.messages.shown.clear();
    Plugin(13, 3);
    const uint32_t status = c.status;
    host.binder.plugins[13].report = [status](uint32_t& report) {
      report = 0x1234;
      return status;
    };
    EXPECT_EQ(engine.play_midi_list_KZ3(), c.result);
    EXPECT_EQ(host.messages.ShownIds(), c.messages);
  }
  EXPECT_EQ(doc.GetConverterReport(), 0x1234u);
}

TEST_F(SongTransferTest, DirectPlayNeedsNoSongAndASentImage) {
  appPlayState().directPlayImageSent = true;
  EXPECT_EQ(engine.PrepareDirectPlay(), 0) << "a song is open";
  host.registry.document = nullptr;
  appPlayState().directPlayImageSent = false;
  EXPECT_EQ(engine.PrepareDirectPlay(), 0) << "the mark is clear";
  appPlayState().directPlayImageSent = true;
  Clear();
  EXPECT_EQ(engine.PrepareDirectPlay(), 1);
  EXPECT_THAT(Sent(), ElementsAre(kStart));
  appPlayState().directPlayImageSent = false;
}

TEST_F(SongTransferTest, DirectImageGoesInPiecesWithWaits) {
  FindBoard();
  host.registry.document = nullptr;
  const Bytes image(7001, 0x42);
  EXPECT_EQ(engine.SendSongToBoard(image.data(), 7001), 1);
  std::vector<std::string> shape;
  for (const Bytes& m : backend.Sent(0)) {
    if (m == kReadyQuery) shape.push_back("W");
    else if (m.size() > 5 && m[4] == 0x00) shape.push_back(std::to_string(m.size()));
  }
  EXPECT_THAT(shape, ElementsAre("W", "4006", "W", "4006", "8"));
}

TEST_F(SongTransferTest, PhrasesGoAsLongDataWithChannelMessages) {
  host.settings.outputProfile = 4;
  doc.SetChannelValue(0, 1);
  ASSERT_EQ(doc.SetChannelPart(0, 1, 1), 1);
  FindBoard();
  Plugin(17, 3, {9, 8, 7});
  ASSERT_EQ(engine.play_midi_list_KZ3Phrase(), 1);
  std::vector<std::string> hex;
  for (const Bytes& m : Sent()) hex.push_back(FakeMidiBackend::Hex(m.data(), m.size()));
  ASSERT_FALSE(flags.empty());
  EXPECT_EQ(flags[0], 0x51u);
  ASSERT_GE(hex.size(), 7u);
  EXPECT_EQ(hex[0], "F0 43 79 05 7E 10 00 F7");
  EXPECT_EQ(hex[3], "F0 43 79 05 7E 10 03 F7");
  EXPECT_EQ(hex[4].substr(0, 15), "F0 43 79 05 01 ") << "long data on channel 1";
  EXPECT_EQ(hex[5], "F0 43 79 05 7E 11 00 F7");
  EXPECT_EQ(hex[6], "F0 43 79 05 7E 12 00 01 F7");
  EXPECT_EQ(hex.back(), "F0 43 79 05 7E 13 00 03 F7") << "start in mode 3";
  EXPECT_FALSE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent));

  Clear();
  host.ui.timeRangeSpan = 500;
  ASSERT_EQ(engine.play_midi_list_KZ3Phrase(), 1);
  hex.clear();
  for (const Bytes& m : Sent()) hex.push_back(FakeMidiBackend::Hex(m.data(), m.size()));
  EXPECT_THAT(hex, ElementsAre("F0 43 79 05 7E 1A 00 74 03 00 00 F7", "F0 43 79 05 7E 13 00 01 F7"));
}

}  // namespace

namespace {

TEST_F(SongTransferTest, StandInEmulatorLoadsTheConvertedImageAndPlaysIt) {
  ASSERT_EQ(engine.SetupSoundDevice(3), 1);
  emutest::EmuRecord record(host.settings.appDir + "kz3qelemu.so");
  record.Clear();
  Plugin(8, 0, {});
  const Bytes image = emutest::ShortSongImage(40);
  host.binder.plugins[8].to = [image](CnvParam& p) {
    std::copy(image.begin(), image.end(), p.dst);
    return static_cast<uint32_t>(image.size());
  };
  ASSERT_EQ(engine.Play(), 1);
  ASSERT_TRUE(engine.IsPlaying());
  auto names = [&record] {
    std::vector<std::string> out;
    for (const std::string& call : record.CallsOf("KzSound_")) {
      std::string name = call.substr(8, call.find('(') - 8);
      // The player reads its state (control 6) and its length (5) around the calls.
      if (name == "Control") {
        const std::string code = call.substr(call.find(',', call.find(',') + 1) + 1);
        if (code.rfind("6,", 0) == 0 || code.rfind("5,", 0) == 0) continue;
        name += "(" + code.substr(0, code.find(',')) + ")";
      }
      if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
    }
    return out;
  };
  // From a fresh player the Close and Unload have nothing to do and reach no library call.
  EXPECT_THAT(names(), ElementsAre("Load", "Open", "Control(12)", "Control(13)", "Standby", "Seek", "Control(2)",
                                   "Control(1)", "Start"))
      << ::testing::PrintToString(record.Calls());
  EXPECT_TRUE(host.notify.WaitForPosts(2, 5000));
  bool stopped = false;
  for (int i = 0; i < 500 && !stopped; ++i) {
    for (const platform::RecordedPost& p : host.notify.Posts())
      if (p.message == platform::kWmCommand && p.wParam == platform::kStopCommand) stopped = true;
    if (!stopped) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(stopped) << "the end of the image posts the Stop command";
  EXPECT_FALSE(host.notify.PostsOf(platform::kWmPlayPosition).empty());
  engine.Stop();

  // A changed song goes again: the loaded one is closed and unloaded first.
  doc.SetModifiedFlags(0);
  record.Clear();
  ASSERT_EQ(engine.Play(), 1);
  const std::vector<std::string> again = names();
  ASSERT_GE(again.size(), 3u) << ::testing::PrintToString(record.Calls());
  EXPECT_THAT(std::vector<std::string>(again.begin(), again.begin() + 3), ElementsAre("Close", "Unload", "Load"))
      << ::testing::PrintToString(record.Calls());
  engine.Stop();
}

}  // namespace
