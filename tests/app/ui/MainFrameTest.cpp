// Tests of the main window over fake host services, a recording engine and recording tool
// windows: layout, queries, Space, saved state, blinking panes, notifications and refreshes.
#include "app/ui/MainFrame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <thread>

#include "app/core/AppPlayState.h"
#include "app/core/MainFrameTables.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrameBars.h"
#include "app/ui/MainFrameReport.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/core/StartupFakes.h"
#include "uikit/ActionRegistry.h"
#include "uikit/QtNotifySink.h"
#include "uikit/UpDownControl.h"
#include "tests/app/ui/MainFrameFakes.h"

namespace {

using mainframetest::RecordingEngine;
using mainframetest::RecordingWindow;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

/// Records every command dispatched after the frame, as the application's handlers would take them.
class CommandLog final : public ui::ICommandTarget {
 public:
  explicit CommandLog(std::function<void(int)> onCommand = {}) : m_on(std::move(onCommand)) {}
  bool OnCommand(int id) override {
    ids.push_back(id);
    if (m_on) m_on(id);
    return true;
  }
  bool HandlesCommand(int id) const override { return id == 1387 || id == 1391; }
  std::vector<int> ids;

 private:
  std::function<void(int)> m_on;
};

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    appPlayState().repeat = false;
    appPlayState().suppressPositionPosts = false;
    appPlayState().playPositionMs = 0;
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    // As every start writes it: MIDI ports, so the output engine tells whether play runs.
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
    for (const char* name : CMainFrame::SlotClassNames()) {
      ui::ToolWindowRegistry::Instance().Register(name, [this, name = std::string(name)](const ui::ToolWindowContext& context) {
        return new RecordingWindow(name, log, context.mainWindow);
      });
    }
  }
  void TearDown() override {
    frame.reset();
    // Windows closed during the test are gone before the next test's log exists.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const char* name : CMainFrame::SlotClassNames()) ui::ToolWindowRegistry::Instance().Unregister(name);
  }

  CMainFrame& Make() {
    auto owned = std::make_unique<RecordingEngine>();
    engine = owned.get();
    frame = std::make_unique<CMainFrame>(app, nullptr, [&owned] { return std::move(owned); });
    EXPECT_EQ(frame->OnCreate(), 0);
    frame->AddCommandTarget(&commands);
    return *frame;
  }
  CKZ1Doc& OpenSong() {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    return *app.GetDocument();
  }
  /// The engine's Stop calls: each stop of play on the frame runs one.
  int Stops() const { return static_cast<int>(std::count(engine->calls.begin(), engine->calls.end(), "Stop")); }
  template <typename T>
  T* Control(int id) const {
    return ui::item<T>(frame.get(), id);
  }

  platform::FakeHost host;
  CTrillotApp app;
  std::vector<std::string> log;
  CommandLog commands;
  RecordingEngine* engine = nullptr;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, CreationBuildsTheToolbarPanesAndBars) {
  CMainFrame& f = Make();
  EXPECT_THAT(f.Indicators(), ElementsAre(0, 61221, 61222, 61218, 61219, 61220, 61216, 61217, 32785));
  EXPECT_EQ(f.PaneWidthOf(61221), 150);
  EXPECT_EQ(f.PaneWidthOf(61216), 35);
  EXPECT_EQ(f.PaneText(61216), "FM16");
  EXPECT_EQ(f.PaneText(61219), "MD[B/s]:");
  EXPECT_EQ(f.ToolBar()->actions().size(), 15);
  // Only MV, its spin, the preset combo and "Set" stay on the volume bar.
  for (int id : {2302, 1384, 1385, 5001, 5000}) EXPECT_FALSE(Control<QWidget>(id)->isHidden()) << id;
  for (int id : {1389, 1381, 1379, 1390, 1382, 1380, 2507, 2508, 2509}) EXPECT_TRUE(Control<QWidget>(id)->isHidden()) << id;
  EXPECT_EQ(Control<QLineEdit>(2528)->text(), "RS[B]:");
  EXPECT_TRUE(Control<QLineEdit>(2532)->isHidden());
  EXPECT_TRUE(Control<QWidget>(2217)->isHidden());
  EXPECT_EQ(Control<QComboBox>(2152)->currentText(), "0");
  EXPECT_EQ(Control<QComboBox>(2556)->currentText(), "100");
  EXPECT_EQ(Control<QComboBox>(5001)->currentText(), "Default");
  EXPECT_EQ(Control<ui::UpDownControl>(1393)->value(), 120);
  EXPECT_EQ(Control<ui::UpDownControl>(1396)->maximum(), 32767);
  EXPECT_EQ(Control<QLineEdit>(1384)->text(), "100");
}

