// The generation-3 Preference dialog's tables and OK over the application with fakes.
#include "TestPaths.h"
#include "app/core/PreferenceCommit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "StartupFakes.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"

namespace {

namespace fs = std::filesystem;
using startuptest::FakeMainFrame;
using startuptest::FakeOutputEngine;
using ::testing::Contains;
using ::testing::ElementsAre;

TEST(PreferenceTables, StatusRows) {
  using T = std::array<bool, 3>;
  EXPECT_EQ(StatusTicks(253), (T{false, true, false}));  // only "Save" (2206)
  EXPECT_EQ(StatusTicks(128), (T{true, true, true}));
  EXPECT_EQ(StatusFromTicks(T{false, false, false}), 255);
  EXPECT_EQ(StatusFromTicks(T{true, true, true}), 248);
  EXPECT_EQ(StatusFromTicks(T{false, true, false}), 253);
  EXPECT_EQ(StatusFromTicks(T{true, false, true}), 250);
}

TEST(PreferenceTables, DensityWidthBothWays) {
  const int ms[] = {100, 200, 500, 1000, 1500, 2000};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(DensWidthIndex(ms[i]), i);
    EXPECT_EQ(DensWidthMs(i), ms[i]);
  }
  EXPECT_EQ(DensWidthIndex(300), 2);  // "0.5s"
  EXPECT_EQ(DensWidthMs(-1), 500);
  EXPECT_EQ(DensWidthMs(6), 500);
}

TEST(PreferenceTables, ModeEntriesAndOutputFormats) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ModeSettingEntries(3, 2), (V{"FM16", "FM32"}));
  EXPECT_EQ(ModeSettingEntries(5, 2), (V{"FM16", "FM32", "ALL64"}));
  EXPECT_EQ(ModeSettingEntries(5, 4), (V{"FM16", "FM32"}));
  EXPECT_EQ(OutputFormatEntry(1), "MFi");
  EXPECT_EQ(OutputFormatEntry(2), "VELK");
  EXPECT_EQ(OutputFormatEntry(4), "VELK/Phrase");
  const int formats[] = {0, 4, 3, 3, 5, 3, 4, 4, 3};
  for (int p = 1; p <= 8; ++p) EXPECT_EQ(OutputFormatValue(p, 0), formats[p]) << p;
  EXPECT_EQ(OutputFormatValue(1, 1), 3);
}

class PreferenceCommitTest : public testing::Test {
 protected:
  void SetUp() override {
    host.settings.chipMode = 3;
    app.SetChipMode(3);
    app.SetMainFrameFactory([this] { return std::make_unique<FakeMainFrame>(frameLog, &engine); });
    app.CreateMainFrame();
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
  }
  int Stored(const char* key, int def = -1) const { return host.profile.GetProfileInt("Setting", key, def); }
  std::vector<int> Shown() const { return host.messages.ShownIds(); }

  platform::FakeHost host;
  FakeOutputEngine engine;
  std::shared_ptr<FakeMainFrame::Log> frameLog = std::make_shared<FakeMainFrame::Log>();
  CTrillotApp app;
};

TEST_F(PreferenceCommitTest, OkWritesAndSendsEverySetting) {
  PreferenceValues v = ReadPreferenceValues(app);
  EXPECT_EQ(v.outputType, 1);
  EXPECT_EQ(v.comPort, 1);  // "COMPort" defaults to 1 here
  v.comPort = 2;
  v.folders = {"/in", "/out", "/sound", "/voice"};
  v.copyTicks = {true, true, true};
  v.editTicks = {false, false, false};
  v.blinkLed = 3;
  v.blinkMtr = 4;
  v.reserve = 2;
  std::vector<std::pair<int, int>> rates;
  ASSERT_TRUE(CommitPreference(app, v, [&](int led, int mtr) { rates.emplace_back(led, mtr); }));
  EXPECT_EQ(Stored("OutputFormat"), 3);
  EXPECT_EQ(Stored("OutputType"), 1);
  EXPECT_EQ(Stored("COMPort"), 2);
  EXPECT_EQ(host.profile.GetProfileString("Setting", "DefDir_INPUT", ""), "/in");
  EXPECT_EQ(host.profile.GetProfileString("Setting", "DefDir_VOICE", ""), "/voice");
  EXPECT_EQ(Stored("CopyStatus"), 248);
  EXPECT_EQ(Stored("EditStatus"), 255);
  EXPECT_EQ(Stored("BlinkLED"), 3);
  EXPECT_EQ(Stored("BlinkMTR"), 4);
  EXPECT_EQ(Stored("KZ-3_StreamPCMReserve"), 2);
  EXPECT_THAT(rates, ElementsAre(std::make_pair(3, 4)));
  EXPECT_THAT(engine.calls, Contains("SendBoardParam03_06(3)"));
  EXPECT_THAT(engine.calls, Contains("SendBoardParam03_09(4)"));
  EXPECT_THAT(engine.calls, Contains("SendBoardCommand07(2)"));
  // Without a song the direct-play data is sent again next time.
  EXPECT_THAT(engine.calls, Contains("ClearSentState"));
  // An unchanged width and origins write nothing for them.
  EXPECT_EQ(Stored("DensWidth"), -1);
  EXPECT_EQ(Stored("OriginPch"), -1);
}

