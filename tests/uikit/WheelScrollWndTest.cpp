// Tests of the wheel rule and the scroll-bar pass-through of wheel-scrolled panes.
#include "uikit/WheelScrollWnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include "uikit/ScrollCodes.h"

namespace {

class Pane : public CWheelScrollWnd {
 public:
  struct Call {
    int code, pos;
    QScrollBar* bar;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;
  void ScrollVert(int code, int pos, QScrollBar* bar) override { calls.push_back({code, pos, bar}); }
};

void Wheel(QWidget& w, int delta) {
  QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(&w, &e);
}

struct WheelFixture : ::testing::Test {
  Pane pane;
  QScrollBar bar{Qt::Vertical};
  int savedLines = QApplication::wheelScrollLines();
  WheelFixture() {
    QApplication::setWheelScrollLines(3);
    bar.setRange(0, 100);
    bar.setValue(10);
  }
  ~WheelFixture() override { QApplication::setWheelScrollLines(savedLines); }
};

TEST_F(WheelFixture, TurnTowardTheUserScrollsDownAwayUpByTheLinesSetting) {
  pane.SetVerticalBar(&bar);
  Wheel(pane, -120);
  Wheel(pane, 0);
  Wheel(pane, 120);
  Wheel(pane, 240);  // no further than one notch
  EXPECT_EQ(pane.calls, (std::vector<Pane::Call>{{scroll::kThumbTrack, 13, nullptr},
                                                 {scroll::kThumbTrack, 13, nullptr},
                                                 {scroll::kThumbTrack, 7, nullptr},
                                                 {scroll::kThumbTrack, 7, nullptr}}));
}

TEST_F(WheelFixture, BarActionsPassThroughWithTheirCodes) {
  pane.SetVerticalBar(&bar, false);
  bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar.triggerAction(QAbstractSlider::SliderPageStepSub);
  bar.triggerAction(QAbstractSlider::SliderToMinimum);
  ASSERT_EQ(pane.calls.size(), 3u);
  EXPECT_EQ(pane.calls[0].code, scroll::kLineDown);
  EXPECT_EQ(pane.calls[1].code, scroll::kPageUp);
  EXPECT_EQ(pane.calls[2].code, scroll::kTop);
  EXPECT_EQ(pane.calls[0].bar, &bar);
}

TEST(ScrollCodes, SliderActionsMapToTheScrollCodes) {
  EXPECT_EQ(scroll::CodeOfAction(QAbstractSlider::SliderSingleStepSub), scroll::kLineUp);
  EXPECT_EQ(scroll::CodeOfAction(QAbstractSlider::SliderPageStepAdd), scroll::kPageDown);
  EXPECT_EQ(scroll::CodeOfAction(QAbstractSlider::SliderToMaximum), scroll::kBottom);
  EXPECT_EQ(scroll::CodeOfAction(QAbstractSlider::SliderMove), scroll::kThumbTrack);
  EXPECT_EQ(scroll::CodeOfAction(QAbstractSlider::SliderNoAction), scroll::kEndScroll);
}

}  // namespace