TEST_F(MainFrameTest, OneActionPerCommandWithTheAcceleratorsOnTheWindow) {
  CMainFrame& f = Make();
  for (int id : mainframe::AllCommandIds()) {
    QAction* a = f.Actions().Find(id);
    ASSERT_NE(a, nullptr) << id;
    EXPECT_TRUE(f.actions().contains(a)) << id;
  }
  const std::pair<int, QKeySequence> keys[] = {{57600, QKeySequence("Ctrl+N")}, {57601, QKeySequence("Ctrl+O")},
                                               {32772, QKeySequence("Ctrl+L")}, {32775, QKeySequence("Ctrl+R")},
                                               {57603, QKeySequence("Ctrl+S")}, {57643, QKeySequence("Ctrl+Z")},
                                               {57644, QKeySequence("Ctrl+Y")}, {57634, QKeySequence("Ctrl+C")},
                                               {57637, QKeySequence("Ctrl+V")}};
  for (const auto& [id, key] : keys) EXPECT_EQ(f.Actions().Find(id)->shortcut(), key) << id;
}

TEST_F(MainFrameTest, ReportBarSecondLineForProfileOneWithMakerFour) {
  app.SetOutputProfile(1);
  app.SetMakerID(4);
  CMainFrame& f = Make();
  EXPECT_FALSE(Control<QLineEdit>(2532)->isHidden());
  EXPECT_EQ(Control<QLineEdit>(2532)->text(), "RS(for Java)[B]:");
  EXPECT_THAT(f.Indicators(), ElementsAre(0, 61221, 61218, 61219, 61220, 61216, 61217, 32785));
  // Under profile 1 the section combo gives way to the "TB" combo.
  EXPECT_TRUE(Control<QWidget>(1377)->isHidden());
  EXPECT_FALSE(Control<QWidget>(2217)->isHidden());
}

TEST_F(MainFrameTest, ApplyChipModeSetsChannelsSpinRangeAndLimits) {
  CMainFrame& f = Make();
  struct Case {
    int mode, channels, spinMax;
  };
  for (const Case& c : {Case{1, 4, 3}, Case{2, 16, 3}, Case{3, 16, 32767}, Case{5, 16, 32767}}) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(f.ApplyChipMode(c.mode), 1);
    EXPECT_EQ(f.GetChannelCount(), c.channels);
    EXPECT_EQ(Control<ui::UpDownControl>(1396)->maximum(), c.spinMax);
    uint8_t sp[3];
    f.SpLimits(sp);
    EXPECT_EQ(sp[0], 0);
    EXPECT_EQ(sp[1], 31);
    EXPECT_EQ(sp[2], 31);
  }
  // Mode 4 changes neither the channels nor the spin.
  f.ApplyChipMode(1);
  EXPECT_EQ(f.ApplyChipMode(4), 1);
  EXPECT_EQ(f.GetChannelCount(), 4);
  EXPECT_EQ(Control<ui::UpDownControl>(1396)->maximum(), 3);
  f.SetOptionByte1(4);
  f.ApplyChipMode(3);
  EXPECT_EQ(f.GetOptionByte1(), 0);
}

