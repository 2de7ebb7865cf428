// Tests of the song window's channel pane and frame: clicks on a real document, pixels at
// points the geometry gives, the refresh protocol and the frame's close and first activation.
#include "views/ChannelView.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "SongViewHostFake.h"
#include "SongWindowHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "uikit/ScrollCodes.h"
#include "views/ChildFrame.h"

namespace {

using viewtest::AddEvent;

class ChannelViewTest : public ::testing::Test {
 protected:
  ChannelViewTest() {
    fake.settings.chipMode = 3;
    fake.settings.outputProfile = 2;
    doc = std::make_unique<CKZ1Doc>();
    doc->GetTempoMap().Reset(1000, 0);  // one millisecond a tick
    for (int k : {0, 1, 2, 9}) doc->SetChannelValue(k, 1);
    host.doc = doc.get();
  }
  ~ChannelViewTest() override { SongWindowOpeners::Instance() = SongWindowOpeners{}; }

  std::unique_ptr<CChannelView> Pane() {
    auto pane = std::make_unique<CChannelView>(host);
    pane->resize(900, 480);
    pane->show();
    pane->UpdateView(nullptr);
    return pane;
  }
  /// A point inside the cell of a column on a row, clear of its lines.
  static QPoint Cell(const CChannelView& pane, int column, int row) {
    const ChannelGeometry& g = pane.Geometry();
    return {g.ColumnLeft(column) + g.Width(column) / 2, g.RowTop(row) + 10};
  }
  static QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

  platform::FakeHost fake;
  SongWindowHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(ChannelViewTest, KindReturnsAfterFourClicksAndMarksTheSong) {
  auto pane = Pane();
  const int start = doc->GetChannelKind(1);
  for (int i = 0; i < 4; ++i) {
    pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kCTyp, 2));
    if (i < 3) {
      EXPECT_NE(doc->GetChannelKind(1), start);
    }
  }
  EXPECT_EQ(doc->GetChannelKind(1), start);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
  EXPECT_EQ(host.voiceWindowUpdates, 4);
}

TEST_F(ChannelViewTest, KsReturnsAfterThreeClicksOnProfileOne) {
  fake.settings.outputProfile = 1;
  auto pane = Pane();
  ASSERT_GT(pane->Geometry().Width(ChannelGeometry::kKS), 0);
  const int start = doc->GetChannelStatusHigh(0);
  for (int i = 0; i < 3; ++i) pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kKS, 1));
  EXPECT_EQ(doc->GetChannelStatusHigh(0), start);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
}

TEST_F(ChannelViewTest, MuteToggles) {
  auto pane = Pane();
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kMute, 3));
  EXPECT_EQ(doc->GetChannelMute(2), 1);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kMute, 3));
  EXPECT_EQ(doc->GetChannelMute(2), 0);
}

TEST_F(ChannelViewTest, ClicksThatChangeNothing) {
  auto pane = Pane();
  const ChannelGeometry& g = pane->Geometry();
  host.deviceIdle = 0;
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kMute, 1));
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kCTyp, 1));
  host.deviceIdle = 1;
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kMute, 4));  // channel index 3 is absent
  pane->OnLButtonDown(QPoint(g.ColumnLeft(ChannelGeometry::kMute) + 5, g.RowTop(2)));  // a row line
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kMute, ChannelGeometry::kStreamPcmRow));  // no stream events
  EXPECT_EQ(doc->TestModifiedFlags(3), 2u);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(doc->GetChannelMute(k), 0);
  EXPECT_EQ(doc->GetStreamPcmMute(), 0);
  EXPECT_EQ(host.voiceWindowUpdates, 0);
  // A hidden column never answers a hit.
  int row = 0;
  for (int x = 0; x < g.TimelineLeft(); ++x) EXPECT_NE(pane->HitTest(QPoint(x, 50), row), ChannelGeometry::kKS);
}

TEST_F(ChannelViewTest, StreamRowMuteWithStreamEvents) {
  doc->SetChannelWord(0, 1);
  AddEvent(*doc->GetMidiListPCM(), 0, 100, {0x90, 1, 64});
  auto pane = Pane();
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kMute, ChannelGeometry::kStreamPcmRow));
  EXPECT_EQ(doc->GetStreamPcmMute(), 1);
}

