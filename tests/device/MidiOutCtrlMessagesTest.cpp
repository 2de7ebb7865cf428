// Tests of the output engine's ports, messages and replies over the fake port layer, with a
// manual clock so that no wait is real.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EmuFixture.h"
#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "device/MidiThru.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"
#include "platform/sys/Clock.h"
#include "song/document/KZ1Doc.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::FakeMidiBackend;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

const Bytes kIdentify = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x00, 0xF7};
const Bytes kStop = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7};

Bytes Answer(uint8_t r) { return {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x08, r, 0xF7}; }

std::string Hex(const Bytes& b) { return FakeMidiBackend::Hex(b.data(), b.size()); }

class MidiOutCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.settings.appDir = emutest::VariantDir("recording");
    host.registry.midiThru = &thru;
    clock.Set(5000);
    appPlayState().directPlayImageSent = false;
  }
  void TearDown() override { backend.WaitForThreads(); }

  /// Outputs 0 "Synth", 1 serial, 2 USB; inputs 0 "Keyboard", 1 serial, 2 USB.
  void BoardDevices() {
    backend.SetDevices({"Synth", "KORVAN TVR A Driver 1", "KORVAN USB OUT 1"},
                       {"Keyboard", "KORVAN TVR Driver 1", "KORVAN USB IN 1"});
  }
  /// The board on output `out` answers the identify query with `answer` on input `in`.
  void BoardAnswersIdentify(int in, uint8_t answer) { backend.AddAnswer({kIdentify, in, Answer(answer)}); }

  platform::FakeHost host;
  FakeMidiBackend backend;
  platform::ScopedMidiBackend useBackend{backend};
  CMidiThru thru{backend};
  platform::ManualClock clock;
  platform::ScopedClock useClock{clock};
};

// --- The input callback ----------------------------------------------------------------------

TEST_F(MidiOutCtrlTest, OnMidiInStoresRepliesOnlyFromWholeRows) {
  Bytes oversized = Answer(9);
  oversized.insert(oversized.end() - 1, 4097 - oversized.size(), 0x00);
  struct Case {
    const char* name;
    Bytes message;
    uint8_t version;
    int reply;
    uint32_t value;
    int info1, info0, info2;
  };
  const Case cases[] = {
      {"reply", Answer(5), 0, 5, 0, 0, 0, 0},
      {"form 1 at version 11", {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05, 1, 2, 3, 4, 0x11, 0x22, 0xF7}, 11, 0, 8438017,
       0x11, 0x22, 0},
      {"form 1 at version 12", {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05, 1, 2, 3, 4, 0x11, 0x22, 0xF7}, 12, 0, 0, 0, 0, 0},
      {"form 2 at version 12", {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x08, 1, 2, 3, 4, 0x11, 0x22, 0x33, 0xF7}, 12, 0,
       8438017, 0x11, 0x22, 0x33},
      {"form 2 at version 11", {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x08, 1, 2, 3, 4, 0x11, 0x22, 0x33, 0xF7}, 11, 0, 0, 0,
       0, 0},
      {"reply without its byte", {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x08}, 0, 255, 0, 0, 0, 0},
      {"form 1 of 11 bytes", {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05, 1, 2, 3, 4, 0x11}, 11, 255, 0, 0, 0, 0},
      {"form 2 of 12 bytes", {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x08, 1, 2, 3, 4, 0x11, 0x22}, 12, 255, 0, 0, 0, 0},
      {"over 4096 bytes", oversized, 0, 255, 0, 0, 0, 0},
      {"notice 7F 12", {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x12, 0x05, 0xF7}, 0, 255, 0, 0, 0, 0},
      {"other maker", {0xF0, 0x44, 0x79, 0x05, 0x7E, 0x08, 0x05, 0xF7}, 0, 255, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMidiOutCtrl engine;
    engine.SetBoardVersion(c.version);
    EXPECT_EQ(engine.GetReplyByte(), 255) << "no reply before the first query";
    engine.OnMidiIn(c.message.data(), c.message.size());
    EXPECT_EQ(engine.GetReplyByte(), c.reply);
    EXPECT_EQ(engine.GetBoardInfoValue(), c.value);
    EXPECT_EQ(engine.GetReplyByte1(), c.info1);
    EXPECT_EQ(engine.GetReplyByte0(), c.info0);
    EXPECT_EQ(engine.GetReplyByte2(), c.info2);
  }
  EXPECT_THAT(host.notify.Posts(), IsEmpty());
}

TEST_F(MidiOutCtrlTest, BoardEventPostsOnlyAsExactlyElevenBytesAndNotForPhrases) {
  const Bytes event = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x05, 0, 0, 0, 0, 0xF7};
  Bytes longer = event;
  longer.push_back(0xF7);
  struct Case {
    int chip, profile;
    const Bytes* message;
    bool posts;
  };
  const Case cases[] = {
      {3, 2, &event, true}, {3, 2, &longer, false}, {3, 4, &event, false}, {5, 4, &event, false},
      {1, 4, &event, true}, {2, 2, &event, true},   {4, 2, &event, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.chip << "/" << c.profile << "/" << c.message->size());
    host.settings.chipMode = c.chip;
    host.settings.outputProfile = c.profile;
    TMidiOutCtrl engine;
    host.notify.TakeAll();
    const size_t before = host.notify.Posts().size();
    engine.OnMidiIn(c.message->data(), c.message->size());
    const auto posts = host.notify.Posts();
    if (c.posts) {
      ASSERT_EQ(posts.size(), before + 1);
      EXPECT_EQ(posts.back(), (platform::RecordedPost{platform::kWmBoardEvent, 9, 0}));
    } else {
      EXPECT_EQ(posts.size(), before);
    }
  }
}