TEST_F(MainFrameTest, SelectedSectionByTheSectionTable) {
  CMainFrame& f = Make();
  auto* combo = Control<QComboBox>(1377);
  EXPECT_EQ(f.GetSelectedSection(), 0);
  combo->addItems({"Refrain", "Bridge", "Chorus"});
  combo->setCurrentText("Refrain");
  EXPECT_EQ(f.GetSelectedSection(), 7);
  combo->setCurrentText("Bridge");
  EXPECT_EQ(f.GetSelectedSection(), 5);
  combo->setCurrentText("Chorus");
  EXPECT_EQ(f.GetSelectedSection(), 0);
  combo->setCurrentText("Refrain");
  for (int profile : {1, 7}) {
    app.SetOutputProfile(profile);
    EXPECT_EQ(f.GetSelectedSection(), 0) << profile;
  }
}

TEST_F(MainFrameTest, KeyAndTempoChangeFromTheirCombos) {
  CMainFrame& f = Make();
  EXPECT_EQ(f.GetKeyChange(), 12);
  EXPECT_EQ(f.GetTempoChange(), 100);
  Control<QComboBox>(2152)->setCurrentText("+12");
  Control<QComboBox>(2556)->setCurrentText("70");
  EXPECT_EQ(f.GetKeyChange(), 24);
  EXPECT_EQ(f.GetTempoChange(), 70);
  Control<QComboBox>(2152)->setCurrentText("-12");
  Control<QComboBox>(2556)->setCurrentText("130");
  EXPECT_EQ(f.GetKeyChange(), 0);
  EXPECT_EQ(f.GetTempoChange(), 130);
  Control<QComboBox>(2152)->setEnabled(false);
  Control<QComboBox>(2556)->setEnabled(false);
  EXPECT_EQ(f.GetKeyChange(), 12);
  EXPECT_EQ(f.GetTempoChange(), 100);
}

TEST_F(MainFrameTest, MasterVolumeForANewStart) {
  CMainFrame& f = Make();
  EXPECT_EQ(f.ApplyMasterVolume(), 100);
  host.profile.WriteProfileInt("Setting", "MasterVolume", 128);
  EXPECT_EQ(f.ApplyMasterVolume(), 100);
  host.profile.WriteProfileInt("Setting", "MasterVolume", 90);
  EXPECT_EQ(f.ApplyMasterVolume(), 90);
  app.SetOutputProfile(4);
  EXPECT_EQ(f.ApplyMasterVolume(), 100);
  f.SetMasterVolumeSpin(200);
  EXPECT_EQ(Control<ui::UpDownControl>(1385)->value(), 127);
  EXPECT_EQ(app.GetMasterVolume(), 127);
}

/// The engine's Play and Stop calls, in order.
std::vector<std::string> PlayAndStop(const std::vector<std::string>& calls) {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c == "Play" || c == "Stop") out.push_back(c);
  return out;
}

TEST_F(MainFrameTest, SpaceTogglesPlay) {
  Make();
  OpenSong();
  QTest::keyClick(Control<QComboBox>(2152), Qt::Key_Space);
  EXPECT_TRUE(engine->playing);
  engine->calls.clear();
  QTest::keyClick(Control<QLineEdit>(1384), Qt::Key_Space);
  EXPECT_THAT(PlayAndStop(engine->calls), ElementsAre("Stop"));
  EXPECT_FALSE(engine->playing);
}

TEST_F(MainFrameTest, SpaceOnRepeatButtonOrInADialogIsNotPlay) {
  CMainFrame& f = Make();
  OpenSong();
  auto* repeat = Control<QPushButton>(1383);
  repeat->setEnabled(true);  // as with a song open
  QTest::keyClick(repeat, Qt::Key_Space);
  EXPECT_TRUE(PlayAndStop(engine->calls).empty());
  EXPECT_TRUE(repeat->isChecked());
  QDialog dialog(&f);
  QLineEdit edit(&dialog);
  QTest::keyClick(&edit, Qt::Key_Space);
  EXPECT_TRUE(PlayAndStop(engine->calls).empty());
  QTimer::singleShot(0, [&] {
    QTest::keyClick(&edit, Qt::Key_Space);
    dialog.reject();
  });
  dialog.exec();
  EXPECT_TRUE(PlayAndStop(engine->calls).empty());
}

