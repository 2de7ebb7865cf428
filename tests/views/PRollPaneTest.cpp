// Tests of the piano roll pane: its pixels at points the geometry gives, its refreshes and
// that nothing in it edits the song.
#include "views/PRollPane.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/ScrollCodes.h"

namespace {

using viewtest::AddEvent;

const QColor kWhite(255, 255, 255);
const QColor kGrey(192, 192, 192);

class PRollPaneTest : public ::testing::Test {
 protected:
  PRollPaneTest() {
    fake.settings.chipMode = 3;
    doc = std::make_unique<CKZ1Doc>();
    doc->GetTempoMap().Reset(1000, 0);  // one millisecond a tick
    host.doc = doc.get();
  }
  /// A 600 x 400 pane on a tab, with the song read.
  std::unique_ptr<CPRollPane> Pane(int tab) {
    auto pane = std::make_unique<CPRollPane>(host);
    pane->resize(600, 400);
    pane->show();  // a hidden widget gets its resize only when shown
    pane->TabStrip()->setCurrentIndex(tab);
    pane->UpdateView(nullptr);
    return pane;
  }
  static QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
  /// A y inside the row of the key, clear of the line under it.
  static int RowY(const CPRollPane& pane, int key) {
    const PRollGeometry& g = pane.Geometry();
    return g.RowTop(g.TopKey() - key) + 4;
  }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

constexpr int kAll = 17;
constexpr int kStreamPcm = 16;

TEST_F(PRollPaneTest, NoteBarIsFullGreenAtItsMiddleForChannelIndex1) {
  AddEvent(*doc->GetMidiList(), 200, 599, {0x91, 60, 64});
  auto pane = Pane(kAll);
  PRollRect bar;
  ASSERT_TRUE(pane->Geometry().NoteBar(200, 400, 60, bar));
  const int quarter = (bar.height + 1) / 4;
  const QImage image = pane->Compose();
  EXPECT_EQ(At(image, 150, bar.top + 2 * quarter), QColor(0, 255, 0));
  EXPECT_EQ(At(image, 240, bar.top + 2 * quarter), QColor(0, 255, 0));
  EXPECT_EQ(At(image, 250, bar.top + 2 * quarter), kWhite);  // past the note's end
  // The same pixels come out of the widget's own paint.
  pane->show();
  const QImage shown = pane->grab().toImage();
  EXPECT_EQ(At(shown, 150, bar.top + 2 * quarter), QColor(0, 255, 0));
}

TEST_F(PRollPaneTest, ChannelTabDrawsOnlyItsChannel) {
  AddEvent(*doc->GetMidiList(), 200, 599, {0x91, 60, 64});
  PRollRect bar;
  auto pane = Pane(0);
  ASSERT_TRUE(pane->Geometry().NoteBar(200, 400, 60, bar));
  EXPECT_EQ(At(pane->Compose(), 150, bar.top + 6), kWhite);
}

TEST_F(PRollPaneTest, BlackKeyRowsAreLightBetweenGridLines) {
  auto pane = Pane(kAll);
  const QImage image = pane->Compose();
  EXPECT_EQ(At(image, 120, RowY(*pane, 61)), QColor(240, 240, 240));
  EXPECT_EQ(At(image, 120, RowY(*pane, 60)), kWhite);
  EXPECT_EQ(At(image, 146, RowY(*pane, 61)), kGrey);  // the light grid line of unit 1
}

TEST_F(PRollPaneTest, StreamPcmLabelsComeFromDefaultKeysAndLeaveTheSongsTableAlone) {
  doc->BuildStreamPcmSlots();
  doc->GetStreamPcmSlot(14)->SetNote(50);
  std::vector<int> before;
  for (int i = 0; i < 50; ++i) before.push_back(doc->GetStreamPcmSlotNote(i));
  auto pane = Pane(kStreamPcm);
  pane->OnVScroll(scroll::kThumbPosition, 10);  // top key 117
  const QImage image = pane->Compose();
  EXPECT_EQ(At(image, 220, RowY(*pane, 110)), kWhite);  // slot 32
  EXPECT_EQ(At(image, 220, RowY(*pane, 111)), kGrey);   // slot 33
  EXPECT_EQ(At(image, 220, RowY(*pane, 113)), kGrey);   // slot 35
  std::vector<int> after;
  for (int i = 0; i < 50; ++i) after.push_back(doc->GetStreamPcmSlotNote(i));
  EXPECT_EQ(after, before);
}

TEST_F(PRollPaneTest, Position128LeavesOnlyGreyBelowTheRuler) {
  auto pane = Pane(kAll);
  pane->OnVScroll(scroll::kThumbPosition, 128);
  const QImage image = pane->Compose();
  const PRollGeometry& g = pane->Geometry();
  for (int y : {50, 100, g.Grid().Bottom() - 2}) {
    for (int x : {10, 60, 120, 170}) EXPECT_EQ(At(image, x, y), kGrey) << x << "," << y;
  }
}

TEST_F(PRollPaneTest, StripBoxesTakeTheColourOfTheirEvent) {
  auto& list = *doc->GetMidiList();
  AddEvent(list, 400, 0, {0xB0, 10, 64});
  AddEvent(list, 800, 0, {0xC0, 3});
  AddEvent(list, 1200, 0, {0xB0, 7, 100});
  doc->SetCuePoint(3, 1600, 0);
  const auto boxAt = [](const CPRollPane& pane, const QImage& image, uint32_t tick) {
    return image.pixelColor(pane.Geometry().XOfTick(tick) + 1, pane.Geometry().Strip().top + 9);
  };
  auto all = Pane(kAll);
  QImage image = all->Compose();
  EXPECT_EQ(boxAt(*all, image, 400), QColor(240, 128, 255));
  EXPECT_EQ(boxAt(*all, image, 800), QColor(128, 255, 240));
  EXPECT_EQ(boxAt(*all, image, 1200), kWhite);  // volume gets no box on the song's tabs
  EXPECT_EQ(boxAt(*all, image, 1600), QColor(240, 32, 192));
  auto channel = Pane(0);
  image = channel->Compose();
  EXPECT_EQ(boxAt(*channel, image, 1200), kWhite);
  EXPECT_EQ(boxAt(*channel, image, 400), QColor(240, 128, 255));
}

TEST_F(PRollPaneTest, RegionEndsAreInvertedLinesWithNoMarkAtTheWindowStart) {
  auto pane = Pane(kAll);
  pane->OnHScroll(scroll::kThumbPosition, 1);  // the window starts at tick 200
  pane->SetView(1, 1, 200, 410);
  const QImage image = pane->Compose();
  const int y = RowY(*pane, 60);
  const int endX = pane->Geometry().XOfTick(410);
  EXPECT_EQ(endX, 96 + 52);
  EXPECT_EQ(At(image, endX, y), QColor(0, 0, 0));
  EXPECT_EQ(At(image, 96, y), kGrey);  // the start lies at the window start: the grid line stays
  EXPECT_EQ(At(image, endX, pane->Geometry().Strip().top + 20), QColor(0, 0, 0));
}

TEST_F(PRollPaneTest, PlayLineShowsOnlyDuringAPositionRefresh) {
  auto pane = Pane(kAll);
  host.positionRefresh = 1;
  host.positionMs = 1010;
  pane->UpdateView(nullptr);
  const int x = pane->Geometry().XOfTick(1010);
  const int y = RowY(*pane, 60);
  QImage image = pane->Compose();
  EXPECT_EQ(At(image, x + 1, y), QColor(0, 0, 0));
  host.positionRefresh = 0;
  image = pane->Compose();
  EXPECT_EQ(At(image, x + 1, y), kWhite);
}

TEST_F(PRollPaneTest, PositionRefreshPastTheRightEdgeJumps) {
  auto pane = Pane(kAll);
  host.positionRefresh = 1;
  host.positionMs = 5000;
  pane->UpdateView(nullptr);
  const int x = pane->Geometry().XOfTick(5000);
  EXPECT_GE(x, 96);
  EXPECT_LT(x, 96 + pane->Geometry().PixelsPerUnit());
  EXPECT_EQ(pane->HBar()->value(), pane->Geometry().HPos());
}

TEST_F(PRollPaneTest, ZoomButtonsRepaintUnlessTheRowsCannotChange) {
  auto pane = Pane(kAll);
  pane->show();
  for (int i = 0; i < 5; ++i) QTest::mouseClick(pane->Button(CPRollPane::kNarrowId), Qt::LeftButton);
  EXPECT_EQ(pane->Geometry().RowHeight(), 10);
  int before = pane->Invalidations();
  QTest::mouseClick(pane->Button(CPRollPane::kNarrowId), Qt::LeftButton);
  EXPECT_EQ(pane->Invalidations(), before);
  for (int i = 0; i < 20; ++i) pane->OnCommand(CPRollPane::kZoomInId);
  EXPECT_EQ(pane->Geometry().PixelsPerUnit(), 200);
  before = pane->Invalidations();
  pane->OnCommand(CPRollPane::kZoomInId);
  EXPECT_EQ(pane->Invalidations(), before + 1);
  EXPECT_EQ(pane->VBar()->pageStep(), pane->Geometry().VPage());
}

TEST_F(PRollPaneTest, ResizeShowsKey72AtTheTopAndTheWheelStaysInRange) {
  auto pane = Pane(kAll);
  pane->OnVScroll(scroll::kThumbPosition, 3);
  pane->resize(640, 420);
  EXPECT_EQ(pane->Geometry().VPos(), 55);
  EXPECT_EQ(pane->VBar()->value(), 55);
  pane->show();
  for (int i = 0; i < 60; ++i) {
    QWheelEvent wheel(QPointF(200, 200), QPointF(200, 200), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane.get(), &wheel);
  }
  EXPECT_EQ(pane->Geometry().VPos(), 128);
}

TEST_F(PRollPaneTest, ClicksAndKeysChangeNothing) {
  AddEvent(*doc->GetMidiList(), 200, 599, {0x91, 60, 64});
  doc->ResetModifiedFlags();
  auto pane = Pane(kAll);
  pane->show();
  QTest::mouseClick(pane.get(), Qt::LeftButton, {}, QPoint(150, RowY(*pane, 60)));
  QTest::mouseDClick(pane.get(), Qt::LeftButton, {}, QPoint(150, RowY(*pane, 60)));
  QTest::mouseClick(pane.get(), Qt::RightButton, {}, QPoint(300, 100));
  QTest::keyClick(pane.get(), Qt::Key_Delete);
  QTest::keyClick(pane.get(), Qt::Key_Backspace);
  EXPECT_EQ(doc->GetMidiList()->size(), 1u);
  EXPECT_EQ(doc->TestModifiedFlags(3), 0u);
}

TEST_F(PRollPaneTest, PaintVisitsOnlyTheWindowsNotes) {
  for (uint32_t i = 0; i < 50000; ++i) AddEvent(*doc->GetMidiList(), i * 100, i * 100 + 90, {0x90, static_cast<uint8_t>(40 + i % 40), 64});
  auto pane = Pane(kAll);
  pane->Index().ResetVisited();
  pane->Compose();
  EXPECT_GT(pane->Index().Visited(), 0u);
  EXPECT_LT(pane->Index().Visited(), 200u);
}

TEST_F(PRollPaneTest, FrameFillsItsSlotWithItsDefaultPlacement) {
  {
    CPRollFrm frame(host);
    EXPECT_EQ(host.frameSlots["CPRollFrm"], &frame);
    EXPECT_EQ(frame.menuResource(), 0);
    EXPECT_EQ(frame.geometry(), QRect(0, 0, 600, 400));
    EXPECT_TRUE(frame.OnCommand(CPRollPane::kZoomOutId));
    EXPECT_FALSE(frame.OnCommand(57634));
  }
  EXPECT_EQ(host.frameSlots["CPRollFrm"], nullptr);
}

}  // namespace
