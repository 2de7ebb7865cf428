// The menu bar of a real main frame while each kind of MDI window is active: every window
// leaves the user a File menu, and the tool windows with a menu of their own add their items.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/core/MainFrameTables.h"
#include "app/core/TrillotApp.h"
#include "app/ui/AnalysisTools.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainFrameReport.h"
#include "app/ui/MainFrameVoiceShell.h"
#include "app/ui/MainFrameWindows.h"
#include "app/ui/SongWindowSetup.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "uikit/MdiFrame.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

using ::testing::IsSupersetOf;

/// The command ids under each top-level popup of the bar, by the popup's text without "&".
std::map<QString, std::vector<int>> BarCommands(QMenuBar* bar) {
  std::map<QString, std::vector<int>> out;
  for (QAction* top : bar->actions()) {
    QMenu* menu = top->menu();
    if (!menu) continue;
    std::vector<int>& ids = out[top->text().remove('&')];
    for (QAction* a : menu->actions())
      if (!a->isSeparator() && !a->menu()) ids.push_back(a->data().toInt());
  }
  return out;
}

class MainFrameMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
    RegisterSongWindows(app);
    RegisterToolWindowClasses();
    RegisterAnalysisTools(app.GetAccessLog());
    auto engine = std::make_unique<mainframetest::RecordingEngine>();
    frame = std::make_unique<CMainFrame>(app, nullptr, [&engine] { return std::move(engine); });
    InstallVoiceWindows(*frame, app);
    ASSERT_EQ(frame->OnCreate(), 0);
    app.SetDocument(std::make_unique<CKZ1Doc>());
    app.GetDocument()->SetChannelValue(0, 1);
    host.registry.document = app.GetDocument();
    frame->show();
  }
  void TearDown() override {
    if (frame) frame->hide();
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    host.registry.document = nullptr;
    app.SetDocument(nullptr);
    for (const char* name : CMainFrame::SlotClassNames()) ui::ToolWindowRegistry::Instance().Unregister(name);
    SongWindowOpeners::Instance() = SongWindowOpeners{};
  }
  /// Opens (or finds) the window of a slot and makes it the active MDI child.
  QMdiSubWindow* Activate(int slot, int resource) {
    ui::IToolWindow* w = frame->GetSlot(slot);
    if (!w) w = frame->OpenToolWindow(slot, resource);
    auto* sub = dynamic_cast<QMdiSubWindow*>(w->Widget());
    if (!sub) return nullptr;
    sub->show();
    // The main window keeps the focus, whatever window the last step left active.
    QApplication::setActiveWindow(frame.get());
    frame->MdiArea()->setActiveSubWindow(sub);
    QApplication::processEvents();
    return sub;
  }

  platform::FakeHost host;
  CTrillotApp app;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameMenus, EveryWindowKindLeavesTheFileMenuAndAddsItsOwnItems) {
  struct Case {
    int slot;
    int resource;
    const char* ownPopup;  // null: the window has no menu of its own
    std::vector<int> ownItems;
  };
  const Case cases[] = {
      {CMainFrame::kSongWindow, 1002, "Edit", {57634, 57637}},
      {CMainFrame::kPianoRoll, 1003, nullptr, {}},
      {CMainFrame::kEventList, 1001, nullptr, {}},
      {CMainFrame::kTextScore, 1004, nullptr, {}},
      {CMainFrame::kVoiceList1, 1008, "Edit", {57634, 57637}},
      {CMainFrame::kVoiceList2, 1008, "Edit", {57634, 57637}},
      {CMainFrame::kVoiceList3, 1008, "Edit", {57634, 57637}},
      {CMainFrame::kVoiceAssignMap, 1013, "VAM", {32824, 40981, 40982}},
      {CMainFrame::kStreamPcmAssignMap, 1014, "SPAM", {32825, 32826, 32827}},
      {CMainFrame::kEventDensity, 1016, nullptr, {}},
      {CMainFrame::kStmSize, 1017, nullptr, {}},
      {CMainFrame::kAccessLog, 2551, nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CMainFrame::SlotClassNames()[c.slot]);
    QMdiSubWindow* sub = Activate(c.slot, c.resource);
    ASSERT_NE(sub, nullptr);
    // Offscreen, the graph windows may not take the activation; the area shows them current.
    ASSERT_EQ(frame->MdiArea()->currentSubWindow(), sub);
    const auto bar = BarCommands(frame->menuBar());
    ASSERT_TRUE(bar.count("File"));
    EXPECT_THAT(bar.at("File"), IsSupersetOf({57665}));  // Exit
    if (c.ownPopup) {
      ASSERT_TRUE(bar.count(c.ownPopup)) << c.ownPopup;
      EXPECT_THAT(bar.at(c.ownPopup), IsSupersetOf(c.ownItems));
    }
    if (auto* mdi = dynamic_cast<ui::MdiFrame*>(sub); mdi && mdi->menuResource() != 0) {
      EXPECT_EQ(frame->Menu(mdi->menuResource()).resourceId, mdi->menuResource());
    }
  }
  // The last window gone, the main window's own menu comes back.
  frame->MdiArea()->closeAllSubWindows();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const auto bar = BarCommands(frame->menuBar());
  ASSERT_TRUE(bar.count("File"));
  EXPECT_FALSE(bar.count("VAM"));
}