// --- Waits without an answer ------------------------------------------------------------------

TEST_F(MidiOutCtrlTest, SendSysExWaitGivesNoReplyAfterOneSecond) {
  BoardDevices();
  TMidiOutCtrl engine;
  auto out = backend.OpenOutput(1);
  EXPECT_EQ(engine.SendSysExWait(kIdentify.data(), 8, out.get()), 255);
  EXPECT_EQ(clock.NowMs(), 6000u);
  EXPECT_EQ(backend.Sent(1), std::vector<Bytes>{kIdentify});
  clock.Set(5000);
  EXPECT_EQ(engine.SendSysExWait(kIdentify.data(), 8, nullptr), 255) << "no handle: at once";
  EXPECT_EQ(clock.NowMs(), 5000u);
}

TEST_F(MidiOutCtrlTest, SendQueryInChipModeTwoGivesNoReplyAfterFourSeconds) {
  host.settings.chipMode = 2;
  BoardDevices();
  TMidiOutCtrl engine;
  const Bytes request = {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x04, 0xF7};
  EXPECT_EQ(engine.SendQuery(request.data(), 7), 255);
  EXPECT_EQ(clock.NowMs(), 9000u);
  ASSERT_FALSE(backend.Sent(0).empty());
  EXPECT_EQ(backend.Sent(0).front(), request) << "on the output of MIDIDeviceOut, which is then reset";
  EXPECT_EQ(backend.Sent(0).size(), 33u);
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(backend.OpenInputCount(), 0);
}

TEST_F(MidiOutCtrlTest, WaitBoardStatusByChipModeAndPortKind) {
  BoardDevices();
  BoardAnswersIdentify(1, 3);
  TMidiOutCtrl engine;
  host.settings.chipMode = 1;
  EXPECT_EQ(engine.WaitBoardStatus(), 255);
  host.settings.chipMode = 3;
  EXPECT_EQ(engine.WaitBoardStatus(), 0) << "no board port kind";
  ASSERT_EQ(engine.OpenBoard(1), 1);
  backend.ClearAnswers();
  engine.SetPlaying(true);
  clock.Set(5000);
  EXPECT_EQ(engine.WaitBoardStatus(), 255);
  EXPECT_GE(clock.NowMs() - 5000, 60000u);
  EXPECT_LT(clock.NowMs() - 5000, 61100u);
  EXPECT_TRUE(engine.IsPlaying()) << "the playing flag is kept";
  // Each round sends the stop message, then query 2 on the board's port.
  const Bytes query2 = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x02, 0xF7};
  EXPECT_THAT(backend.Sent(0), Contains(kStop));
  EXPECT_THAT(backend.Sent(1), Contains(query2));
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(backend.OpenInputCount(), 0);
}

