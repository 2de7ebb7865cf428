// Tests of the event list window: tabs, rebuilds, refreshes and the frame's slot.
#include "views/EListView.h"

#include <gtest/gtest.h>

#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using viewtest::AddEvent;

class EListViewTest : public ::testing::Test {
 protected:
  void Make(int chipMode) {
    fake.settings.chipMode = chipMode;
    doc = std::make_unique<CKZ1Doc>();
    host.doc = doc.get();
  }
  /// The type texts of the list's rows, in order.
  std::vector<std::string> Types(CEListView& view) {
    std::vector<std::string> out;
    for (const EListRow& r : view.Model().Rows()) out.push_back(r.type);
    return out;
  }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(EListViewTest, TabsFollowTheChipModeAtCreation) {
  Make(1);
  CEListView four(host);
  ASSERT_EQ(four.TabStrip()->count(), 6);
  EXPECT_EQ(four.TabStrip()->tabText(0), "Ch1");
  EXPECT_EQ(four.TabStrip()->tabText(4), "StreamPCM");
  EXPECT_EQ(four.TabStrip()->tabText(5), "All");
  Make(3);
  CEListView sixteen(host);
  EXPECT_EQ(sixteen.TabStrip()->count(), 18);
  EXPECT_EQ(sixteen.TabStrip()->tabText(15), "Ch16");
  // A later chip mode keeps the tabs built.
  sixteen.SetChannelCount(1);
  EXPECT_EQ(sixteen.ChannelCount(), 4);
  EXPECT_EQ(sixteen.TabStrip()->count(), 18);
}

TEST_F(EListViewTest, ChannelTabListsItsChannelAndEveryMarkerSysExAndMeta) {
  Make(3);
  auto& list = *doc->GetMidiList();
  AddEvent(list, 0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
  AddEvent(list, 0, 0, {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7});
  AddEvent(list, 10, 20, {0x92, 60, 64});
  AddEvent(list, 10, 20, {0x91, 62, 64});
  AddEvent(list, 30, 0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}, 3);
  AddEvent(list, 40, 0, {0xC2, 5});
  CEListView view(host);
  // "Ch1" first: channel index 0 has no messages of its own.
  EXPECT_EQ(Types(view), (std::vector<std::string>{"Tick", "KZ-3 Master Vol", "=== A Melody ==="}));
  view.TabStrip()->setCurrentIndex(2);
  EXPECT_EQ(view.CurrentTab(), 2);
  EXPECT_EQ(Types(view), (std::vector<std::string>{"Tick", "KZ-3 Master Vol", "Note", "=== A Melody ===", "Pch"}));
  EXPECT_EQ(view.Model().Rows()[2].event, std::next(list.begin(), 2)->get());
  view.TabStrip()->setCurrentIndex(17);
  EXPECT_EQ(Types(view).size(), 6u);
}

TEST_F(EListViewTest, PositionRefreshRebuildsNothingOtherRefreshesDo) {
  Make(3);
  CEListView view(host);
  view.TabStrip()->setCurrentIndex(17);
  EXPECT_EQ(view.Model().rowCount(), 0);
  AddEvent(*doc->GetMidiList(), 0, 10, {0x90, 60, 64});
  host.positionRefresh = 1;
  view.UpdateView(nullptr);
  EXPECT_EQ(view.Model().rowCount(), 0);
  host.positionRefresh = 0;
  view.UpdateView(nullptr);
  EXPECT_EQ(view.Model().rowCount(), 1);
  // As the sender it asks the main frame instead.
  const int before = host.songWindowUpdates;
  view.UpdateView(&view);
  EXPECT_EQ(host.songWindowUpdates, before + 1);
}

TEST_F(EListViewTest, TabChangeWhilePlayingRebuildsAndShowsRowZero) {
  Make(3);
  for (uint32_t i = 0; i < 500; ++i) AddEvent(*doc->GetMidiList(), i, i + 1, {0x90, 60, 64});
  CEListView view(host);
  view.resize(340, 300);
  view.show();
  view.TabStrip()->setCurrentIndex(17);
  view.List()->scrollToBottom();
  host.positionRefresh = 1;  // a tab change rebuilds even during a position refresh
  view.TabStrip()->setCurrentIndex(0);
  EXPECT_EQ(view.Model().rowCount(), 500);
  EXPECT_EQ(view.List()->rowAt(0), 0);
}

TEST_F(EListViewTest, OnlyShownRowsAreFormatted) {
  Make(3);
  for (uint32_t i = 0; i < 5000; ++i) AddEvent(*doc->GetMidiList(), i, i + 1, {0x90, 60, 64});
  CEListView view(host);
  view.resize(340, 300);
  view.show();
  view.TabStrip()->setCurrentIndex(17);
  view.List()->viewport()->grab();
  EXPECT_EQ(view.Model().rowCount(), 5000);
  EXPECT_GT(view.Model().FormattedCount(), 0);
  EXPECT_LT(view.Model().FormattedCount(), 6 * 100);
}

TEST_F(EListViewTest, ClicksAndKeysChangeNothing) {
  Make(3);
  AddEvent(*doc->GetMidiList(), 0, 10, {0x90, 60, 64});
  doc->ResetModifiedFlags();
  CEListView view(host);
  view.resize(340, 300);
  view.show();
  view.TabStrip()->setCurrentIndex(17);
  QWidget* viewport = view.List()->viewport();
  const QRect cell = view.List()->visualRect(view.Model().index(0, 2));
  QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, cell.center());
  QTest::keyClick(view.List(), Qt::Key_Delete);
  QTest::keyClick(view.List(), Qt::Key_Return);
  EXPECT_EQ(doc->GetMidiList()->size(), 1u);
  EXPECT_EQ(doc->TestModifiedFlags(3), 0u);
  EXPECT_EQ(view.Model().data(view.Model().index(0, 2), Qt::DisplayRole).toString(), "Note");
}

TEST_F(EListViewTest, FrameFillsItsSlotAndKeepsItsPlacement) {
  Make(3);
  {
    CEListFrm frame(host);
    EXPECT_EQ(host.frameSlots["CEListFrm"], &frame);
    EXPECT_EQ(frame.menuResource(), 0);
    EXPECT_EQ(frame.geometry(), QRect(0, 0, 340, 300));
    frame.setGeometry(10, 20, 300, 200);
  }
  EXPECT_EQ(host.frameSlots["CEListFrm"], nullptr);
  CEListFrm again(host);
  EXPECT_EQ(again.geometry(), QRect(10, 20, 300, 200));
}

}  // namespace
