// Tests of the region bar, the region edit, Transpose and Channel Status dialogs on a real
// document.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <iterator>

#include "SongViewHostFake.h"
#include "SongWindowHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/DialogTemplate.h"
#include "views/ChannelStatusDlg.h"
#include "views/ChannelView.h"
#include "views/PRollPane.h"
#include "views/RegionBarDlg.h"
#include "views/RegionEditDlg.h"
#include "views/TransposeDlg.h"

namespace {

using viewtest::AddEvent;

/// The key byte of the i-th event of a list.
int KeyAt(const CKZ1Doc::EventList& list, int i) { return (*std::next(list.begin(), i))->GetByte(1); }

void SetPosition(PositionFields& p, int measure, int beat, int tick) {
  p.measure = measure;
  p.beat = beat;
  p.tick = tick;
}

class SongDialogsTest : public ::testing::Test {
 protected:
  SongDialogsTest() {
    fake.settings.chipMode = 3;
    doc = std::make_unique<CKZ1Doc>();
    doc->GetTempoMap().Reset(1000, 0);
    for (int k = 0; k < 4; ++k) doc->SetChannelValue(k, 1);
    host.doc = doc.get();
  }
  void AddNotes() {
    auto& list = *doc->GetMidiList();
    AddEvent(list, 0, 60, {0x91, 60, 100});
    AddEvent(list, 120, 180, {0x91, 62, 100});
    AddEvent(list, 121, 180, {0x91, 64, 100});
    AddEvent(list, 60, 100, {0x90, 65, 100});
  }
  std::unique_ptr<CChannelView> Pane() {
    auto pane = std::make_unique<CChannelView>(host);
    pane->resize(900, 480);
    pane->show();  // a hidden widget gets its resize only when shown
    return pane;
  }
  void Set(CRegionBarDlg& bar, int m1, int b1, int t1, int m2, int b2, int t2) {
    SetPosition(bar.From(), m1, b1, t1);
    SetPosition(bar.To(), m2, b2, t2);
    bar.DoDataExchange(false);
    bar.OnSet();
  }