TEST_F(MainFrameTest, DropsAreOffWhileSpaceRunsItsCommand) {
  Make();
  OpenSong();
  bool during = true;
  engine->onPlay = [&] { during = frame->acceptDrops(); };
  frame->setAcceptDrops(true);
  QTest::keyClick(Control<QComboBox>(2152), Qt::Key_Space);
  EXPECT_FALSE(during);
  EXPECT_TRUE(frame->acceptDrops());
}

TEST_F(MainFrameTest, SaveWindowStateWritesEachSlotInOrderAndStopsAtAFailedWrite) {
  CMainFrame& f = Make();
  ui::IToolWindow* list = f.OpenToolWindow(CMainFrame::kVoiceList3, 1008);
  ui::IToolWindow* map = f.OpenToolWindow(CMainFrame::kVoiceAssignMap, 1005);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(map, nullptr);
  map->ShowWindow(false);
  host.profile.writes.clear();
  EXPECT_EQ(f.SaveWindowState(), 1);
  EXPECT_THAT(host.profile.writes,
              ElementsAre("WindowState/*deleted*", "WindowState/CVListFrmKZ3=1", "WindowState/CVAMFrm=0", "WindowState/CMixerDlg=0",
                          "WindowState/CMixer16Dlg=0", "WindowState/CVelocityChangeDlg=0"));
  host.profile.failWrites = true;
  host.profile.writes.clear();
  EXPECT_EQ(f.SaveWindowState(), 0);
  EXPECT_LE(host.profile.writes.size(), 2u);
}

TEST_F(MainFrameTest, BarLayoutComesBackAndADamagedOneGivesTheDefault) {
  {
    CMainFrame& f = Make();
    f.addToolBar(Qt::BottomToolBarArea, f.ControlBar());
    f.SaveToolBarState();
  }
  frame.reset();
  CMainFrame& again = Make();
  EXPECT_EQ(again.toolBarArea(again.ControlBar()), Qt::BottomToolBarArea);
  frame.reset();
  host.profile.WriteProfileString("ToolBarState", "State", "not a state at all");
  CMainFrame& damaged = Make();
  EXPECT_EQ(damaged.toolBarArea(damaged.ControlBar()), Qt::TopToolBarArea);
}

TEST_F(MainFrameTest, RestoredPlacementLiesWithinTheScreen) {
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect wanted(room.right() - 100, room.top() + 20, room.width() + 600, room.height() + 50);
  const QRect fitted = CMainFrame::FitToScreen(wanted);
  EXPECT_TRUE(room.contains(fitted)) << fitted.x() << "," << fitted.y() << " " << fitted.width() << "x" << fitted.height();
  EXPECT_EQ(fitted.size(), room.size());
  const QRect small(room.left() + 10, room.top() + 10, 300, 200);
  EXPECT_EQ(CMainFrame::FitToScreen(small), small);
  // Partly off the screen: moved in, its size kept.
  const QRect moved = CMainFrame::FitToScreen(QRect(room.right() - 100, room.bottom() - 50, 400, 300));
  EXPECT_EQ(moved.size(), QSize(400, 300));
  EXPECT_TRUE(room.contains(moved));
}

TEST_F(MainFrameTest, CloseCancelledAtTheSaveQuestionHasSavedItsState) {
  CMainFrame& f = Make();
  OpenSong().AddModifiedFlags(1);
  ASSERT_NE(app.GetDocument()->TestModifiedFlags(1), 0u);
  host.messages.answers.push_back(2);  // Cancel at 7091
  EXPECT_FALSE(f.OnClose());
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7091));
  EXPECT_EQ(host.profile.GetProfileInt("WindowPosition\\CMainFrame", "right", -1) != -1, true);
  EXPECT_NE(host.profile.GetProfileString("ToolBarState", "State", ""), "");
  EXPECT_EQ(host.profile.GetProfileString("Setting\\Volume", "Set", ""), "Default");
}