TEST_F(ChannelViewTest, VoiceGroupStepsPastAFullPartAndTheViewFlagFollows) {
  fake.settings.outputProfile = 4;
  for (int k = 3; k < 8; ++k) doc->SetChannelValue(k, 1);
  for (int k = 3; k < 7; ++k) doc->SetChannelPart(k, 1, 1);  // four channels hold part 1
  doc->ResetModifiedFlags();
  auto pane = Pane();
  ASSERT_EQ(pane->Geometry().Width(ChannelGeometry::kCv), 20);
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kCv, 1));
  EXPECT_EQ(doc->GetChannelPart(0), 2);
  EXPECT_EQ(host.statusPaneUpdates, 1);
  bool anyUse = false;
  for (int k = 0; k < 16; ++k)
    for (int slot = 0; slot < 128; ++slot)
      anyUse = anyUse || (doc->GetChannelPart(k) >= 1 && doc->GetSlotUse(k, slot) >= 1 && doc->GetSlotUse(k, slot) <= 4);
  EXPECT_EQ(doc->GetViewFlag(), anyUse ? 1 : 0);
  pane->OnRButtonDown(Cell(*pane, ChannelGeometry::kCv, 1));
  EXPECT_EQ(doc->GetChannelPart(0), 0) << "part 1 is full, so the step down passes it";
}

TEST_F(ChannelViewTest, NameClickSelectsAndTheCellIsNavy) {
  auto pane = Pane();
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kName, 2));
  EXPECT_EQ(pane->SelectedChannel(), 1);
  const ChannelGeometry& g = pane->Geometry();
  const QImage image = pane->Compose();
  EXPECT_EQ(At(image, g.ColumnLeft(ChannelGeometry::kName) + g.Width(ChannelGeometry::kName) - 4, g.RowTop(2) + 10),
            QColor(0, 0, 128));
  pane->OnLButtonDown(Cell(*pane, ChannelGeometry::kName, ChannelGeometry::kStreamPcmRow));
  EXPECT_EQ(pane->SelectedChannel(), -1);
}

TEST_F(ChannelViewTest, CueBandMovesWithTheScroll) {
  doc->SetCuePoint(3, 1000, 0);
  auto pane = Pane();
  const ChannelGeometry& g = pane->Geometry();
  const int y = g.RowTop(12) + 10;
  EXPECT_EQ(At(pane->Compose(), g.TimelineLeft() + 250, y), QColor(240, 32, 192));
  EXPECT_EQ(At(pane->Compose(), g.TimelineLeft() + 253, y), QColor(240, 32, 192));
  pane->OnHScroll(scroll::kThumbPosition, 5);
  EXPECT_EQ(At(pane->Compose(), g.TimelineLeft(), y), QColor(240, 32, 192));
  pane->OnHScroll(scroll::kThumbPosition, 6);
  const QImage image = pane->Compose();
  for (int x = g.TimelineLeft(); x < g.TimelineLeft() + 40; ++x) EXPECT_NE(At(image, x, y), QColor(240, 32, 192));
}

TEST_F(ChannelViewTest, BarMiddleRowsByScheme) {
  AddEvent(*doc->GetMidiList(), 400, 799, {0x90, 60, 64});
  AddEvent(*doc->GetMidiList(), 400, 400, {0x92, 60, 64});  // one tick long
  auto pane = Pane();
  const ChannelGeometry& g = pane->Geometry();
  const int quarter = (ChannelGeometry::kBarHeight + 1) / 4;
  const QImage image = pane->Compose();
  const int x = static_cast<int>(g.XOfTick(400));
  EXPECT_EQ(At(image, x + 10, g.BarTop(1) + 2 * quarter), QColor(255, 0, 0));
  EXPECT_EQ(At(image, x, g.BarTop(3) + 2 * quarter), QColor(0, 0, 255));
  // Depth 8: plain bars and no background picture.
  const QImage plain = pane->Compose(8);
  EXPECT_NE(At(plain, x + 10, g.BarTop(1) + 2 * quarter), QColor(255, 0, 0));
  EXPECT_EQ(At(plain, g.TimelineLeft() + 20, g.RowTop(12) + 10), QColor(255, 255, 255));
  EXPECT_NE(At(image, g.TimelineLeft() + 20, g.RowTop(12) + 10), QColor(255, 255, 255));
}

TEST_F(ChannelViewTest, AbsentChannelShowsNoBank) {
  auto pane = Pane();
  const ChannelGeometry& g = pane->Geometry();
  const QImage image = pane->Compose();
  const int left = g.ColumnLeft(ChannelGeometry::kBM);
  for (int x = left + 3; x < left + g.Width(ChannelGeometry::kBM) - 3; ++x)
    EXPECT_EQ(At(image, x, g.RowTop(4) + 10), QColor(240, 240, 240)) << x;
}

