// The About box's rows, the start-up picture's modes and the Help commands, without windows.
#include "app/core/AboutBoxRows.h"

#include <gtest/gtest.h>

#include "StartupFakes.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"

namespace {

std::vector<std::string> Names(int chip, int profile, int maker) {
  std::vector<std::string> names;
  for (const AboutPluginRow& row : AboutPluginRows(chip, profile, maker)) names.push_back(row.fileName);
  return names;
}

TEST(AboutPluginRows, ByChipModeProfileAndMaker) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Names(3, 2, 1), (V{"Midigate.DLL", "Velkgate.DLL", "Polyscan.DLL"}));
  EXPECT_EQ(Names(3, 1, 1), (V{"Midigate.DLL", "Imelgate.DLL", "Polyscan.DLL"}));
  EXPECT_EQ(Names(3, 1, 2), (V{"Midigate.DLL", "Imelgate_N.DLL", "Polyscan.DLL"}));
  EXPECT_EQ(Names(3, 1, 4), (V{"Midigate.DLL", "Imelgate_S.DLL", "Polyscan.DLL"}));
  EXPECT_EQ(Names(3, 1, 3), (V{"Midigate.DLL", "Polyscan.DLL"}));
  EXPECT_EQ(Names(3, 4, 1), (V{"Midigate.DLL", "Phrasegate.DLL"}));
  EXPECT_EQ(Names(3, 6, 1), (V{"Midigate.DLL", "Imelphrasegate.DLL"}));
  EXPECT_EQ(Names(3, 6, 2), (V{"Midigate.DLL", "Imelphrasegate_N.DLL"}));
  EXPECT_EQ(Names(3, 6, 4), (V{"Midigate.DLL", "Imelphrasegate_SO.DLL"}));
  EXPECT_EQ(Names(3, 7, 4), (V{"Midigate.DLL", "Imelgate_S.DLL", "Polyscan.DLL"}));
  EXPECT_EQ(Names(5, 2, 1), (V{"Polyscan5.dll"}));
  EXPECT_EQ(Names(5, 4, 1), V{});
  EXPECT_EQ(Names(1, 2, 1), V{});
  EXPECT_EQ(AboutPluginRows(3, 2, 1)[1].kind, 8);
  EXPECT_EQ(AboutPluginRows(3, 2, 1)[2].kind, 19);
}

TEST(AboutPluginRows, ProfileNames) {
  const char* names[] = {"",       "DoCoMo",     "KORVAN",          "Vodafone", "VELK/Phrase",
                         "for Developer", "MFi/Phrase", "DoCoMo for Developer", "KDDI", ""};
  for (int p = 0; p <= 9; ++p) EXPECT_EQ(OutputProfileName(p), names[p]) << p;
}

TEST(SplashPictureOfMode, PicturesTimesAndModes) {
  const int bitmaps[] = {1229, 2127, 2128, 2523, 2524, 2543, 2544};
  const int times[] = {1500, 1500, 1500, 1500, 1500, 2000, 3000};
  for (int m = 0; m <= 6; ++m) {
    EXPECT_EQ(SplashPictureOfMode(m).bitmap, bitmaps[m]) << m;
    EXPECT_EQ(SplashPictureOfMode(m).milliseconds, times[m]) << m;
  }
  EXPECT_EQ(SplashPictureOfMode(7).bitmap, 0);
  EXPECT_EQ(SplashModeOf(1, 2), 0);
  EXPECT_EQ(SplashModeOf(2, 5), 0);
  EXPECT_EQ(SplashModeOf(3, 2), 5);
  EXPECT_EQ(SplashModeOf(3, 5), 2);
  EXPECT_EQ(SplashModeOf(5, 5), 4);
  EXPECT_EQ(SplashModeOf(5, 7), 4);
  EXPECT_EQ(SplashModeOf(5, 2), 3);
}

struct PlayingEngine : startuptest::FakeOutputEngine {
  bool playing = false;
  bool IsPlaying() const override { return playing; }
};

TEST(CTrillotAppHelp, AboutDuringPlayIsDisabledAndTheWebPagesOpen) {
  CTrillotApp app;
  EXPECT_TRUE(app.OnUpdateByMode()) << "no main frame: nothing plays";
  auto log = std::make_shared<startuptest::FakeMainFrame::Log>();
  PlayingEngine engine;
  app.SetMainFrameFactory([&] { return std::make_unique<startuptest::FakeMainFrame>(log, &engine); });
  app.CreateMainFrame();
  EXPECT_TRUE(app.OnUpdateByMode());
  engine.playing = true;
  EXPECT_FALSE(app.OnUpdateByMode());

  int shown = 0;
  app.SetAboutBox([&] { ++shown; });
  log->calls.clear();
  app.OnAppAbout();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(log->calls, std::vector<std::string>{"UpdateStatusPanes"});

  std::vector<std::string> opened;
  app.SetUrlOpener([&](const std::string& url) { opened.push_back(url); });
  app.OnWebJapanese();
  app.OnWebGlobal();
  app.OnWebKorean();
  app.OnWebChinese();
  const std::string host = MakerWebAddress("");
  EXPECT_FALSE(host.empty());
  EXPECT_EQ(opened, (std::vector<std::string>{host + "/jp/", host + "/", host + "/kr/", host + "/cn/"}));
}

}  // namespace