  platform::FakeHost fake;
  SongWindowHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(SongDialogsTest, RegionBarSetAndNg) {
  AddNotes();
  auto pane = Pane();
  CRegionBarDlg& bar = *pane->RegionBar();
  Set(bar, 1, 1, 0, 2, 1, 0);
  EXPECT_EQ(pane->RegionOn(), 1);
  EXPECT_EQ(pane->RegionStart(), 0u);
  EXPECT_EQ(pane->RegionEnd(), 120u);
  EXPECT_EQ(doc->IsPlayRangeOn(), 1);
  EXPECT_EQ(fake.messages.beeps, 0);
  const int updates = host.songWindowUpdates;
  bar.OnCancel();
  EXPECT_EQ(pane->RegionOn(), 0);
  EXPECT_EQ(doc->IsPlayRangeOn(), 0);
  EXPECT_EQ(host.songWindowUpdates, updates + 1);
}

TEST_F(SongDialogsTest, RegionBarSetCases) {
  AddNotes();
  auto pane = Pane();
  CRegionBarDlg& bar = *pane->RegionBar();
  Set(bar, 1, 1, 0, 1, 1, 0);
  EXPECT_EQ(pane->RegionOn(), 0);
  EXPECT_EQ(fake.messages.beeps, 0);
  Set(bar, 2, 1, 0, 1, 1, 0);
  EXPECT_EQ(pane->RegionOn(), 0);
  EXPECT_EQ(bar.To().measure, 2);
  EXPECT_EQ(ui::item<QLineEdit>(&bar, CRegionBarDlg::kToMeasure)->text(), QStringLiteral("2"));
  EXPECT_EQ(fake.messages.beeps, 0);
  // A range after the last note's end.
  Set(bar, 9, 1, 0, 10, 1, 0);
  EXPECT_EQ(fake.messages.beeps, 1);
  EXPECT_EQ(pane->RegionOn(), 0);
  // Nothing while playing.
  host.deviceIdle = 0;
  Set(bar, 1, 1, 0, 2, 1, 0);
  EXPECT_EQ(pane->RegionOn(), 0);
  bar.UpdateSetButton();
  EXPECT_FALSE(ui::item<QWidget>(&bar, CRegionBarDlg::kSet)->isEnabled());
}

TEST_F(SongDialogsTest, RegionBarBeepsWithoutNotes) {
  auto pane = Pane();
  Set(*pane->RegionBar(), 1, 1, 0, 2, 1, 0);
  EXPECT_EQ(fake.messages.beeps, 1);
  EXPECT_EQ(pane->RegionOn(), 0);
}

TEST_F(SongDialogsTest, RegionBarRefusesValuesOutOfRange) {
  AddNotes();
  auto pane = Pane();
  CRegionBarDlg& bar = *pane->RegionBar();
  ui::item<QLineEdit>(&bar, CRegionBarDlg::kToBeat)->setText(QStringLiteral("6"));
  bar.OnSet();
  EXPECT_EQ(pane->RegionOn(), 0);
  EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(SongDialogsTest, RegionReachesTheOpenPianoRoll) {
  AddNotes();
  SongViewHostFake rollHost;
  rollHost.doc = doc.get();
  CPRollFrm roll(rollHost);
  roll.resize(600, 400);
  roll.show();
  host.windows["CPRollFrm"] = &roll;
  roll.Pane()->UpdateView(nullptr);
  const QImage before = roll.Pane()->Compose();
  auto pane = Pane();
  Set(*pane->RegionBar(), 1, 2, 0, 2, 1, 0);
  const QImage with = roll.Pane()->Compose();
  EXPECT_NE(with, before);
  pane->RegionBar()->OnCancel();
  EXPECT_EQ(roll.Pane()->Compose(), before);
}

TEST_F(SongDialogsTest, RegionBarButtonsOpenOrActivateTheViews) {
  fake.settings.chipMode = 3;
  auto pane = Pane();
  CRegionBarDlg& bar = *pane->RegionBar();
  EXPECT_FALSE(ui::item<QWidget>(&bar, CRegionBarDlg::kTextScore)->isEnabled());
  bar.OnEventList();
  bar.OnPianoRoll();
  ASSERT_EQ(host.opened.size(), 2u);
  EXPECT_EQ(host.opened[0], std::make_pair(std::string("CEListFrm"), 1001));
  EXPECT_EQ(host.opened[1], std::make_pair(std::string("CPRollFrm"), 1003));
}

TEST_F(SongDialogsTest, TransposeRaisesTheChannelsNotesAndUndoRestores) {
  AddNotes();
  CTransposeDlg dialog(host);
  dialog.OnInitDialog();
  auto* channel = ui::item<QComboBox>(&dialog, CTransposeDlg::kChannel);
  EXPECT_EQ(channel->count(), 17);
  channel->setCurrentText(QStringLiteral("2"));
  ui::item<QComboBox>(&dialog, CTransposeDlg::kShift)->setCurrentText(QStringLiteral("+7"));
  SetPosition(dialog.To(), 2, 1, 0);
  dialog.DoDataExchange(false);
  dialog.OnOK();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const auto& list = *doc->GetMidiList();
  EXPECT_EQ(KeyAt(list, 0), 67);
  EXPECT_EQ(KeyAt(list, 1), 69);  // tick 120: the end is included
  EXPECT_EQ(KeyAt(list, 2), 64);  // tick 121
  EXPECT_EQ(KeyAt(list, 3), 65);  // channel index 0
  EXPECT_EQ(doc->CanUndo(), 1);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
  EXPECT_EQ(host.songWindowUpdates, 1);
  doc->UndoRedo();
  EXPECT_EQ(KeyAt(list, 0), 60);
  EXPECT_EQ(KeyAt(list, 1), 62);
  doc->UndoRedo();
  // A later "Mute" click in the song window drops the command.
  auto pane = Pane();
  pane->OnLButtonDown(QPoint(pane->Geometry().ColumnLeft(ChannelGeometry::kMute) + 10, pane->Geometry().RowTop(1) + 10));
  EXPECT_EQ(doc->CanUndo(), 0);
}

TEST_F(SongDialogsTest, TransposePastTheTopBeepsAndStays) {
  auto& list = *doc->GetMidiList();
  AddEvent(list, 0, 60, {0x90, 125, 100});
  CTransposeDlg dialog(host);
  dialog.OnInitDialog();
  ui::item<QComboBox>(&dialog, CTransposeDlg::kShift)->setCurrentText(QStringLiteral("+7"));
  SetPosition(dialog.To(), 2, 1, 0);
  dialog.DoDataExchange(false);
  dialog.OnOK();
  EXPECT_EQ(fake.messages.beeps, 1);
  EXPECT_EQ(KeyAt(list, 0), 125);
  EXPECT_EQ(doc->CanUndo(), 0);
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(SongDialogsTest, TransposeNeedsToAfterFrom) {
  CTransposeDlg dialog(host);
  dialog.show();
  dialog.OnOK();
  EXPECT_EQ(fake.messages.ShownIds(), std::vector<int>{7076});
  EXPECT_EQ(dialog.focusWidget(), ui::item<QWidget>(&dialog, CTransposeDlg::kToMeasure));
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SongDialogsTest, TransposeOkFollowsTheDeviceAtOpening) {
  host.deviceIdle = 0;
  CTransposeDlg dialog(host);
  dialog.OnInitDialog();
  EXPECT_FALSE(ui::item<QPushButton>(&dialog, 1)->isEnabled());
}

TEST(TransposeDlg, ShiftEntries) {
  const std::pair<const char*, int> cases[] = {{"3 Octave Up", 36}, {"1 Octave Down", -12}, {"+7", 7},
                                               {"-11", -11},        {"No Shift", 0},       {"+5", 5}};
  for (auto [text, semitones] : cases) EXPECT_EQ(CTransposeDlg::ShiftOf(QString::fromLatin1(text)), semitones) << text;
}

TEST_F(SongDialogsTest, RegionEditEraseOnOneChannelHasNoSnip) {
  CRegionEditDlg dialog(host);
  dialog.SetMode(CRegionEditDlg::kErase);
  dialog.OnInitDialog();
  auto* source = ui::item<QComboBox>(&dialog, CRegionEditDlg::kSourceChannel);
  auto* option = ui::item<QCheckBox>(&dialog, CRegionEditDlg::kOption);
  EXPECT_EQ(source->count(), 17);
  EXPECT_EQ(source->currentText(), QStringLiteral("ALL"));
  EXPECT_TRUE(option->isEnabled());
  EXPECT_EQ(option->text(), QStringLiteral("Snip"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Erase"));
  EXPECT_TRUE(ui::item<QWidget>(&dialog, CRegionEditDlg::kTargetChannel)->isHidden());
  option->setChecked(true);
  source->setCurrentIndex(2);
  EXPECT_FALSE(option->isEnabled());
  SetPosition(dialog.To(), 2, 1, 0);
  dialog.DoDataExchange(false);
  dialog.OnOK();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.GetSourceChannel(), 2);
  EXPECT_EQ(dialog.GetOption(), 0);
  EXPECT_EQ(dialog.GetPosition(1), 120u);
}

TEST_F(SongDialogsTest, RegionEditDuplicateReadsTheTargetOnAccept) {
  CRegionEditDlg dialog(host);
  dialog.OnInitDialog();
  auto* source = ui::item<QComboBox>(&dialog, CRegionEditDlg::kSourceChannel);
  auto* target = ui::item<QComboBox>(&dialog, CRegionEditDlg::kTargetChannel);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Duplicate"));
  EXPECT_FALSE(target->isEnabled());
  source->setCurrentIndex(1);
  EXPECT_TRUE(target->isEnabled());
  target->setCurrentIndex(5);
  SetPosition(dialog.From(), 1, 5, 23);
  SetPosition(dialog.To(), 3, 1, 0);
  SetPosition(dialog.Target(), 999, 5, 23);
  dialog.DoDataExchange(false);
  dialog.OnOK();
  EXPECT_EQ(dialog.GetSourceChannel(), 1);
  EXPECT_EQ(dialog.GetTargetChannel(), 5);
  EXPECT_EQ(dialog.GetPosition(0), 119u);
  EXPECT_EQ(dialog.GetPosition(2), 119879u);
}

TEST_F(SongDialogsTest, RegionEditNeedsToAfterFrom) {
  CRegionEditDlg dialog(host);
  dialog.show();
  dialog.OnOK();
  EXPECT_EQ(fake.messages.ShownIds(), std::vector<int>{7076});
  EXPECT_EQ(dialog.focusWidget(), ui::item<QWidget>(&dialog, CRegionEditDlg::kToMeasure));
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(SongDialogsTest, ChannelStatusWithoutChangeMarksNothing) {
  doc->SetChannelWord(0, 1);
  CChannelStatusDlg dialog(host);
  dialog.OnInitDialog();
  EXPECT_TRUE(ui::item<QCheckBox>(&dialog, CChannelStatusDlg::kFirstLed)->isEnabled());
  EXPECT_FALSE(ui::item<QCheckBox>(&dialog, CChannelStatusDlg::kFirstLed + 1)->isEnabled());
  dialog.OnOK();
  EXPECT_EQ(doc->TestModifiedFlags(3), 2u);
  EXPECT_EQ(host.songWindowUpdates, 0);
}

TEST_F(SongDialogsTest, ChannelStatusWritesChangedEnabledBoxes) {
  doc->SetChannelWord(0, 1);
  CChannelStatusDlg dialog(host);
  dialog.OnInitDialog();
  const int vs = doc->GetChannelVS(0);
  ui::item<QCheckBox>(&dialog, CChannelStatusDlg::kFirstVs)->setChecked(vs == 0);
  dialog.OnOK();
  EXPECT_EQ(doc->GetChannelVS(0), vs == 0 ? 1 : 0);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
  EXPECT_EQ(host.songWindowUpdates, 1);
}

}  // namespace
