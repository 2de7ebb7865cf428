// Tests of the access-log window: painting, following new lines, scrolling by lines and by
// UTF-8 characters, and the frame.
#include "views/AccessLogWnd.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QWheelEvent>

#include "SongViewHostFake.h"
#include "app/core/AccessLog.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/ScrollCodes.h"

namespace {

class AccessLogWndTest : public ::testing::Test {
 protected:
  /// A window with room for exactly `rows` lines.
  std::unique_ptr<CAccessLogWnd> Window(int rows) {
    auto w = std::make_unique<CAccessLogWnd>(log);
    w->resize(400, rows * w->LineHeight() + w->HorizontalBar()->sizeHint().height());
    w->show();
    return w;
  }
  void AddLines(int count) {
    for (int i = 0; i < count; i += 2) log.AppendAccessLogLines("Open from VELK", "/songs/song.mmf");
  }
  static bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) != QColor(Qt::white)) return false;
    return true;
  }

  platform::FakeHost fake;
  AccessLog log;
};

TEST_F(AccessLogWndTest, WithoutLinesTheWindowIsWhite) {
  auto w = Window(20);
  EXPECT_TRUE(AllWhite(w->Render()));
  AddLines(2);
  EXPECT_FALSE(AllWhite(w->Render()));
}

TEST_F(AccessLogWndTest, FortyLinesInTwentyRowsScrollTheTopToTwenty) {
  auto w = Window(20);
  ASSERT_EQ(w->VisibleRows(), 20);
  AddLines(20);
  EXPECT_EQ(w->ScrollToEnd(), 1);
  EXPECT_EQ(w->TopLine(), 0) << "twenty lines still fit";
  AddLines(20);
  EXPECT_EQ(w->ScrollToEnd(), 1);
  EXPECT_EQ(w->TopLine(), 20);
  AddLines(2);
  w->ScrollToEnd();
  EXPECT_EQ(w->TopLine(), 22) << "(42 - 20 + 1) rounded down to even";
}

TEST_F(AccessLogWndTest, VerticalStepsAreTwoLinesAndAPageAndStayInRange) {
  auto w = Window(20);
  EXPECT_EQ(w->VerticalBar()->maximum(), 480);
  w->ScrollVert(scroll::kLineDown, 0, nullptr);
  EXPECT_EQ(w->TopLine(), 2);
  w->ScrollVert(scroll::kPageDown, 0, nullptr);
  EXPECT_EQ(w->TopLine(), 22);
  w->ScrollVert(scroll::kThumbTrack, 9999, nullptr);
  EXPECT_EQ(w->TopLine(), 480);
  w->ScrollVert(scroll::kLineUp, 0, nullptr);
  EXPECT_EQ(w->TopLine(), 478);
  w->ScrollVert(scroll::kTop, 0, nullptr);
  w->ScrollVert(scroll::kLineUp, 0, nullptr);
  EXPECT_EQ(w->TopLine(), 0);
  w->VerticalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(w->TopLine(), 2) << "the bar's arrow is a line step";
}

TEST_F(AccessLogWndTest, OneStepRightStartsTheLinesAtCharacterTen) {
  auto w = Window(20);
  w->HorizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(w->FirstColumn(), 10);
  const std::string line = "0123456789abcdef";
  EXPECT_EQ(CAccessLogWnd::VisibleText(line, w->FirstColumn()), "abcdef");
  // The drawn lines are the cut ones.
  log.AppendAccessLogLines(line, "");
  auto plain = Window(20);
  AccessLog cut;
  cut.AppendAccessLogLines("abcdef", "");
  CAccessLogWnd reference(cut);
  reference.resize(plain->size());
  EXPECT_EQ(w->Render(), reference.Render());
  EXPECT_NE(plain->Render(), reference.Render());
}

TEST_F(AccessLogWndTest, ColumnsCountUtf8CharactersAndLinesStopAt256Bytes) {
  EXPECT_EQ(CAccessLogWnd::VisibleText("ab\xE6\x97\xA5\xE6\x9C\xAC" "cd", 3), QString::fromUtf8("\xE6\x9C\xAC" "cd"));
  EXPECT_EQ(CAccessLogWnd::VisibleText("short", 10), "");
  const std::string longLine = std::string(255, 'x') + "\xE6\x97\xA5" + "tail";
  EXPECT_EQ(CAccessLogWnd::VisibleText(longLine, 250), "xxxxx") << "no half character at the cut";
}

TEST_F(AccessLogWndTest, FrameFollowsTheLogAndClearsItsSlot) {
  SongViewHostFake frameHost;
  {
    CKZxAccessLogFrm frame(log, &frameHost);
    EXPECT_EQ(frameHost.frameSlots["CKZxAccessLogFrm"], &frame);
    EXPECT_EQ(frame.windowTitle(), "File Access Log Window");
    EXPECT_EQ(frame.size(), QSize(400, 300));
    AddLines(400);
    frame.ScrollToEnd();
    EXPECT_GT(frame.Pane()->TopLine(), 0);
    frame.Refresh();
  }
  EXPECT_EQ(frameHost.frameSlots["CKZxAccessLogFrm"], nullptr);
}

}  // namespace