TEST_F(MidiOutCtrlTest, WaitBoardStatusEndsAtTheFirstAnswer) {
  BoardDevices();
  BoardAnswersIdentify(1, 3);
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.OpenBoard(1), 1);
  backend.ClearAnswers();
  backend.AddAnswer({{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x02}, 1, Answer(1)});
  clock.Set(5000);
  EXPECT_EQ(engine.WaitBoardStatus(), 1);
  EXPECT_EQ(clock.NowMs(), 5000u);
}

// --- Finding the board -----------------------------------------------------------------------

TEST_F(MidiOutCtrlTest, OpenBoardByNamesAndIdentifyAnswer) {
  struct Case {
    const char* name;
    int search;
    std::vector<std::pair<int, uint8_t>> answers;  // input, identify answer
    int kind;
  };
  const std::vector<Case> cases = {
      {"serial", 0, {{1, 3}}, 1},
      {"USB after a silent serial pair", 0, {{2, 3}}, 2},
      {"serial wins over USB", 0, {{1, 3}, {2, 3}}, 1},
      {"USB only", 2, {{1, 3}}, 0},
      {"serial only", 1, {{2, 3}}, 0},
      {"answer 5 is no board", 0, {{1, 5}, {2, 5}}, 0},
      {"unknown search", 3, {{1, 3}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoardDevices();
    backend.ClearAnswers();
    for (auto [in, answer] : c.answers) BoardAnswersIdentify(in, answer);
    TMidiOutCtrl engine;
    EXPECT_EQ(engine.OpenBoard(c.search), c.kind);
    EXPECT_EQ(engine.GetConnectionState(), c.kind);
    EXPECT_EQ(engine.GetReplyByte(), 255) << "the reply byte is put back";
    EXPECT_EQ(backend.OpenOutputCount(), 0);
    EXPECT_EQ(backend.OpenInputCount(), 0);
  }
  TMidiOutCtrl emulated;
  ASSERT_EQ(emulated.SetupSoundDevice(3), 1);
  EXPECT_EQ(emulated.OpenBoard(0), 0) << "connection kind 1 only";
}

TEST_F(MidiOutCtrlTest, NameSearchWithoutAMatchingInputLeavesNothingOpen) {
  backend.SetDevices({"KORVAN TVR A Driver"}, {"Keyboard"});
  TMidiOutCtrl engine;
  TMidiOutCtrl::OutputHandle out;
  TMidiOutCtrl::InputHandle in;
  EXPECT_EQ(engine.OpenSerialMidiPorts(out, in, false), 0);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_THAT(backend.Log(), ElementsAre("open out 0", "close out 0"));
}

TEST_F(MidiOutCtrlTest, NameSearchTakesTheNextInputWhenOneFailsToOpen) {
  backend.SetDevices({"KORVAN USB OUT"}, {"KORVAN USB IN a", "KORVAN USB IN b"});
  backend.FailOpenInput(0);
  TMidiOutCtrl engine;
  TMidiOutCtrl::OutputHandle out;
  TMidiOutCtrl::InputHandle in;
  ASSERT_EQ(engine.OpenUsbMidiPorts(out, in, false), 1);
  EXPECT_EQ(in->Name(), "KORVAN USB IN b");
  engine.ClosePorts(out, in);
  EXPECT_EQ(backend.OpenInputCount(), 0);
}

TEST_F(MidiOutCtrlTest, QueryBoardStopsFirstThenStoresTheVersionAndReadsInfoByIt) {
  BoardDevices();
  host.profile.WriteProfileInt("Setting", "MIDIDeviceOut", 0);
  BoardAnswersIdentify(1, 3);
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.OpenBoard(0), 1);
  backend.ClearLog();
  backend.AddAnswer({{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x03}, 1, Answer(12)});
  EXPECT_EQ(engine.QueryBoard(3), 12);
  EXPECT_EQ(engine.GetBoardVersion(), 12);
  const std::vector<std::string> log = backend.Log();
  const std::string stop = "send out 0: " + Hex(kStop);
  const std::string query = "send out 1: F0 43 79 05 7E 07 03 F7";
  ASSERT_THAT(log, Contains(stop));
  ASSERT_THAT(log, Contains(query));
  EXPECT_LT(std::find(log.begin(), log.end(), stop), std::find(log.begin(), log.end(), query));

  const Bytes info = {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x04, 0xF7};
  backend.AddAnswer({info, 1, {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05, 9, 0, 0, 0, 0x01, 0x02, 0xF7}});
  uint32_t value = 0;
  uint8_t i1 = 0, i0 = 0, i2 = 0;
  EXPECT_EQ(engine.ReadBoardInfo(&value, &i1, &i0, &i2), 1) << "answered, though in the wrong form";
  EXPECT_EQ(value, 0u);
  EXPECT_TRUE(engine.IsBoardOk());
  backend.ClearAnswers();
  backend.AddAnswer({info, 1, {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x08, 9, 1, 0, 0, 0x05, 0x06, 0x07, 0xF7}});
  EXPECT_EQ(engine.ReadBoardInfo(&value, &i1, &i0, &i2), 1);
  EXPECT_EQ(value, 9u + 128u);
  EXPECT_EQ(i1, 0x05);
  EXPECT_EQ(i0, 0x06);
  EXPECT_EQ(i2, 0x07);
  backend.ClearAnswers();
  EXPECT_EQ(engine.ReadBoardInfo(nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_FALSE(engine.IsBoardOk());
}

// --- Sending ---------------------------------------------------------------------------------

TEST_F(MidiOutCtrlTest, StopOnConnectionKindOneSendsTheStopMessageAndClosesThePorts) {
  BoardDevices();
  host.profile.WriteProfileInt("Setting", "MIDIDeviceOut", 2);
  TMidiOutCtrl engine;
  EXPECT_EQ(engine.Stop(), 1);
  EXPECT_EQ(backend.Sent(2), std::vector<Bytes>{kStop});
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  host.settings.outputProfile = 4;
  backend.ClearLog();
  engine.Stop();
  EXPECT_THAT(backend.Log(), IsEmpty()) << "a phrase channel that is not active gets nothing";
  engine.SetChannelActive(0, true);
  engine.Stop();
  EXPECT_THAT(backend.Sent(2).back(), ElementsAre(0xF0, 0x43, 0x79, 0x05, 0x7E, 0x13, 0x00, 0x02, 0xF7));
}

TEST_F(MidiOutCtrlTest, SendSysExWithoutAnOutputSendsNothing) {
  TMidiOutCtrl engine;
  EXPECT_EQ(engine.SendSysEx(kStop.data(), 8), -1);
  host.settings.chipMode = 1;
  BoardDevices();
  backend.ClearLog();
  EXPECT_EQ(engine.SendSysEx(kStop.data(), 8), -1) << "chip mode 1 opens no port for messages";
  EXPECT_THAT(backend.Log(), IsEmpty());
}

TEST_F(MidiOutCtrlTest, ThruStopsForAnExchangeAndLendsItsOutputOtherwise) {
  BoardDevices();
  BoardAnswersIdentify(1, 3);
  thru.SetInDevice(1);  // "Keyboard"
  thru.SetOutDevice(1);  // "Synth"
  ASSERT_EQ(thru.Start(), 1);
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.OpenBoard(0), 1);
  EXPECT_EQ(thru.IsActive(), 1) << "restarted after the search";
  // While the thru runs, a message goes out on the thru's own output, which stays open.
  backend.ClearLog();
  engine.SendSysEx(kStop.data(), 8);
  EXPECT_THAT(backend.Log(), Contains("send out 0: " + Hex(kStop)));
  EXPECT_THAT(backend.Log(), Not(Contains("close out 0")));
  EXPECT_EQ(thru.IsActive(), 1);
  // An exchange with the board stops the thru and starts it again.
  backend.ClearLog();
  backend.AddAnswer({{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x02}, 1, Answer(0)});
  EXPECT_EQ(engine.OpenBoardPorts(Bytes{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x02, 0xF7}.data(), 8), 0);
  const std::vector<std::string> log = backend.Log();
  EXPECT_THAT(log, Contains("disconnect in 0"));
  EXPECT_THAT(log, Contains("connect in 0 -> out 0"));
  EXPECT_EQ(thru.IsActive(), 1);
  EXPECT_TRUE(backend.Feed(0, {0x90, 0x3C, 0x40}));
  EXPECT_EQ(backend.Sent(0).back(), (Bytes{0x90, 0x3C, 0x40}));
  thru.Stop();
}

// --- The generation-5 emulator (connection kind 2) --------------------------------------------

class MidiOutCtrlEmulatorTest : public MidiOutCtrlTest {
 protected:
  static std::vector<std::string> SetMidiMsgs(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const std::string& c : calls)
      if (c.rfind("SetMidiMsg", 0) == 0) out.push_back(c);
    return out;
  }
};

TEST_F(MidiOutCtrlEmulatorTest, SendSysExWhileIdleResetsMarksAndSendsInOrder) {
  for (int argument : {5, 2}) {
    SCOPED_TRACE(argument);
    emutest::EmuRecord record(host.settings.appDir + "K5_EmuQel5.so");
    CKZ1Doc doc;
    doc.ResetModifiedFlags();
    host.registry.document = &doc;
    TMidiOutCtrl engine;
    ASSERT_EQ(engine.SetupSoundDevice(argument), 1);
    ASSERT_EQ(engine.GetConnectionKind(), 2);
    appPlayState().directPlayImageSent = true;
    record.Clear();
    std::vector<std::string> atPanes;
    bool markedAtPanes = true;
    bool directAtPanes = false;
    host.ui.onStatusPanes = [&] {
      atPanes = record.Calls();
      markedAtPanes = doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent) != 0;
      directAtPanes = appPlayState().directPlayImageSent.load();
    };
    const Bytes message = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_EQ(engine.SendSysEx(message.data(), 8), 0);
    host.ui.onStatusPanes = nullptr;
    const std::string volume = "SetMidiMsg(F0 43 79 05 7E 09 64 F7)";
    const std::vector<std::string> sent = SetMidiMsgs(record.Calls());
    ASSERT_GE(sent.size(), 1u);
    EXPECT_EQ(sent.back(), "SetMidiMsg(" + Hex(message) + ")");
    if (argument == 5) {
      ASSERT_GE(sent.size(), 2u);
      EXPECT_EQ(sent[sent.size() - 2], volume);
      EXPECT_THAT(atPanes, Contains(volume)) << "the volume goes before the panes";
    } else {
      EXPECT_THAT(sent, Not(Contains(volume)));
    }
    EXPECT_THAT(SetMidiMsgs(atPanes), Not(Contains("SetMidiMsg(" + Hex(message) + ")")));
    EXPECT_EQ(host.ui.statusPaneUpdates, argument == 5 ? 1 : 2);
    EXPECT_FALSE(markedAtPanes) << "the change mark comes after the panes";
    EXPECT_TRUE(directAtPanes) << "the direct-play mark is cleared after the panes";
    EXPECT_NE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent), 0u);
    EXPECT_FALSE(appPlayState().directPlayImageSent.load());
    host.registry.document = nullptr;
  }
}