TEST_F(MainFrameMenus, ToolMenuCommandsReachTheirWindowAndFollowItsState) {
  QMdiSubWindow* map = Activate(CMainFrame::kStreamPcmAssignMap, 1014);
  ASSERT_NE(map, nullptr);
  // The song has no stream-PCM wave: nothing to export, the import is offered.
  EXPECT_FALSE(frame->Router().Update(32827).enabled);
  EXPECT_TRUE(frame->Router().Update(32826).enabled);
  // Output profile 2 leaves the older-version import out of the bar, as the map's own popup does.
  EXPECT_EQ(frame->Menu(1014).FindCommand(32828), nullptr);
  ASSERT_NE(Activate(CMainFrame::kVoiceAssignMap, 1013), nullptr);
  EXPECT_EQ(frame->Router().Update(32826).enabled, false);
  EXPECT_NE(frame->Menu(1013).FindCommand(32824), nullptr);
}

TEST_F(MainFrameMenus, StartUpEditsOfTheMainMenuReachTheToolMenus) {
  frame->ApplyMenuEdits(BuildMenuEdits(3, 2, 1));
  for (int resource : {1008, 1013, 1014}) {
    SCOPED_TRACE(resource);
    const MenuModel& tool = frame->Menu(resource);
    EXPECT_NE(tool.FindCommand(57665), nullptr);  // Exit stays
    for (int gone : {57600, 32774, 32779, 32784}) EXPECT_EQ(tool.FindCommand(gone), nullptr) << gone;
  }
}

TEST_F(MainFrameMenus, ReportListsEveryMenuTheFrameCanInstallAndItsGeometry) {
  frame->setGeometry(40, 50, 900, 600);
  const std::string report = BuildUiReport(*frame).toStdString();
  for (const char* menu : {"menu 1000\n", "menu 1002\n", "menu 1008\n", "menu 1013\n", "menu 1014\n"})
    EXPECT_THAT(report, ::testing::HasSubstr(menu));
  EXPECT_THAT(report, ::testing::HasSubstr("item 32824 \"Send Assigned Voice Message...\""));
  EXPECT_THAT(report, ::testing::HasSubstr("popup \"SPAM\""));
  const QRect g = frame->geometry();
  EXPECT_THAT(report, ::testing::HasSubstr(QStringLiteral("frame %1 %2 %3 %4\n")
                                               .arg(g.x())
                                               .arg(g.y())
                                               .arg(g.width())
                                               .arg(g.height())
                                               .toStdString()));
}

std::vector<std::string>* g_warnings = nullptr;

void KeepWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (g_warnings && type != QtDebugMsg && type != QtInfoMsg) g_warnings->push_back(text.toStdString());
}

TEST_F(MainFrameMenus, ASessionWithMixerVoiceListAndVoiceEditorEndsWithEveryObjectOwnedOnce) {
  std::vector<std::string> warnings;
  g_warnings = &warnings;
  const QtMessageHandler before = qInstallMessageHandler(KeepWarnings);
  frame->OnCommand(32797);  // the mixer
  ASSERT_NE(Activate(CMainFrame::kVoiceList3, 1008), nullptr);
  CVoiceItem* voice = app.GetVoiceLibrary().FindOrCreateVoice(124, 1, 0, 255);
  ASSERT_NE(voice, nullptr);
  {
    CKZxVoiceEditDlg sheet(QStringLiteral("Voice Edit"), frame.get(), 0, VoiceWindowHost::EditShell());
    sheet.Init(*voice, 1, 0);
    QTimer::singleShot(0, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    sheet.DoModal();
  }
  frame->OnCommand(32797);
  frame->hide();
  frame.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  qInstallMessageHandler(before);
  g_warnings = nullptr;
  for (const std::string& w : warnings) EXPECT_EQ(w.find("shared QObject"), std::string::npos) << w;
}

}  // namespace
