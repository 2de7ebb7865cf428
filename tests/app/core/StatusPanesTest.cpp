// Tests of what the status panes and the report bar show and when they blink.
#include "app/core/StatusPanes.h"

#include <gtest/gtest.h>

#include "app/core/MainFrameTables.h"

namespace {

using namespace mainframe;

SongFigures Song(uint32_t average, uint32_t maximum, bool error = false) {
  SongFigures f;
  f.hasSong = true;
  f.lengthText = "1500(1500)";
  f.streamRate = 0xFFFFFFFFu;
  f.densityValid = true;
  f.densityError = error;
  f.average = average;
  f.maximum = maximum;
  f.maxTime = 250;
  return f;
}

TEST(StatusPanes, DensityLimitsBlinkOnlyAboveThemAndUnderTheirProfiles) {
  struct Case {
    const char* name;
    uint32_t average, maximum;
    int profile;
    bool adBlinks, mdBlinks;
  };
  const Case cases[] = {{"at the limits", 500, 1000, 2, false, false},
                        {"one above", 501, 1001, 2, true, true},
                        {"profile 4 never", 900, 2000, 4, false, false},
                        {"profile 6 never", 900, 2000, 6, false, false},
                        {"profile 1", 501, 999, 1, true, false},
                        {"profile 8", 10, 1500, 8, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AverageBlinks(Song(c.average, c.maximum), c.profile), c.adBlinks);
    EXPECT_EQ(MaximumBlinks(Song(c.average, c.maximum), c.profile), c.mdBlinks);
  }
}

TEST(StatusPanes, DensityErrorShowsErrorAndStopsBlinking) {
  const SongFigures f = Song(900, 2000, true);
  for (int pane : {kPaneAD, kPaneMD, kPaneMDP}) EXPECT_EQ(PaneText(pane, f, 0), "Error") << pane;
  EXPECT_FALSE(AverageBlinks(f, 2));
  EXPECT_FALSE(MaximumBlinks(f, 2));
}

TEST(StatusPanes, TextsWithAndWithoutASong) {
  const SongFigures none;
  const std::pair<int, const char*> labels[] = {{kPaneTL, "TL[ms]:"}, {kPaneSTM, "STM[B/s]:"}, {kPaneAD, "AD[B/s]:"},
                                                {kPaneMD, "MD[B/s]:"}, {kPaneMDP, "MDP[ms]:"}, {kPaneSZ, "SZ[B]:"}};
  for (auto [pane, label] : labels) EXPECT_EQ(PaneText(pane, none, 0), label) << pane;
  // Mode shows the voice mode, song or not.
  EXPECT_EQ(PaneText(kPaneMode, none, 0), "FM16");
  EXPECT_EQ(PaneText(kPaneMode, none, 1), "FM32");
  EXPECT_EQ(PaneText(kPaneMode, none, 2), "ALL64");
  EXPECT_EQ(PaneText(kPaneMode, none, 7), "");

  SongFigures f = Song(320, 640);
  f.streamRate = 4000;
  f.dataSize = 1234;
  EXPECT_EQ(PaneText(kPaneTL, f, 0), "TL[ms]:1500(1500)");
  EXPECT_EQ(PaneText(kPaneSTM, f, 0), "STM[B/s]:4000");
  EXPECT_EQ(PaneText(kPaneAD, f, 0), "AD[B/s]:320");
  EXPECT_EQ(PaneText(kPaneMD, f, 0), "MD[B/s]:640");
  EXPECT_EQ(PaneText(kPaneMDP, f, 0), "MDP[ms]:250");
  EXPECT_EQ(PaneText(kPaneSZ, f, 0), "SZ[B]:1234");
  f.streamRate = 0xFFFFFFFFu;
  f.dataSize = 0;
  f.densityValid = false;
  EXPECT_EQ(PaneText(kPaneSTM, f, 0), "STM[B/s]:");
  EXPECT_EQ(PaneText(kPaneSZ, f, 0), "SZ[B]:");
  EXPECT_EQ(PaneText(kPaneAD, f, 0), "AD[B/s]:");
  EXPECT_FALSE(AverageBlinks(f, 2));
}

TEST(StatusPanes, ReportBarLinesAndItsLimit) {
  SongFigures f = Song(0, 0);
  f.ramSize = 8176;
  f.ramSize2 = 77;
  ReportBarState s = ReportBarOf(f, 2, 1);
  EXPECT_EQ(s.line1, "RS[B]:8176");
  EXPECT_FALSE(s.blinks);
  EXPECT_FALSE(s.secondLine);
  f.ramSize = 8177;
  EXPECT_TRUE(ReportBarOf(f, 2, 1).blinks);
  s = ReportBarOf(f, 1, 4);
  EXPECT_TRUE(s.secondLine);
  EXPECT_EQ(s.line2, "RS(for Java)[B]:77");
  EXPECT_FALSE(ReportBarOf(f, 7, 3).secondLine);
  EXPECT_TRUE(ReportBarOf(f, 7, 4).secondLine);
  const ReportBarState none = ReportBarOf(SongFigures{}, 1, 4);
  EXPECT_EQ(none.line1, "RS[B]:");
  EXPECT_EQ(none.line2, "RS(for Java)[B]:");
  EXPECT_FALSE(none.blinks);
}

}  // namespace