TEST_F(MidiOutCtrlEmulatorTest, SendSysExWhilePlayingSendsNothing) {
  emutest::EmuRecord record(host.settings.appDir + "K5_EmuQel5.so");
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.SetupSoundDevice(5), 1);
  record.Clear();
  engine.SetPlaying(true);
  EXPECT_EQ(engine.SendSysEx(kStop.data(), 8), 0);
  EXPECT_THAT(record.Calls(), IsEmpty());
  EXPECT_EQ(host.ui.statusPaneUpdates, 0);
  engine.SetPlaying(false);
}

TEST_F(MidiOutCtrlEmulatorTest, QueryBoardReadsPastAnUnrelatedMessageToTheAnswer) {
  emutest::EmuRecord record(host.settings.appDir + "K5_EmuQel5.so");
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.SetupSoundDevice(5), 1);
  EXPECT_EQ(engine.QueryBoard(0), 3);
  EXPECT_EQ(engine.QueryBoard(3), 12);
  EXPECT_EQ(engine.GetBoardVersion(), 12);
  EXPECT_EQ(engine.QueryBoard(2), 0);
  EXPECT_EQ(engine.GetReplyByte(), 0);
  EXPECT_EQ(record.CallsOf("GetMidiMsg").size(), 6u);
}

TEST_F(MidiOutCtrlEmulatorTest, EmulatorInformationIsItsPositionControl) {
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.SetupSoundDevice(3), 1);
  uint32_t value = 7;
  // No song is loaded: the player refuses the control, so there is no answer.
  EXPECT_EQ(engine.ReadBoardInfo(&value, nullptr, nullptr, nullptr), 0);
  EXPECT_FALSE(engine.IsBoardOk());
  EXPECT_EQ(engine.QueryBoard(2), 255) << "a generation-3 device takes no messages";
}

}  // namespace