TEST_F(ChannelViewTest, RegionStartInvertsItsColumn) {
  auto pane = Pane();
  const ChannelGeometry& g = pane->Geometry();
  const QImage off = pane->Compose();
  pane->SetRegion(1, 1, 400, 1200);
  const QImage on = pane->Compose();
  const int x = static_cast<int>(g.XOfTick(400));
  EXPECT_NE(At(on, x, g.RowTop(12) + 10), At(off, x, g.RowTop(12) + 10));
  EXPECT_EQ(At(on, x + 5, g.RowTop(12) + 10), At(off, x + 5, g.RowTop(12) + 10));
}

TEST_F(ChannelViewTest, PlayLineOnlyDuringAPositionRefresh) {
  auto pane = Pane();
  const ChannelGeometry& g = pane->Geometry();
  host.positionMs = 800;
  const int x = static_cast<int>(g.XOfTick(doc->TickToTime(800)));
  const QImage plain = pane->Compose();
  host.positionRefresh = 1;
  const QImage playing = pane->Compose();
  EXPECT_NE(At(playing, x + 1, g.RowTop(12) + 10), At(plain, x + 1, g.RowTop(12) + 10));
  host.positionRefresh = 0;
  EXPECT_EQ(At(pane->Compose(), x + 1, g.RowTop(12) + 10), At(plain, x + 1, g.RowTop(12) + 10));
}

TEST_F(ChannelViewTest, RefreshProtocol) {
  auto pane = Pane();
  const int before = host.songWindowUpdates;
  pane->UpdateView(pane.get());
  EXPECT_EQ(host.songWindowUpdates, before + 1);
  pane->UpdateView(nullptr);
  EXPECT_EQ(host.songWindowUpdates, before + 1);
  // A position refresh brings a far position into view.
  host.positionRefresh = 1;
  host.positionMs = 40000;
  pane->UpdateView(nullptr);
  EXPECT_EQ(pane->Geometry().HPos(), 40000 / 4 / 50);
  EXPECT_EQ(pane->HBar()->value(), pane->Geometry().HPos());
  pane->ScrollToStart();
  EXPECT_EQ(pane->Geometry().HPos(), 0);
}

TEST_F(ChannelViewTest, CreationTakesTheDocumentsPlayRange) {
  doc->SetPlayRange(1, 120, 480);
  auto pane = Pane();
  EXPECT_EQ(pane->RegionOn(), 1);
  EXPECT_EQ(pane->RegionStart(), 120u);
  EXPECT_EQ(pane->RegionEnd(), 480u);
}

TEST_F(ChannelViewTest, EditorOpenerStoresTheVoiceAndSendsIt) {
  doc->AssignVoice(5, 124, 1, 10, 0);
  doc->SetChannelVoiceSlot(0, 5);
  const int slot = doc->FindVoiceIndex(124, 1, 10, 0);
  ASSERT_GE(slot, 0);
  doc->SetChannelVoiceSlot(0, slot);
  int opened = 0;
  SongWindowOpeners::Instance().voiceEditKZx = [&](CVoiceItem& voice) {
    ++opened;
    voice.SetName("Edited");
    return 1;
  };
  auto pane = Pane();
  const int updates = host.songWindowUpdates;
  pane->OnLButtonDblClk(Cell(*pane, ChannelGeometry::kName, 1));
  EXPECT_EQ(opened, 1);
  EXPECT_STREQ(doc->GetVoiceItem(slot)->GetName(), "Edited");
  ASSERT_EQ(fake.board.calls.size(), 1u);
  EXPECT_EQ(fake.board.calls[0].name, "SendVoice");
  EXPECT_EQ(host.songWindowUpdates, updates + 1);
  EXPECT_EQ(host.reportBarUpdates, 1);
}

TEST_F(ChannelViewTest, EditorOpenerWarnsWhenTheVoiceOverflowsTheRam) {
  doc->AssignVoice(5, 124, 1, 10, 0);
  const int slot = doc->FindVoiceIndex(124, 1, 10, 0);
  doc->SetChannelVoiceSlot(0, slot);
  SongWindowOpeners::Instance().voiceEditKZx = [](CVoiceItem& voice) {
    constexpr uint32_t kSamples = 9000;
    std::vector<uint8_t> block(CVoiceItem::kWaveHeaderSize + kSamples, 0x80);
    block[1] = static_cast<uint8_t>((kSamples + 17) >> 8);
    block[2] = static_cast<uint8_t>((kSamples + 17) & 0xFF);
    voice.SetPcmFlag(1);
    voice.SetWaveData(block.data(), static_cast<uint32_t>(block.size()));
    return 1;
  };
  auto pane = Pane();
  pane->OnLButtonDblClk(Cell(*pane, ChannelGeometry::kName, 1));
  EXPECT_GT(doc->GetKZ3RamUse(), 8176);
  EXPECT_EQ(fake.messages.ShownIds(), std::vector<int>{7029});
  EXPECT_TRUE(doc->GetVoiceItem(slot)->IsPcm());
}