TEST_F(MainFrameTest, ClipVoiceItemReplacesAndFreesTheOldOne) {
  CMainFrame& f = Make();
  f.SetClipVoiceItem(new CVoiceItem, 1);
  CVoiceItem* second = new CVoiceItem;
  f.SetClipVoiceItem(second, 2);
  EXPECT_EQ(f.GetClipVoiceItem(), second);
  EXPECT_EQ(f.GetClipVoiceKind(), 2);
  f.SetClipVoiceItem(nullptr, 0);
  EXPECT_EQ(f.GetClipVoiceItem(), nullptr);
  EXPECT_EQ(f.GetClipboard(), nullptr);
  EXPECT_EQ(CMainFrame::kClipEntrySize, 33);
}

/// A point of a pane's fill clear of its text: near the bottom-right corner of the rectangle
/// shrunk by 1.
QPoint FillPoint(const QRect& pane) { return pane.adjusted(1, 1, -1, -1).bottomRight() - QPoint(2, 1); }

TEST_F(MainFrameTest, OverLimitPanesBlinkRedOnPhaseOneTicks) {
  CMainFrame& f = Make();
  CKZ1Doc& doc = OpenSong();
  doc.SetDensityInfo(0, 600, 1200, 300, 1000, {});
  f.resize(1600, 500);
  f.show();
  QApplication::processEvents();
  f.UpdateStatusPanes();
  EXPECT_EQ(f.GetBlinkFlag1(), 1);
  EXPECT_EQ(f.GetBlinkFlag2(), 1);
  EXPECT_TRUE(f.IsBlinkTimerRunning());
  EXPECT_EQ(f.PaneText(61218), "AD[B/s]:600");
  const QColor red(192, 0, 0);
  const QColor face = f.statusBar()->palette().color(QPalette::Button);
  for (int phase : {0, 1, 0}) {
    SCOPED_TRACE(phase);
    ASSERT_EQ(f.GetBlinkPhase(), phase);
    f.OnTimer();
    const QImage img = f.statusBar()->grab().toImage();
    for (int pane : {61219, 61220, 61218}) {
      const QColor at = img.pixelColor(FillPoint(f.PaneRect(pane)));
      EXPECT_EQ(at, phase == 1 ? red : face) << pane;
    }
    // Panes under their limits never turn red.
    EXPECT_EQ(img.pixelColor(FillPoint(f.PaneRect(61221))), face);
  }
  // Closing the song stops the timer and leaves the labels.
  app.SetDocument(nullptr);
  f.UpdateStatusPanes();
  EXPECT_FALSE(f.IsBlinkTimerRunning());
  EXPECT_EQ(f.PaneText(61218), "AD[B/s]:");
  EXPECT_EQ(f.PaneText(61216), "FM16");
}

TEST_F(MainFrameTest, RamSizeLineTurnsRedWhileTheSecondLineKeepsItsColour) {
  app.SetOutputProfile(1);
  app.SetMakerID(4);
  CMainFrame& f = Make();
  f.resize(1600, 500);
  f.show();
  QApplication::processEvents();
  CReportBar* bar = f.ReportBarWidget();
  auto colourOf = [](QLineEdit* line) {
    const QImage img = line->grab().toImage();
    return img.pixelColor(img.width() - 4, img.height() / 2);
  };
  const QColor before = colourOf(bar->Line(2532));
  bar->SetWarning(1);
  EXPECT_EQ(bar->CurrentColor(), 192u);
  EXPECT_EQ(colourOf(bar->Line(2528)), QColor(192, 0, 0));
  EXPECT_EQ(colourOf(bar->Line(2532)), before);
  EXPECT_EQ(bar->OnCtlColor(2532), bar->palette().color(QPalette::Button));
  // Without a song the frame's refresh takes the warning back.
  f.SetReportBlink(1);
  f.OnTimer();
  f.OnTimer();
  EXPECT_EQ(f.GetReportBlink(), 0);
  EXPECT_NE(bar->CurrentColor(), 192u);
  EXPECT_EQ(colourOf(bar->Line(2528)), before);
}

