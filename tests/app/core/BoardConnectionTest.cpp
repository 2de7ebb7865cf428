// Tests of the application's board connection, board check and board-link wrappers over fakes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "StartupFakes.h"
#include "app/core/AppBoardCommands.h"
#include "app/core/TrillotApp.h"
#include "song/document/KZ1Doc.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/sys/Clock.h"

namespace {

using startuptest::FakeBoardLink;
using startuptest::FakeMainFrame;
using startuptest::FakeOutputEngine;
using ::testing::ElementsAre;

class BoardConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetChipMode(3);
    app.SetMainFrameFactory([this] { return std::make_unique<FakeMainFrame>(frameLog, &engine); });
    app.CreateMainFrame();
    app.SetProcessExit([this](int code) { exitCodes.push_back(code); });
  }

  /// A link factory whose links answer from the script.
  void LinkAnswers(std::deque<std::string> answers, uint32_t msPerCall = 0) {
    app.SetBoardLinkFactory([=, this](const std::string& name) {
      deviceNames.push_back(name);
      return std::make_unique<FakeBoardLink>(linkLog, answers, &clock, msPerCall);
    });
  }

  std::vector<std::string> ShownTexts() const {
    std::vector<std::string> out;
    for (const auto& m : host.messages.shown) out.push_back(m.text);
    return out;
  }

  platform::FakeHost host;
  platform::ManualClock clock;
  platform::ScopedClock scopedClock{clock};
  FakeOutputEngine engine;
  std::shared_ptr<FakeMainFrame::Log> frameLog = std::make_shared<FakeMainFrame::Log>();
  std::shared_ptr<FakeBoardLink::Log> linkLog = std::make_shared<FakeBoardLink::Log>();
  std::vector<std::string> deviceNames;
  std::vector<int> exitCodes;
  CTrillotApp app;
};

TEST_F(BoardConnection, HandshakeRepeatsWhileBothCharactersAreZero) {
  // The link test takes the first answer; the handshake then sees zeros twice and "12".
  LinkAnswers({"OK", std::string(2, '\0'), std::string(2, '\0'), "12"});
  app.SetBoardFlag(7);
  ::setenv("TRILLOT_COM3", "/dev/fake-board", 1);
  EXPECT_EQ(app.OpenBoardPort(3), 1);
  ::unsetenv("TRILLOT_COM3");
  EXPECT_THAT(deviceNames, ElementsAre("/dev/fake-board"));
  EXPECT_EQ(linkLog->handshakes, 4);
  EXPECT_EQ(app.GetBoardReplyValue(), 12);
  EXPECT_EQ(app.GetBoardComPort(), 3);
  EXPECT_EQ(app.GetBoardFlag(), 0u);
  EXPECT_TRUE(app.HasBoardLink());
  EXPECT_THAT(frameLog->calls, ElementsAre("EnableBoardMonitor(1)"));
}

TEST_F(BoardConnection, ZerosFailAfterFifteenSeconds) {
  LinkAnswers({"OK", std::string(2, '\0')}, 1000);
  EXPECT_EQ(app.OpenBoardPort(2), 0);
  EXPECT_FALSE(app.HasBoardLink());
  EXPECT_TRUE(linkLog->destroyed);
  EXPECT_GE(clock.NowMs(), 15000u);
  EXPECT_LE(clock.NowMs(), 17000u);
  EXPECT_EQ(deviceNames.front(), "/dev/ttyS1");
}

TEST_F(BoardConnection, FailedLinkTestOrHandshakeLeavesNoLink) {
  LinkAnswers({"!!"});
  EXPECT_EQ(app.OpenBoardPort(1), 0);
  EXPECT_FALSE(app.HasBoardLink());
  EXPECT_EQ(linkLog->handshakes, 1);
  LinkAnswers({"OK", "!!"});
  EXPECT_EQ(app.OpenBoardPort(1), 0);
  EXPECT_FALSE(app.HasBoardLink());
  EXPECT_EQ(app.GetBoardComPort(), 0);
}

TEST_F(BoardConnection, ThrowingFactoryLeavesNoLink) {
  for (int thrown : {-1, -2, -108}) {
    app.SetBoardLinkFactory([thrown](const std::string&) -> std::unique_ptr<CBoardLink> { throw thrown; });
    EXPECT_EQ(app.OpenBoardPort(4), 0) << thrown;
    EXPECT_FALSE(app.HasBoardLink());
  }
  CTrillotApp plain;
  EXPECT_EQ(plain.OpenBoardPort(4), 0);  // the program's own factory has no serial link yet
}

TEST_F(BoardConnection, PortZeroClosesTheLinkAndStopsTheMonitor) {
  LinkAnswers({"OK", "01"});
  ASSERT_EQ(app.OpenBoardPort(5), 1);
  EXPECT_EQ(app.OpenBoardPort(0), 1);
  EXPECT_FALSE(app.HasBoardLink());
  EXPECT_EQ(app.GetBoardComPort(), 0);
  EXPECT_EQ(frameLog->calls.back(), "EnableBoardMonitor(0)");
}