TEST_F(ChannelViewTest, EditorOpenerWithAnAddressNoSlotHoldsChangesNothing) {
  doc->AssignVoice(5, 124, 1, 10, 0);
  const int slot = doc->FindVoiceIndex(124, 1, 10, 0);
  doc->SetChannelVoiceSlot(0, slot);
  doc->ResetModifiedFlags();
  SongWindowOpeners::Instance().voiceEditKZx = [](CVoiceItem& voice) {
    voice.SetProgram(99);
    return 1;
  };
  auto pane = Pane();
  pane->OnLButtonDblClk(Cell(*pane, ChannelGeometry::kName, 1));
  EXPECT_EQ(doc->TestModifiedFlags(3), 0u);
  EXPECT_TRUE(fake.board.calls.empty());
  EXPECT_EQ(doc->GetVoiceItem(slot)->GetProgram(), 10);
}

TEST_F(ChannelViewTest, NameDoubleClickOnAnAbsentChannelOpensNothing) {
  int opened = 0;
  SongWindowOpeners::Instance().voiceEditKZx = [&](CVoiceItem&) { return ++opened; };
  auto pane = Pane();
  pane->OnLButtonDblClk(Cell(*pane, ChannelGeometry::kName, 4));
  EXPECT_EQ(opened, 0);
}

TEST_F(ChannelViewTest, PaintVisitsOnlyTheWindowsNotes) {
  for (uint32_t i = 0; i < 20000; ++i) AddEvent(*doc->GetMidiList(), i * 60, i * 60 + 40, {0x90, 60, 64});
  auto pane = Pane();
  pane->Index().ResetVisited();
  pane->Compose();
  // The window holds about (timeline width / 50 + 1) x 200 ticks: a few buckets' notes.
  const uint64_t windowTicks = pane->Geometry().WindowEnd() - pane->Geometry().WindowStart();
  EXPECT_LE(pane->Index().Visited(), (windowTicks / NoteIndex::kBucketTicks + 2) * NoteIndex::kBucketTicks / 60 + 2);
  EXPECT_GT(pane->Index().Visited(), 0u);
}

class ChildFrameTest : public ChannelViewTest {};

TEST_F(ChildFrameTest, FillsItsSlotAndCapsItsHeight) {
  {
    CChildFrame frame(host);
    EXPECT_EQ(host.frameSlots["CChildFrame"], &frame);
    const QRect cap = frame.CalcFrameRect();
    EXPECT_EQ(cap.width(), 600);
    frame.resize(600, 5000);
    EXPECT_LE(frame.height(), cap.height());
    EXPECT_EQ(frame.OnWindowPosChanging(5000), cap.height());
    EXPECT_EQ(frame.OnWindowPosChanging(100), 100);
    frame.SetChipMode(1);
    EXPECT_LT(frame.CalcFrameRect().height(), cap.height());
  }
  EXPECT_EQ(host.frameSlots["CChildFrame"], nullptr);
}

TEST_F(ChildFrameTest, FirstActivationReopensWhatWindowStateNames) {
  fake.profile.WriteProfileInt("WindowState", "CEListFrm", 1);
  fake.profile.WriteProfileInt("WindowState", "CMixerDlg", 1);
  CChildFrame frame(host);
  frame.show();
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(host.opened[0].first, "CEListFrm");
  EXPECT_EQ(host.opened[0].second, 1001);
  EXPECT_EQ(host.posted, std::vector<int>{32797});
  frame.hide();
  frame.show();
  EXPECT_EQ(host.opened.size(), 1u);
}

TEST_F(ChildFrameTest, ClosingRunsFileCloseOnceEvenWhenReentered) {
  auto* frame = new CChildFrame(host);
  frame->show();
  host.onFileClose = [frame] { frame->close(); };
  frame->close();
  EXPECT_EQ(host.fileCloses, 1);
  EXPECT_EQ(CChildFrame::ClosingCounter(), 0);
  delete frame;
}

}  // namespace