TEST_F(MainFrameTest, PositionReportRefreshesWithTheFlagSetAndTakesTheBoardsPosition) {
  CMainFrame& f = Make();
  CKZ1Doc& doc = OpenSong();
  f.OpenToolWindow(CMainFrame::kSongWindow, 1002);
  log.clear();
  engine->boardAnswer = 1500;
  EXPECT_EQ(f.OnPlayerNotify(8, 0), 1);
  EXPECT_EQ(CurrentPlayPosition(), 1500u + doc.GetSectionStartTime(0, 0) + static_cast<uint32_t>(doc.GetBoardValue()));
  EXPECT_EQ(PlayPositionRefresh(), 0);
  EXPECT_THAT(log, ::testing::Contains("CChildFrame.Refresh*"));
  // A board that does not answer keeps the position; the windows refresh all the same.
  engine->boardAnswers = false;
  log.clear();
  f.OnPlayerNotify(8, 0);
  EXPECT_EQ(CurrentPlayPosition(), 1500u);
  EXPECT_THAT(log, ::testing::Contains("CChildFrame.Refresh*"));
  // Profile 4 reads the engine's own position.
  app.SetOutputProfile(4);
  engine->ownPosition = 777;
  f.OnPlayerNotify(8, 0);
  EXPECT_EQ(CurrentPlayPosition(), 777u);
}

TEST_F(MainFrameTest, PositionReportDuringARefreshOrWithoutASongChangesNothing) {
  CMainFrame& f = Make();
  f.OnPlayerNotify(8, 0);
  EXPECT_EQ(Stops(), 1);  // no song, no direct play: Stop
  OpenSong();
  appPlayState().suppressPositionPosts = true;
  appPlayState().playPositionMs = 42;
  engine->boardAnswer = 1000;
  log.clear();
  f.OnPlayerNotify(8, 0);
  EXPECT_EQ(CurrentPlayPosition(), 42u);
  EXPECT_EQ(engine->boardReads, 0);
  EXPECT_TRUE(log.empty());
  appPlayState().suppressPositionPosts = false;
}

TEST_F(MainFrameTest, EndOfPlayRestartsFromTheSectionWithRepeatElseStops) {
  CMainFrame& f = Make();
  CKZ1Doc& doc = OpenSong();
  appPlayState().repeat = true;
  f.OnPlayerNotify(9, 0);
  ASSERT_EQ(engine->startTimes.size(), 1u);
  EXPECT_EQ(engine->startTimes[0].first,
            doc.GetSectionStartTime(f.GetSelectedSection(), 0) + static_cast<uint32_t>(doc.GetBoardValue()));
  EXPECT_EQ(engine->startTimes[0].second, 1);
  EXPECT_EQ(Stops(), 0);
  appPlayState().repeat = false;
  f.OnPlayerNotify(9, 0);
  EXPECT_EQ(Stops(), 1);
  EXPECT_EQ(engine->startTimes.size(), 1u);
  // Other values are ignored.
  f.OnPlayerNotify(3, 0);
  EXPECT_EQ(Stops(), 1);
}

TEST_F(MainFrameTest, OnceASecondRemovesAWaitingDuplicate) {
  CMainFrame& f = Make();
  OpenSong();
  ui::QtNotifySink sink;
  f.AttachNotifySink(&sink);
  sink.Post(platform::kWmPlaySecond, 10, 0, false);
  sink.Post(platform::kWmPlaySecond, 10, 0, false);
  QCoreApplication::sendPostedEvents();
  // The first one taken removed the second before it ran; nothing else happened.
  EXPECT_EQ(Stops(), 0);
  f.AttachNotifySink(nullptr);
}

TEST_F(MainFrameTest, PositionPostsFromAnotherThreadReachTheFrameOnItsThread) {
  CMainFrame& f = Make();
  OpenSong();
  ui::QtNotifySink sink;
  f.AttachNotifySink(&sink);
  engine->boardAnswer = 250;
  std::thread worker([&sink] {
    for (int i = 0; i < 500; ++i) sink.Post(platform::kWmPlayPosition, 8, 0, true);
  });
  worker.join();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(engine->boardReads, 1);  // a flood leaves one waiting
  EXPECT_TRUE(engine->readOnGuiThread);
  EXPECT_GE(CurrentPlayPosition(), 250u);
  f.AttachNotifySink(nullptr);
}

