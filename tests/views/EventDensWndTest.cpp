// Tests of the event-density window: samples and bars, the limit band, markers, the measure
// axis on odd songs, the refresh rule and the frame.
#include "views/EventDensWnd.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using viewtest::AddEvent;

const QColor kPink(255, 225, 225);
const QColor kBlue(0, 0, 255);

class EventDensWndTest : public ::testing::Test {
 protected:
  EventDensWndTest() {
    fake.settings.chipMode = 3;
    doc = std::make_unique<CKZ1Doc>();
    host.doc = doc.get();
  }
  /// Density points {time, rate} over a graph length.
  void SetDensity(std::vector<CMsgKey> points, uint32_t length = 20000) {
    doc->SetDensityInfo(1, 0, 0, 0, length, points);
  }
  /// A pane whose client area is 440 x 300 (graph area 400 x 270).
  std::unique_ptr<CEventDensWnd> Pane() {
    auto pane = std::make_unique<CEventDensWnd>(host);
    pane->resize(440 + pane->ZoomBar()->sizeHint().width(), 300 + pane->TimeBar()->sizeHint().height());
    pane->show();
    return pane;
  }
  static QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(EventDensWndTest, EmptySongLeavesTheBarsUntouched) {
  const QScrollBar fresh;
  auto pane = Pane();
  EXPECT_TRUE(pane->Samples().empty());
  for (QScrollBar* bar : {pane->ZoomBar(), pane->TimeBar()}) {
    EXPECT_EQ(bar->minimum(), fresh.minimum());
    EXPECT_EQ(bar->maximum(), fresh.maximum());
    EXPECT_EQ(bar->value(), fresh.value());
    EXPECT_EQ(bar->pageStep(), fresh.pageStep());
  }
  EXPECT_EQ(pane->Flag(), 1);
  const QImage image = pane->Render();
  EXPECT_EQ(image.size(), QSize(440, 300));
  EXPECT_EQ(At(image, 100, 108), QColor(Qt::white)) << "between the grid lines of 1000 and 1100";
}

TEST_F(EventDensWndTest, SamplesSetZoomAndTimeRangeAndLayout) {
  SetDensity({CMsgKey(1000, 800, 0)}, 20000);
  auto pane = Pane();
  const GraphLayout l = pane->CalcLayout();
  EXPECT_EQ(l.left, 40);
  EXPECT_EQ(l.top, 15);
  EXPECT_EQ(l.bottom, 285);
  EXPECT_EQ(pane->GraphLength(), 20000u);
  EXPECT_EQ(pane->ZoomBar()->minimum(), 1);
  EXPECT_EQ(pane->ZoomBar()->maximum(), 500);
  EXPECT_EQ(pane->Zoom(), 40);
  EXPECT_EQ(pane->Start(), 0u);
  // The page is the graph area's width in time: 400 pixels at 40 units each.
  EXPECT_EQ(pane->TimeBar()->pageStep(), 16000);
  pane->TimeBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(pane->Start(), 100u);
  pane->ZoomBar()->setValue(100);
  EXPECT_EQ(pane->TimeBar()->pageStep(), 40000);
  EXPECT_EQ(pane->Start(), 0u) << "a page wider than the song leaves nothing to scroll";
}

TEST_F(EventDensWndTest, MarkersAreBlueSquaresAndHighRatesSitOnTheTopEdge) {
  SetDensity({CMsgKey(1000, 800, 0), CMsgKey(2000, 2500, 0)});
  auto pane = Pane();
  const QImage image = pane->Render();
  const GraphLayout l = pane->CalcLayout();
  const int x1 = l.left + 1000 / 40;
  const int y1 = l.bottom - 270 * 800 / 1600;
  for (int dx = -2; dx <= 2; ++dx)
    for (int dy = -2; dy <= 2; ++dy) EXPECT_EQ(At(image, x1 + dx, y1 + dy), kBlue) << dx << "," << dy;
  EXPECT_NE(At(image, x1 + 3, y1 + 3), kBlue);
  EXPECT_EQ(At(image, l.left + 2000 / 40, l.top), kBlue);
  EXPECT_EQ(At(image, l.left + 2000 / 40, l.top - 2), kBlue) << "the square is centred on the edge";
}

TEST_F(EventDensWndTest, TimeLabelsStopShortOfTheAxisName) {
  SetDensity({CMsgKey(1000, 800, 0)}, 20000);  // at zoom 40 a label stands at every second
  auto pane = Pane();
  const QImage image = pane->Render();
  const GraphLayout l = pane->CalcLayout();
  // The strip around the axis name holds the name alone.
  QImage name(image.size(), image.format());
  name.fill(Qt::white);
  {
    QPainter p(&name);
    p.setFont(pane->font());
    p.setPen(Qt::black);
    p.drawText(QRect(l.left, l.bottom, l.Width(), GraphLayout::kBottomHeight), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Time(sec)"));
  }
  const int nameLeft = l.left + l.Width() - QFontMetrics(pane->font()).horizontalAdvance("Time(sec)");
  int labelInk = 0;
  for (int y = l.bottom + 1; y < l.clientHeight; ++y) {
    for (int x = nameLeft - 3; x < l.right; ++x) EXPECT_EQ(At(image, x, y), At(name, x, y)) << x << "," << y;
    for (int x = l.left; x < nameLeft - 3; ++x) labelInk += At(image, x, y) != QColor(Qt::white);
  }
  EXPECT_GT(labelInk, 50) << "the labels left of the name are drawn";
}

TEST_F(EventDensWndTest, LimitBandIsPinkOnlyWithALimit) {
  SetDensity({CMsgKey(1000, 800, 0)});
  auto pane = Pane();
  const GraphLayout l = pane->CalcLayout();
  const int limitY = l.bottom - 270 * 1000 / 1600;
  // Output profile 4: the command gives no limit.
  EXPECT_EQ(At(pane->Render(), l.left + 10, l.top + 2), QColor(Qt::white));
  pane->SetLimit(1000);
  const QImage image = pane->Render();
  EXPECT_EQ(At(image, l.left + 10, l.top + 2), kPink);
  EXPECT_EQ(At(image, l.left + 10, limitY - 1), kPink);
  EXPECT_EQ(At(image, l.left + 10, limitY), QColor(Qt::black)) << "the limit line";
  EXPECT_EQ(At(image, l.left + 10, limitY + 2), QColor(Qt::white));
  EXPECT_EQ(At(image, l.left, l.top + 40), QColor(Qt::black)) << "the left edge";
}

TEST_F(EventDensWndTest, TinyTickUnitAndZeroNumeratorStillPaint) {
  doc->SetBoardValue(8);
  AddEvent(*doc->GetMidiList(), 0, 0, {0xFF, 0x58, 0x04, 0, 2, 24, 8});
  AddEvent(*doc->GetMidiList(), 64, 0, {0xFF, 0x58, 0x04, 4, 9, 24, 8});
  SetDensity({CMsgKey(16, 400, 0)}, 400);
  auto pane = Pane();
  EXPECT_EQ(pane->Meters().size(), 2u);
  pane->ZoomBar()->setValue(1);
  const QImage image = pane->Render();
  EXPECT_EQ(At(image, pane->CalcLayout().left + 16, pane->CalcLayout().bottom - 270 * 400 / 1600), kBlue);
}

TEST_F(EventDensWndTest, RefreshRebuildsExceptForThePlayPosition) {
  SetDensity({CMsgKey(1000, 800, 0)});
  auto pane = Pane();
  pane->ZoomBar()->setValue(90);
  SetDensity({CMsgKey(1000, 800, 0), CMsgKey(3000, 900, 0)});
  host.positionRefresh = 1;
  pane->Refresh();
  EXPECT_EQ(pane->Samples().size(), 1u);
  EXPECT_EQ(pane->Zoom(), 90);
  host.positionRefresh = 0;
  pane->Refresh();
  EXPECT_EQ(pane->Samples().size(), 2u);
  EXPECT_EQ(pane->Zoom(), 40);
}

TEST_F(EventDensWndTest, FrameFillsItsSlotAndTakesTheCommandsLimit) {
  SetDensity({CMsgKey(1000, 800, 0)});
  {
    CKZ3EventDensFrm frame(host, &host);
    EXPECT_EQ(host.frameSlots["CKZ3EventDensFrm"], &frame);
    EXPECT_EQ(frame.windowTitle(), "Event Density Window");
    EXPECT_EQ(frame.minimumHeight(), 280);
    EXPECT_EQ(frame.size(), QSize(400, 300));
    EXPECT_EQ(frame.Pane()->objectName(), "c59648");
    frame.SetOpenSetting(1000);
    EXPECT_EQ(frame.Pane()->Limit(), 1000u);
    frame.SetChipMode(5);
    EXPECT_EQ(frame.Pane()->SetChipMode(1), 1);
  }
  EXPECT_EQ(host.frameSlots["CKZ3EventDensFrm"], nullptr);
}

}  // namespace