TEST_F(BoardConnection, DeadLinkEndsWithMessageAndMendedStatus) {
  LinkAnswers({"OK", "01", "!!"});
  ASSERT_EQ(app.OpenBoardPort(1), 1);
  EXPECT_EQ(app.CheckBoardLink(), 0);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7081));
  EXPECT_THAT(exitCodes, ElementsAre(2));
  app.SetOutputPath("out.mmf");
  EXPECT_EQ(app.CheckBoardLink(), 0);
  EXPECT_THAT(exitCodes, ElementsAre(2, 1));
  CTrillotApp noLink;
  EXPECT_EQ(noLink.CheckBoardLink(), 1);
}

TEST_F(BoardConnection, WrappersNeedALinkAndSomeTheSongOnTheBoard) {
  uint8_t p[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  char answer[2] = {};
  uint32_t status = 0;
  EXPECT_EQ(app.StartBoardPlayback(), 0);
  EXPECT_EQ(app.ResetBoardLink(), 0);
  EXPECT_EQ(app.RewindBoardPlayback(), 0);
  EXPECT_EQ(app.SendBoardSetup(1, p, 2, 3), 0);
  EXPECT_EQ(app.BoardHandshake(answer), 0);
  EXPECT_EQ(app.QueryBoardStatus(&status), 0);
  EXPECT_EQ(app.TestBoardLink(), 0);

  LinkAnswers({"OK", "01"});
  ASSERT_EQ(app.OpenBoardPort(1), 1);
  EXPECT_EQ(app.StartBoardPlayback(), 0);
  EXPECT_EQ(app.ResetBoardLink(), 0);
  EXPECT_TRUE(linkLog->calls.empty());
  app.SetSongOnBoard(true);
  app.SetMasterVolume(90);
  app.SetHpVolume(20);
  app.SetBoardPlaybackState(4);
  app.SetBoardQueryParam(12);
  EXPECT_EQ(app.StartBoardPlayback(), 1);  // the low byte of 0x101
  EXPECT_EQ(app.ResetBoardLink(), 1);
  EXPECT_EQ(app.RewindBoardPlayback(), 1);
  EXPECT_EQ(app.GetBoardPlaybackState(), 0u);
  EXPECT_EQ(app.SendBoardSetup(1, p, 2, 3), 1);
  EXPECT_EQ(app.QueryBoardStatus(&status), 1);
  EXPECT_EQ(status, 5u);
  EXPECT_THAT(linkLog->calls, ElementsAre("SetPlayParams(0,90,20)", "Reset", "SendSetup(1,1,2,3,4,5,6,7,8,2,3,90,20)",
                                          "QueryStatus(12)"));
}

TEST_F(BoardConnection, BoardCheckTextsByConnectionKindAndReplies) {
  struct Case {
    const char* name;
    int kind;
    int portKind;
    std::deque<int> answers;
    int fit;
    std::string text;
  };
  const std::string head = "Exit application.\n";
  const Case cases[] = {
      {"emulator 3", 3, 0, {}, 1, ""},
      {"emulator 4", 4, 0, {}, 1, ""},
      {"none", 0, 0, {}, 0, ""},
      {"kind 2", 2, 0, {}, 0, ""},
      {"no board", 1, 0, {}, 0, head + "- As board not found."},
      {"nonsupport", 1, 1, {1}, 0, head + "- Nonsupport board."},
      {"value 7", 1, 2, {7}, 0, head + "- As board not found."},
      {"gen-3 board", 1, 1, {0, 12}, 1, head},
      {"gen-3 version 0", 1, 1, {0, 0}, 0, head},
  };
  for (const Case& c : cases) {
    engine.connectionKind = c.kind;
    engine.boardPortKind = c.portKind;
    engine.queryAnswers = c.answers;
    std::string text;
    EXPECT_EQ(app.CheckBoardKZ3(text), c.fit) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
}

TEST_F(BoardConnection, FailedCheckShowsItsTextExceptInBatch) {
  engine.connectionKind = 1;
  EXPECT_EQ(app.CheckBoardForChipMode(3, 1), 0);
  EXPECT_THAT(ShownTexts(), ElementsAre("Exit application.\n- As board not found."));
  EXPECT_EQ(host.messages.shown.front().style, 0x10u);
  EXPECT_EQ(app.CheckBoardForChipMode(3, 0), 0);
  EXPECT_EQ(app.CheckBoardForChipMode(1, 1), 0);
  EXPECT_EQ(ShownTexts().back(), "Can not open application.\n- Illegal parameter of Trillot.ini(initial) file.");
  EXPECT_EQ(app.CheckBoardForChipMode(5, 1), 0);
  EXPECT_EQ(ShownTexts().back(), "");
  host.messages.shown.clear();
  host.settings.batchMode = true;
  EXPECT_EQ(app.CheckBoardForChipMode(3, 1), 0);
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST_F(BoardConnection, StreamPcmReserveSendsTheModeValue) {
  for (auto [setting, sent] : {std::pair{0, 0}, {1, 1}, {2, 5}}) {
    engine.calls.clear();
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", setting);
    host.profile.WriteProfileInt("Setting", "KZ-3_StreamPCMReserve", 2);
    host.profile.WriteProfileInt("Setting", "BlinkLED", 3);
    app.ApplyStreamPcmReserve();
    EXPECT_THAT(engine.calls,
                ElementsAre("ResetBoard", "SendBoardCommand11(" + std::to_string(sent) + ")", "SendBoardCommand07(2)",
                            "SendBoardCommand09b(100)", "SendBoardCommand13(0,0,0,0)", "SendBoardParam03_06(3)",
                            "SendBoardParam03_09(0)"));
  }
}

TEST_F(BoardConnection, ProfileParamsFollowProfileMakerAndTheTBOption) {
  uint8_t a = 0, b = 0, c = 0, d = 0;
  app.SetOutputProfile(1);
  for (auto [maker, expected] : {std::pair{1, 2}, {2, 1}, {3, 0xFF}, {4, 3}}) {
    app.SetMakerID(maker);
    app.GetProfileParams(a, b, c, d);
    EXPECT_EQ(a, expected) << maker;
    EXPECT_EQ(d, 1) << maker;  // the TB option is off
  }
  engine.calls.clear();
  app.SetMakerID(3);
  app.GetProfileParam();
  EXPECT_TRUE(engine.calls.empty());  // a of 0xFF sends nothing
  app.SetOutputProfile(4);
  app.GetProfileParam();
  EXPECT_THAT(engine.calls, ElementsAre("SendBoardCommand13(0,1,0,0)"));
}

TEST_F(BoardConnection, CancelledResetSendsNothing) {
  host.messages.answers = {2};
  EXPECT_EQ(app.SendNativeReset(1), 0);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7133));
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_TRUE(frameLog->calls.empty());
}

TEST_F(BoardConnection, ResetSetsTheDeviceUpAgainAndSends) {
  host.messages.answers = {1};
  EXPECT_EQ(app.SendNativeReset(1), 0);
  EXPECT_EQ(engine.calls.front(), "SetupSoundDevice(3)");
  EXPECT_EQ(engine.calls.back(), "ClearSentState");
  EXPECT_THAT(frameLog->calls, ElementsAre("UpdateStatusPanes", "OnStop"));
  engine.calls.clear();
  engine.setupResult = 0;
  EXPECT_EQ(app.SendNativeReset(0), 0);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7133, 7081));
  EXPECT_THAT(exitCodes, ElementsAre(2));
}