TEST_F(MainFrameTest, RefreshAndCloseOrders) {
  CMainFrame& f = Make();
  OpenSong();
  for (int slot = 0; slot < CMainFrame::kSlotCount; ++slot) f.OpenToolWindow(slot, 1);
  log.clear();
  f.UpdateSongWindows();
  EXPECT_THAT(log, ElementsAre("CChildFrame.Refresh", "CPRollFrm.Refresh", "CEListFrm.Refresh", "CMixerDlg.Refresh",
                               "CMixer16Dlg.Refresh", "CVAMFrm.Refresh", "CAAMFrm.Refresh", "CKZ3EventDensFrm.Refresh",
                               "CKZ3STMSizeFrm.Refresh", "CKZxAccessLogFrm.Refresh"));
  log.clear();
  f.UpdateVoiceWindows();
  EXPECT_THAT(log, ElementsAre("CChildFrame.Refresh", "CPRollFrm.Refresh", "CVListFrm.Refresh", "CVListFrmKZ2.Refresh",
                               "CVListFrmKZ3.Refresh", "CMixerDlg.Refresh", "CMixer16Dlg.Refresh", "CVAMFrm.Refresh",
                               "CAAMFrm.Refresh"));
  log.clear();
  f.ResetEditorDialogs();
  EXPECT_THAT(log, ElementsAre("CVAMFrm.Close", "CAAMFrm.Close", "CMixerDlg.Reset", "CMixer16Dlg.Reset",
                               "CVelocityChangeDlg.Reset"));
  log.clear();
  f.CloseToolWindows();
  EXPECT_EQ(Stops(), 1);
  // The stop refreshes the panes, which enables the dialogs' controls; then the windows close.
  std::vector<std::string> closed;
  std::copy_if(log.begin(), log.end(), std::back_inserter(closed),
               [](const std::string& e) { return e.ends_with(".Close"); });
  EXPECT_THAT(closed, ElementsAre("CPRollFrm.Close", "CEListFrm.Close", "CKZ1TextScoreFrm.Close", "CKZ3EventDensFrm.Close",
                               "CKZ3STMSizeFrm.Close", "CKZxDirectPlayFrm.Close", "CChildFrame.Close"));
  EXPECT_EQ(f.GetSlot(CMainFrame::kSongWindow), nullptr);
}

TEST_F(MainFrameTest, ChannelTablesTakeTheSongsVoices) {
  CMainFrame& f = Make();
  CKZ1Doc& doc = OpenSong();
  f.UpdateSongWindows();
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(f.ChannelProgram()[k], static_cast<uint32_t>(doc.GetChannelProgram(k)) & 0xFF) << k;
    EXPECT_EQ(f.ChannelBankMsb()[k], static_cast<uint32_t>(doc.GetChannelBankMsb(k)) & 0xFF) << k;
  }
}

TEST_F(MainFrameTest, AccessLogCommandOpensThenClosesAndIsCheckedWhileOpen) {
  CMainFrame& f = Make();
  EXPECT_FALSE(f.Router().Update(40980).checked.value_or(true));
  f.Router().Dispatch(40980);
  EXPECT_NE(f.GetSlot(CMainFrame::kAccessLog), nullptr);
  EXPECT_TRUE(f.Router().Update(40980).checked.value_or(false));
  f.Router().Dispatch(40980);
  EXPECT_EQ(f.GetSlot(CMainFrame::kAccessLog), nullptr);
  EXPECT_FALSE(f.Router().Update(40980).checked.value_or(true));
}

