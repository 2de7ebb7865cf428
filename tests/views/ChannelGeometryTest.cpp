// Tests of the channel pane's geometry, the "Name" column's table and the position arithmetic.
#include "views/ChannelGeometry.h"

#include <gtest/gtest.h>

#include "song/GMNames.h"
#include "views/ChannelVoiceName.h"

namespace {

enum Code { kLineUp, kLineDown, kPageUp, kPageDown, kThumbPosition, kThumbTrack, kTop, kBottom };

TEST(ChannelGeometry, TimelineLeftFollowsChipModeAndProfile) {
  struct Case {
    int chipMode;
    int profile;
    int left;
  };
  for (const Case& c : {Case{3, 2, 540}, Case{3, 4, 590}, Case{3, 1, 570}, Case{3, 8, 540}, Case{5, 2, 540},
                        Case{2, 2, 430}, Case{1, 2, 380}}) {
    ChannelGeometry g;
    ASSERT_TRUE(g.SetChipMode(c.chipMode, c.profile));
    EXPECT_EQ(g.TimelineLeft(), c.left) << c.chipMode << "/" << c.profile;
  }
}

TEST(ChannelGeometry, ModeTwoProfileColumnSet) {
  ChannelGeometry g;
  g.SetChipMode(3, 2);
  const int widths[17] = {35, 0, 30, 30, 65, 0, 0, 35, 0, 20, 0, 40, 40, 40, 0, 205, 0};
  for (int c = 0; c < 17; ++c) EXPECT_EQ(g.Width(c), widths[c]) << c;
  EXPECT_EQ(g.Title(ChannelGeometry::kName), "Name");
  EXPECT_EQ(g.ColumnLeft(ChannelGeometry::kVS), 35);
  EXPECT_EQ(g.ColumnLeft(0), 0);
  EXPECT_EQ(g.ColumnLeft(17), 0);
}

TEST(ChannelGeometry, OtherChipModesChangeNothing) {
  ChannelGeometry g;
  g.SetChipMode(1, 2);
  EXPECT_FALSE(g.SetChipMode(4, 2));
  EXPECT_EQ(g.ChipMode(), 1);
  EXPECT_EQ(g.TimelineLeft(), 380);
}

class ChannelGeometryHit : public ::testing::Test {
 protected:
  ChannelGeometryHit() {
    g.SetChipMode(3, 2);
    g.Resize(800, 450, 16);
  }
  ChannelGeometry g;
};

TEST_F(ChannelGeometryHit, ColumnsRowsAndEdges) {
  int row = -5;
  EXPECT_EQ(g.HitTest(36, 50, row), 2);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(g.HitTest(540, 50, row), ChannelGeometry::kTimelineHit);
  EXPECT_EQ(g.HitTest(36, 64, row), -1);  // the line between rows 1 and 2
  EXPECT_EQ(g.HitTest(36, 23, row), -1);
  EXPECT_EQ(g.HitTest(g.DrawingArea().Right(), 50, row), -1);
  EXPECT_EQ(g.HitTest(36, g.DrawingArea().Bottom(), row), -1);
  EXPECT_EQ(g.HitTest(36, 30, row), 2);
  EXPECT_EQ(row, 0);  // the header
  EXPECT_EQ(g.HitTest(36, 44 + 20 * 3 + 5, row), 2);
  EXPECT_EQ(row, 4);
}

TEST_F(ChannelGeometryHit, RowsCountFromTheVerticalPosition) {
  g.VScroll(kThumbPosition, 5);
  int row = 0;
  g.HitTest(36, 50, row);
  EXPECT_EQ(row, 5);
}

TEST_F(ChannelGeometryHit, HorizontalScrollClamps) {
  g.SetHPos(3999);
  g.HScroll(kPageDown, 0);
  EXPECT_EQ(g.HPos(), 4000);
  g.SetHPos(2);
  g.HScroll(kPageUp, 0);
  EXPECT_EQ(g.HPos(), 0);
  g.HScroll(kLineUp, 0);
  EXPECT_EQ(g.HPos(), 0);
  g.SetHPos(4000);
  g.HScroll(kLineDown, 0);
  EXPECT_EQ(g.HPos(), 4000);
  g.HScroll(kThumbTrack, 99999);
  EXPECT_EQ(g.HPos(), ChannelGeometry::kMaxHPos);
  g.HScroll(kThumbPosition, -3);
  EXPECT_EQ(g.HPos(), 0);
  g.HScroll(kBottom, 0);
  EXPECT_EQ(g.HPos(), 4000);
}

TEST_F(ChannelGeometryHit, VerticalRangeByChipMode) {
  g.VScroll(kBottom, 0);
  EXPECT_EQ(g.VPos(), 17);
  g.VScroll(kLineDown, 0);
  EXPECT_EQ(g.VPos(), 17);
  g.VScroll(kTop, 0);
  EXPECT_EQ(g.VPos(), 1);
  g.VScroll(kPageUp, 0);
  EXPECT_EQ(g.VPos(), 1);
  g.Wheel(-120, 30);
  EXPECT_EQ(g.VPos(), 17);
  g.Wheel(120, 3);
  EXPECT_EQ(g.VPos(), 14);
  g.SetChipMode(1, 2);
  EXPECT_EQ(g.LastRow(), 4);
  EXPECT_EQ(g.VPos(), 4);
  g.VScroll(kThumbTrack, 100);
  EXPECT_EQ(g.VPos(), 4);
}

TEST_F(ChannelGeometryHit, PagesFromTheDrawingArea) {
  // 800 - 16 wide, 450 - 16 - 24 high.
  EXPECT_EQ(g.HPage(), (784 - 540) / 50);
  EXPECT_EQ(g.VPage(), (410 - 20) / 20);
  g.Resize(600, 24 + 16 + 19, 16);
  EXPECT_EQ(g.VPage(), 0);
}

TEST_F(ChannelGeometryHit, TickToPixelIs64Bit) {
  EXPECT_EQ(g.XOfTick(1000), 540 + 250);
  g.SetHPos(5);
  EXPECT_EQ(g.XOfTick(1000), 540);
  EXPECT_EQ(g.XOfTick(0xFFFFFFFFull), 540 + static_cast<int64_t>(0xFFFFFFFFull / 4) - 250);
}

TEST_F(ChannelGeometryHit, FollowPositionOnlyOutsideTheWindow) {
  EXPECT_EQ(g.FollowPosition(100), -1);
  EXPECT_EQ(g.FollowPosition(4 * 2000), 2000 / 50);
  g.SetHPos(10);
  EXPECT_EQ(g.FollowPosition(0), 0);
}

TEST(ChannelGeometry, FrameHeightCapByRows) {
  EXPECT_EQ(ChannelGeometry::FrameHeight(3, 18, 16, 4), 17 * 20 + 44 + 18 + 16 + 8 + 5);
  EXPECT_EQ(ChannelGeometry::FrameHeight(1, 18, 16, 4), 4 * 20 + 44 + 18 + 16 + 8 + 5);
  EXPECT_EQ(ChannelGeometry::FrameHeight(4, 18, 16, 4), 44 + 18 + 16 + 8 + 5);
}

TEST(ChannelGeometry, PositionArithmetic) {
  EXPECT_EQ(TickOfPosition(1, 1, 0), 0u);
  EXPECT_EQ(TickOfPosition(1, 5, 23), 119u);
  EXPECT_EQ(TickOfPosition(2, 1, 0), 120u);
  EXPECT_EQ(TickOfPosition(999, 5, 23), 119879u);
}

TEST(ChannelVoiceName, BankZeroByChannel) {
  ChannelVoiceNameInput in;
  in.bankMsb = 0;
  in.program = 5;
  in.channel = 9;
  EXPECT_EQ(ChannelVoiceName(in), "Drum F2/PCM");
  in.channel = 8;
  EXPECT_EQ(ChannelVoiceName(in), GetGMProgramName(0, 0, 5));
  EXPECT_EQ(ChannelVoiceName(in), "E.Piano2");
}

TEST(ChannelVoiceName, ChannelTenOnDoCoMoProfiles) {
  struct Case {
    int maker;
    int setting;
    const char* name;
  };
  for (const Case& c : {Case{1, 0, "Drum F4/PCM"}, Case{2, 0, "Drum F4/PCM"}, Case{1, 2, "Drum F2/PCM"},
                        Case{4, 0, "Drum F2/PCM"}, Case{3, 0, ""}, Case{1, 3, ""}}) {
    ChannelVoiceNameInput in;
    in.channel = 9;
    in.outputProfile = 7;
    in.makerId = c.maker;
    in.modeSetting = c.setting;
    EXPECT_EQ(ChannelVoiceName(in), c.name) << c.maker << "/" << c.setting;
  }
}

TEST(ChannelVoiceName, DrumKitTable) {
  struct Case {
    int program;
    int chipMode;
    int profile;
    int maker;
    int setting;
    const char* name;
  };
  for (const Case& c : {Case{10, 3, 2, 1, 0, "Drum F2/PCM"}, Case{10, 3, 1, 1, 0, "Drum F4/PCM"},
                        Case{10, 3, 1, 4, 0, "Drum F2/PCM"}, Case{9, 3, 4, 1, 0, "Drum User9"},
                        Case{0, 3, 4, 1, 0, "Drum F4"},      Case{10, 3, 4, 1, 0, "Drum F2"},
                        Case{0, 5, 4, 1, 0, "Drum F4/PCM"},  Case{9, 5, 6, 1, 0, "Drum User8"},
                        Case{1, 3, 2, 1, 1, "Drum F2"},      Case{2, 3, 2, 1, 2, "Drum User1"},
                        Case{0, 3, 6, 1, 2, "Drum F2"},      Case{1, 5, 4, 1, 1, "Drum F2"},
                        Case{11, 3, 2, 1, 0, ""},            Case{3, 3, 2, 1, 3, ""}}) {
    ChannelVoiceNameInput in;
    in.bankMsb = 125;
    in.program = c.program;
    in.chipMode = c.chipMode;
    in.outputProfile = c.profile;
    in.makerId = c.maker;
    in.modeSetting = c.setting;
    EXPECT_EQ(ChannelVoiceName(in), c.name) << c.program << " " << c.chipMode << " " << c.profile << " " << c.setting;
  }
}

TEST(ChannelVoiceName, OtherBanksShowTheVoiceItemsName) {
  ChannelVoiceNameInput in;
  in.bankMsb = 124;
  in.itemName = "My Piano";
  EXPECT_EQ(ChannelVoiceName(in), "My Piano");
}

}  // namespace