TEST_F(PreferenceCommitTest, StoredWidthOf300StaysUnlessChanged) {
  host.profile.WriteProfileInt("Setting", "DensWidth", 300);
  PreferenceValues v = ReadPreferenceValues(app);
  EXPECT_EQ(v.densIndex, 2);
  ASSERT_TRUE(CommitPreference(app, v));
  EXPECT_EQ(Stored("DensWidth"), 300);
  v.densIndex = 3;
  ASSERT_TRUE(CommitPreference(app, v));
  EXPECT_EQ(Stored("DensWidth"), 1000);
}

TEST_F(PreferenceCommitTest, OriginsAreTakenWhenChanged) {
  PreferenceValues v = ReadPreferenceValues(app);
  v.originPch = 1;
  v.originNote = 1;
  ASSERT_TRUE(CommitPreference(app, v));
  EXPECT_EQ(Stored("OriginPch"), 1);
  EXPECT_EQ(Stored("OriginNote"), 1);
  EXPECT_EQ(app.GetOriginPch(), 1);
  EXPECT_EQ(app.GetOriginNote(), 1);
  EXPECT_THAT(frameLog->calls, Contains("UpdateSongWindows"));
}

TEST_F(PreferenceCommitTest, ThrowingBoardLinkShows7002AndWritesNothing) {
  app.SetBoardLinkFactory([](const std::string&) -> std::unique_ptr<CBoardLink> { throw 1; });
  PreferenceValues v = ReadPreferenceValues(app);
  v.outputType = 0;  // "RS232C"
  v.folders[0] = "/changed";
  EXPECT_FALSE(CommitPreference(app, v));
  EXPECT_THAT(Shown(), ElementsAre(7002));
  EXPECT_EQ(host.profile.GetProfileString("Setting", "DefDir_INPUT", "none"), "none");
  EXPECT_EQ(Stored("OutputFormat"), -1);
}

TEST_F(PreferenceCommitTest, ModeSetting2IsSentAs5) {
  host.settings.chipMode = 5;
  app.SetChipMode(5);
  PreferenceValues v = ReadPreferenceValues(app);
  v.modeSetting = 2;
  ASSERT_TRUE(CommitPreference(app, v));
  EXPECT_EQ(Stored("KZ-3_ModeSetting"), 2);
  EXPECT_THAT(engine.calls, Contains("SendBoardCommand11(5)"));
  EXPECT_THAT(host.ui.velocityChannelModes, ElementsAre(2));
}

TEST_F(PreferenceCommitTest, MissingBankOfNewModeShows7045AndReloadsTheOldOne) {
  const fs::path dir = fs::temp_directory_path() / "trillot_pref_bank";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy_file(fs::path(TRILLOT_BIN_DIR) / "DefKZ3_16.vk3", dir / "DefKZ3_16.vk3");
  host.settings.appDir = dir.string() + "/";
  PreferenceValues v = ReadPreferenceValues(app);
  v.modeSetting = 1;
  ASSERT_TRUE(CommitPreference(app, v));
  EXPECT_THAT(Shown(), ElementsAre(7045));
  EXPECT_EQ(Stored("KZ-3_ModeSetting"), 0);
  EXPECT_NE(app.GetVoiceLibrary().GetVoiceBank().GetCount(), 0);
  // Both banks missing: the second failure throws.
  fs::remove(dir / "DefKZ3_16.vk3");
  EXPECT_ANY_THROW(CommitPreference(app, v));
  fs::remove_all(dir);
}

TEST_F(PreferenceCommitTest, StoredModeOutsideTheEntriesShowsNoSelectionAndStays) {
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
  PreferenceValues v = ReadPreferenceValues(app);
  EXPECT_EQ(v.modeSetting, -1);
  ASSERT_TRUE(CommitPreference(app, v));
  EXPECT_EQ(Stored("KZ-3_ModeSetting"), 2);
}

}  // namespace