TEST_F(MainFrameTest, UnregisteredClassOpensNothingAndDialogsComeFromTheRegistry) {
  ui::ToolWindowRegistry::Instance().Unregister("CVAMFrm");
  ui::ToolWindowRegistry::Instance().Unregister("CMixerDlg");
  CMainFrame& f = Make();
  EXPECT_EQ(f.OpenToolWindow(CMainFrame::kVoiceAssignMap, 1005), nullptr);
  EXPECT_EQ(f.GetSlot(CMainFrame::kMixer4), nullptr);
  EXPECT_NE(f.GetSlot(CMainFrame::kMixer16), nullptr);
  EXPECT_THAT(log, ::testing::Contains("CVelocityChangeDlg.SetChannelMode0"));
  // Every refresh skips the empty slots.
  f.UpdateSongWindows();
  ui::IToolWindow* graph = f.OpenToolWindow(CMainFrame::kStmSize, 1017, 8000);
  ASSERT_NE(graph, nullptr);
  EXPECT_THAT(log, ::testing::Contains("CKZ3STMSizeFrm.Setting8000"));
  EXPECT_EQ(f.OpenToolWindow(CMainFrame::kStmSize, 1017, 8000), graph);
}

TEST_F(MainFrameTest, SongStatesTheControlsOfTheControlBar) {
  CMainFrame& f = Make();
  OpenSong();
  f.UpdateStatusPanes();
  for (int id : {1397, 1383, 1392, 1393, 1377}) EXPECT_TRUE(Control<QWidget>(id)->isEnabled()) << id;
  EXPECT_FALSE(Control<QWidget>(1395)->isEnabled());
  EXPECT_TRUE(Control<QWidget>(1396)->isHidden());
  engine->playing = true;
  f.UpdateStatusPanes();
  for (int id : {1397, 1383, 1392, 1393, 1377, 5001, 1384}) EXPECT_FALSE(Control<QWidget>(id)->isEnabled()) << id;
}

TEST_F(MainFrameTest, ReportListsMenusPanesAndBars) {
  CMainFrame& f = Make();
  const QString report = BuildUiReport(f);
  EXPECT_THAT(report.toStdString(), HasSubstr("pane 61216 width=35 text=\"FM16\""));
  EXPECT_THAT(report.toStdString(), HasSubstr("control 2532 visible=0"));
  EXPECT_THAT(report.toStdString(), HasSubstr("item 32772 \"Import from SMF...\" shortcut=\"Ctrl+L\""));
}

TEST_F(MainFrameTest, WithASerialBoardOnlyMonitorReportsCount) {
  auto boardLog = std::make_shared<startuptest::FakeBoardLink::Log>();
  app.SetBoardLinkFactory([boardLog](const std::string&) {
    return std::make_unique<startuptest::FakeBoardLink>(boardLog, std::deque<std::string>{"FC"});
  });
  ASSERT_EQ(app.OpenBoardPort(1), 1);
  CMainFrame& f = Make();
  OpenSong();
  appPlayState().repeat = true;
  for (int w : {8, 9, 10}) f.OnPlayerNotify(w, 0);
  EXPECT_EQ(engine->boardReads, 0);
  EXPECT_TRUE(engine->startTimes.empty());
  EXPECT_EQ(Stops(), 0);
  // A status report with no new value stops play.
  f.OnPlayerNotify(1, 0);
  EXPECT_EQ(Stops(), 1);
  // A failed handshake shows 7081 and ends the program with status 2.
  int exitCode = -1;
  app.SetProcessExit([&exitCode](int code) { exitCode = code; });
  f.OnPlayerNotify(0, 0);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7081));
  EXPECT_EQ(exitCode, 2);
}

using MainFrameDeathTest = MainFrameTest;

TEST_F(MainFrameDeathTest, FailedBoardHandshakeEndsTheProcessWithStatusTwo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        auto boardLog = std::make_shared<startuptest::FakeBoardLink::Log>();
        app.SetBoardLinkFactory([boardLog](const std::string&) {
          return std::make_unique<startuptest::FakeBoardLink>(boardLog, std::deque<std::string>{"FC"});
        });
        if (!app.OpenBoardPort(1)) std::exit(9);
        CMainFrame& f = Make();
        f.OnPlayerNotify(0, 0);
        std::exit(0);
      },
      ::testing::ExitedWithCode(2), "");
}

}  // namespace
