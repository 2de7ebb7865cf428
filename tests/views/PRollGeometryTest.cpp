// Tests of the piano roll's geometry: layout, time and key mappings, scrolling and zoom.
#include "views/PRollGeometry.h"

#include <gtest/gtest.h>

#include "uikit/ScrollCodes.h"

namespace {

TEST(PRollGeometry, LaysOutTheChildrenForAPaneSize) {
  const PRollGeometry g(600, 400, 16);
  EXPECT_EQ(g.TabStrip(), (PRollRect{0, 0, 460, 24}));
  EXPECT_EQ(g.Button(2096), (PRollRect{484, 1, 24, 18}));
  EXPECT_EQ(g.Button(2097), (PRollRect{512, 1, 24, 18}));
  EXPECT_EQ(g.Button(2094), (PRollRect{544, 1, 24, 18}));
  EXPECT_EQ(g.Button(2095), (PRollRect{572, 1, 24, 18}));
  EXPECT_EQ(g.HBar(), (PRollRect{0, 384, 600, 16}));
  EXPECT_EQ(g.VBar(), (PRollRect{584, 24, 16, 320}));
  EXPECT_EQ(g.Grid(), (PRollRect{0, 24, 584, 320}));
  EXPECT_EQ(g.Strip(), (PRollRect{0, 344, 584, 40}));
  EXPECT_EQ(g.HPage(), 584 / 50);
  EXPECT_EQ(g.VPage(), (320 - 20) / 20);
}

TEST(PRollGeometry, NoteBarRunsFromItsTickToItsEnd) {
  PRollGeometry g(600, 400, 16);
  g.SetVPos(60);  // top key 67
  PRollRect bar;
  ASSERT_TRUE(g.NoteBar(200, 400, 60, bar));  // end tick 599
  EXPECT_EQ(bar.left, 146);
  EXPECT_EQ(bar.Right(), 246);
  EXPECT_EQ(bar.top, 48 + (127 - 60 - 60) * 20);
  EXPECT_EQ(bar.height, 13);
  // Cut at the grid's right edge, and not drawn once it starts at the window's end.
  ASSERT_TRUE(g.NoteBar(1000, 100000, 60, bar));
  EXPECT_EQ(bar.Right(), g.Grid().Right());
  EXPECT_FALSE(g.NoteBar(g.WindowEnd(), 10, 60, bar));
  EXPECT_FALSE(g.NoteBar(0, 10, 68, bar));  // above the top row
}

TEST(PRollGeometry, ResizeBringsKey72ToTheTop) {
  PRollGeometry g(600, 400, 16);
  g.VScroll(scroll::kThumbPosition, 3);
  g.Resize(700, 500, 16);
  EXPECT_EQ(g.VPos(), 55);
  EXPECT_EQ(g.TopKey(), 72);
}

TEST(PRollGeometry, ZoomAndRowCommandsStopAtTheirLimits) {
  struct Case {
    int id;
    int repeat;
    int px;
    int row;
    bool lastRepaints;
  };
  const Case cases[] = {
      {2096, 16, 200, 20, true},   // ZoomIn stops at 200, still repaints
      {2097, 5, 10, 20, true},     // ZoomOut stops at 10, still repaints
      {2094, 6, 50, 10, false},    // N stops at 10 without a repaint
      {2095, 3, 50, 24, false},    // W stops at 24 without a repaint
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    PRollGeometry g(600, 400, 16);
    bool repaint = false;
    for (int i = 0; i < c.repeat; ++i) repaint = g.Command(c.id);
    EXPECT_EQ(g.PixelsPerUnit(), c.px);
    EXPECT_EQ(g.RowHeight(), c.row);
    EXPECT_EQ(repaint, c.lastRepaints);
    EXPECT_EQ(g.VPage(), (g.GridHeight() - 20) / g.RowHeight());
  }
}

TEST(PRollGeometry, ScrollCodesKeepThePositionInTheBarsRange) {
  struct Case {
    bool horizontal;
    int start;
    int code;
    int thumb;
    int expected;
  };
  const Case cases[] = {
      {true, 0, scroll::kLineUp, 0, 0},        {true, 3999, scroll::kLineDown, 0, 4000},
      {true, 4000, scroll::kLineDown, 0, 4000}, {true, 4, scroll::kPageUp, 0, 0},
      {true, 3996, scroll::kPageDown, 0, 4000}, {true, 10, scroll::kPageDown, 0, 15},
      {true, 10, scroll::kThumbTrack, 9999, 4001}, {true, 10, scroll::kThumbPosition, -5, 0},
      {true, 10, scroll::kBottom, 0, 4000},     {true, 10, scroll::kEndScroll, 0, 10},
      {false, 126, scroll::kLineDown, 0, 127},  {false, 127, scroll::kLineDown, 0, 127},
      {false, 11, scroll::kPageUp, 0, 0},       {false, 116, scroll::kPageDown, 0, 127},
      {false, 20, scroll::kPageUp, 0, 8},       {false, 5, scroll::kThumbPosition, 300, 128},
      {false, 5, scroll::kBottom, 0, 127},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.horizontal << " " << c.start << " " << c.code);
    PRollGeometry g(600, 400, 16);
    if (c.horizontal) {
      g.SetHPos(c.start);
      g.HScroll(c.code, c.thumb);
      EXPECT_EQ(g.HPos(), c.expected);
    } else {
      g.SetVPos(c.start);
      g.VScroll(c.code, c.thumb);
      EXPECT_EQ(g.VPos(), c.expected);
    }
  }
  PRollGeometry g(600, 400, 16);
  g.SetVPos(126);
  g.Wheel(-120, 3);
  EXPECT_EQ(g.VPos(), 128);
  g.Wheel(120, 300);
  EXPECT_EQ(g.VPos(), 0);
}

TEST(PRollGeometry, PositionPastTheRightEdgeJumpsNextToTheKeys) {
  PRollGeometry g(600, 400, 16);  // 50 pixels a unit, 488 pixels of time shown
  EXPECT_EQ(g.FollowPosition(100), -1);
  const uint32_t tick = 2000 * 200 / 50 + 7;  // x 2001: past 0 + 584 - 96
  const int p = g.FollowPosition(tick);
  ASSERT_GE(p, 0);
  g.SetHPos(p);
  const int x = g.XOfTick(tick);
  EXPECT_GE(x, 96);
  EXPECT_LT(x, 96 + 50);
  EXPECT_EQ(g.FollowPosition(tick), -1);
}

TEST(PRollGeometry, ColumnsStopAtUnit4000) {
  PRollGeometry g(600, 400, 16);
  EXPECT_EQ(g.ColumnCount(), (584 - 96) / 50 + 1);
  g.SetHPos(3998);
  EXPECT_EQ(g.ColumnCount(), 3);
  EXPECT_EQ(g.WindowEnd(), 4001u * 200);
  g.SetVPos(128);
  EXPECT_EQ(g.RowCount(), 0);
}

}  // namespace