TEST_F(BoardConnection, HardwareModeSetsTheDeviceForChipModeThree) {
  EXPECT_EQ(app.SetHardwareMode(3), 1);
  EXPECT_THAT(engine.calls, ElementsAre("SetupSoundDevice(3)"));
  EXPECT_THAT(frameLog->calls, ElementsAre("UpdateStatusPanes"));
  EXPECT_EQ(app.SetHardwareMode(1), 0);
  engine.setupResult = 0;
  EXPECT_EQ(app.SetHardwareMode(3), 0);
  EXPECT_EQ(frameLog->calls.size(), 1u);
}

}  // namespace

namespace {

using startuptest::FakeBoardLink;

TEST_F(BoardConnection, OpenPortWithASongMarksItForTheBoard) {
  app.SetDocument(std::make_unique<CKZ1Doc>());
  app.GetDocument()->ResetModifiedFlags();
  app.SetBoardFlag(7);
  LinkAnswers({"OK", "12"});
  ASSERT_EQ(app.OpenBoardPort(1), 1);
  EXPECT_EQ(app.GetDocument()->TestModifiedFlags(3), 3u);
  EXPECT_EQ(app.GetBoardFlag(), 7u);
}

TEST_F(BoardConnection, ResetMarksAnOpenSongForConversion) {
  app.SetDocument(std::make_unique<CKZ1Doc>());
  app.GetDocument()->ResetModifiedFlags();
  EXPECT_EQ(app.SendNativeReset(0), 1);
  EXPECT_EQ(app.GetDocument()->TestModifiedFlags(3), 2u);
}

TEST_F(BoardConnection, BoardServiceReachesTheFramesEngine) {
  AppBoardCommands board(app);
  EXPECT_TRUE(board.HasBoardDevice());
  EXPECT_EQ(board.SendBoardCommand11(5), 1);
  EXPECT_EQ(board.SendBoardCommand0D(2), 1);
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendBoardCommand11(5)", "SendBoardCommand0D(2)"}));
  app.DestroyMainFrame();
  EXPECT_FALSE(board.HasBoardDevice());
  EXPECT_EQ(board.SendBoardCommand07(1), 0);
}

}  // namespace
