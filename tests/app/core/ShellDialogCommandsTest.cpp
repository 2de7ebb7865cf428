// The commands that run the shell's dialogs, over the application's dialog hooks and fakes.
#include "TestPaths.h"
#include "app/core/ShellDialogCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "StartupFakes.h"
#include "app/core/FileChooser.h"
#include "app/CnvParam.h"
#include "app/core/AboutBoxRows.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using startuptest::FakeMainFrame;
using startuptest::FakeOutputEngine;
using ::testing::Contains;
using ::testing::ElementsAre;

class ShellDialogCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    app.SetChipMode(3);
    app.SetMainFrameFactory([this] { return std::make_unique<FakeMainFrame>(frameLog, &engine); });
    app.CreateMainFrame();
    app.SetProcessExit([this](int code) { exits.push_back(code); });
  }

  platform::FakeHost host;
  FakeOutputEngine engine;
  std::shared_ptr<FakeMainFrame::Log> frameLog = std::make_shared<FakeMainFrame::Log>();
  std::vector<int> exits;
  CTrillotApp app;
  ShellDialogCommands commands{app};
};

TEST_F(ShellDialogCommandsTest, AboutAndPreferenceAreDisabledDuringPlay) {
  EXPECT_TRUE(commands.Enabled(ShellDialogCommands::kAbout));
  EXPECT_TRUE(commands.Enabled(ShellDialogCommands::kPreference));
  engine.playing = true;
  EXPECT_FALSE(commands.Enabled(ShellDialogCommands::kAbout));
  EXPECT_FALSE(commands.Enabled(ShellDialogCommands::kPreference));
  EXPECT_TRUE(commands.Enabled(ShellDialogCommands::kWebGlobal));
}

TEST_F(ShellDialogCommandsTest, WebCommandsOpenTheFourAddresses) {
  std::vector<std::string> opened;
  app.SetUrlOpener([&](const std::string& url) { opened.push_back(url); });
  for (int id : {40977, 40979, 40991, 40992}) EXPECT_TRUE(commands.Run(id));
  EXPECT_THAT(opened, ElementsAre(MakerWebAddress("/jp/"), MakerWebAddress("/"), MakerWebAddress("/kr/"),
                                  MakerWebAddress("/cn/")));
  EXPECT_FALSE(commands.Run(32770));
  EXPECT_FALSE(commands.Handles(32770));
}

TEST_F(ShellDialogCommandsTest, PreferenceOkRefreshesPanesAndReportBar) {
  int runs = 0;
  CTrillotApp::ShellDialogs dialogs;
  dialogs.preference = [&] { return ++runs; };
  app.SetShellDialogs(dialogs);
  EXPECT_TRUE(commands.Run(ShellDialogCommands::kPreference));
  EXPECT_EQ(runs, 1);
  EXPECT_THAT(frameLog->calls, Contains("UpdateStatusPanes"));
  EXPECT_THAT(frameLog->calls, Contains("UpdateReportBar"));
}

TEST_F(ShellDialogCommandsTest, PreferenceAsksFirstOnlyWhenVoicesWereEdited) {
  int runs = 0;
  CTrillotApp::ShellDialogs dialogs;
  dialogs.preference = [&] {
    ++runs;
    return 0;
  };
  app.SetShellDialogs(dialogs);
  ScriptedFileChooser chooser;
  app.SetFileChooser(&chooser);
  commands.Run(ShellDialogCommands::kPreference);
  EXPECT_TRUE(host.messages.ShownIds().empty());
  app.GetVoiceLibrary().SetModified(1);
  host.messages.answers = {7};  // No: straight to the dialog
  commands.Run(ShellDialogCommands::kPreference);
  EXPECT_TRUE(chooser.Requests().empty());
  host.messages.answers = {6};  // Yes: the voices are saved first
  commands.Run(ShellDialogCommands::kPreference);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7097, 7097));
  ASSERT_EQ(chooser.Requests().size(), 1u);
  EXPECT_FALSE(chooser.Requests()[0].open);
  EXPECT_EQ(chooser.Requests()[0].defaultExtension, "vk3");
  EXPECT_EQ(runs, 3);
}

TEST_F(ShellDialogCommandsTest, ExceptionOutOfPreferenceShows7081AndExitsWith2) {
  CTrillotApp::ShellDialogs dialogs;
  dialogs.preference = []() -> int { throw 7045; };
  app.SetShellDialogs(dialogs);
  commands.Run(ShellDialogCommands::kPreference);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7081));
  EXPECT_THAT(exits, ElementsAre(2));
}

TEST_F(ShellDialogCommandsTest, PolyscanByProfileAndByChecker) {
  int checks = 0;
  CTrillotApp::ShellDialogs dialogs;
  dialogs.polyscan = [&] { return ++checks; };
  app.SetShellDialogs(dialogs);
  EXPECT_FALSE(commands.Enabled(ShellDialogCommands::kPolyscan));
  host.binder.plugins[19].to = [](CnvParam&) -> uint32_t { return 0; };
  EXPECT_TRUE(commands.Enabled(ShellDialogCommands::kPolyscan));
  commands.Run(ShellDialogCommands::kPolyscan);
  EXPECT_EQ(checks, 1);
  app.SetOutputProfile(4);
  commands.Run(ShellDialogCommands::kPolyscan);
  EXPECT_EQ(checks, 1);
}

TEST_F(ShellDialogCommandsTest, InformationDialogByProfile) {
  std::vector<bool> asked;
  CTrillotApp::ShellDialogs dialogs;
  dialogs.information = [&](bool mfi) {
    asked.push_back(mfi);
    return 1;
  };
  app.SetShellDialogs(dialogs);
  for (int profile : {1, 2, 5, 6, 7, 8}) {
    app.SetOutputProfile(profile);
    app.RunInformationDialog();
  }
  EXPECT_THAT(asked, ElementsAre(true, false, false, true, true, false));
  EXPECT_EQ(CTrillotApp().RunPreferenceDialog(), 0);
}

using ShellDialogCommandsDeathTest = ShellDialogCommandsTest;

TEST_F(ShellDialogCommandsDeathTest, ExceptionOutOfPreferenceEndsTheProcessWithStatusTwo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CTrillotApp ending;
        CTrillotApp::ShellDialogs dialogs;
        dialogs.preference = []() -> int { throw std::runtime_error("default voices"); };
        ending.SetShellDialogs(dialogs);
        ShellDialogCommands(ending).Run(ShellDialogCommands::kPreference);
        std::exit(0);
      },
      ::testing::ExitedWithCode(2), "");
}

TEST(TrillotAppOption, PolyscanItemFollowsTheCheckerBesideTheProgram) {
  platform::FakeHost host;
  char pattern[] = "/tmp/trillot-noplugins-XXXXXX";
  const std::string empty = std::string(::mkdtemp(pattern)) + "/";
  host.settings.appDir = empty;
  CTrillotApp app;
  EXPECT_FALSE(app.OnUpdateOptionVoiceCheck());
  host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
  EXPECT_TRUE(app.OnUpdateOptionVoiceCheck());
  std::filesystem::remove_all(empty);
}

}  // namespace
