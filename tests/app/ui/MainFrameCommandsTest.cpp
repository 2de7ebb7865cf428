// Tests of the main window's own commands over the route of commands: the voice copies between
// song and library (also from the voice map's menu ids), Edit Information, the tool-window
// openers and dropped files as real drop events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <vector>

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainFrameVoiceShell.h"
#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "uikit/CommandRouter.h"
#include "uikit/ToolWindow.h"

namespace {

using mainframetest::RecordingEngine;
using mainframetest::RecordingWindow;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kOk = 1;
constexpr int kCancel = 2;

CVoiceItem UserVoice(int program, const char* name) {
  CVoiceItem v;
  v.SetBankMsb(124);
  v.SetBankLsb(1);
  v.SetProgram(static_cast<uint8_t>(program));
  v.SetName(name);
  v.UpdateKind();
  return v;
}

class MainFrameCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
    for (const char* name : CMainFrame::SlotClassNames()) {
      ui::ToolWindowRegistry::Instance().Register(name, [this, name = std::string(name)](const ui::ToolWindowContext& c) {
        return new RecordingWindow(name, log, c.mainWindow);
      });
    }
  }
  void TearDown() override {
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const char* name : CMainFrame::SlotClassNames()) ui::ToolWindowRegistry::Instance().Unregister(name);
  }
  CMainFrame& Make() {
    auto owned = std::make_unique<RecordingEngine>();
    engine = owned.get();
    frame = std::make_unique<CMainFrame>(app, nullptr, [&owned] { return std::move(owned); });
    EXPECT_EQ(frame->OnCreate(), 0);
    return *frame;
  }
  /// A song whose slot 0 holds the user voice 124/1/0 played on channel 0.
  CKZ1Doc& SongWithVoice(const char* name) {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& doc = *app.GetDocument();
    doc.SetChannelValue(0, 1);
    for (int i = 0; i < 128; ++i) doc.ClearVoiceSlot(i);
    const CVoiceItem voice = UserVoice(0, name);
    doc.GetVoiceAssignTable().SetAddress(0, 124, 1, 0, 0);
    doc.GetVoiceAssignTable().SetVoiceItem(0, voice);
    return doc;
  }
  std::string SongVoiceName() { return app.GetDocument()->GetVoiceItem(0)->GetName(); }
  bool Enabled(int id) { return frame->Router().Update(id).enabled; }
  /// Drags the files over the main window and drops them, as the desktop does.
  void Drop(const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
  }
  std::vector<int> LoggedIds() const {
    std::vector<int> ids;
    for (const auto& entry : host.messages.log) ids.push_back(entry.id);
    return ids;
  }

  platform::FakeHost host;
  CTrillotApp app;
  std::vector<std::string> log;
  RecordingEngine* engine = nullptr;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameCommands, VoiceMapMenuIdsReachTheFramesTransfers) {
  CMainFrame& f = Make();
  SongWithVoice("Song");
  app.GetVoiceLibrary().GetVoiceBank().SetVoice(124, 1, 0, 0, UserVoice(0, "Library"));
  f.OpenToolWindow(CMainFrame::kVoiceAssignMap, 1005);
  log.clear();
  host.messages.answers = {kCancel};
  f.SendCommand(40981);
  EXPECT_EQ(SongVoiceName(), "Song");
  EXPECT_THAT(log, IsEmpty());
  host.messages.answers = {kOk};
  f.SendCommand(40981);
  EXPECT_EQ(SongVoiceName(), "Library");
  EXPECT_THAT(log, Contains("CVAMFrm.Refresh"));
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7138, 7138));

  app.GetDocument()->GetVoiceItem(0)->SetName("Edited");
  host.messages.answers = {kOk};
  f.SendCommand(40982);
  EXPECT_STREQ(app.GetVoiceLibrary().GetVoiceBank().FindByProgram(124, 1, 0)->GetName(), "Edited");
  EXPECT_EQ(app.GetVoiceLibrary().IsModified(), 1);

  host.messages.answers = {kOk};
  f.SendCommand(32824);
  EXPECT_EQ(host.messages.ShownIds().back(), 7137);
  EXPECT_THAT(engine->calls, Contains("SendVoice(1)"));
}

/// An active map window whose menu hands its commands to the main frame through the voice
/// windows' shell, as the voice assignment map does.
class ForwardingMap final : public QMdiSubWindow, public ui::ICommandTarget {
 public:
  explicit ForwardingMap(IVoiceWindowShell& shell) : m_shell(shell) {}
  bool OnCommand(int id) override {
    if (!HandlesCommand(id)) return false;
    // A command that came back here would go round for ever: the test stops it.
    if (++forwarded > 2) return true;
    m_shell.SendCommand(id);
    return true;
  }
  bool HandlesCommand(int id) const override { return id == 40981 || id == 40982 || id == 32824; }
  int forwarded = 0;

 private:
  IVoiceWindowShell& m_shell;
};

TEST_F(MainFrameCommands, MapMenuCommandsReachTheFrameOnceWhileTheMapIsActive) {
  CMainFrame& f = Make();
  SongWithVoice("Song");
  app.GetVoiceLibrary().GetVoiceBank().SetVoice(124, 1, 0, 0, UserVoice(0, "Library"));
  MainFrameVoiceShell shell(f);
  auto* map = new ForwardingMap(shell);
  map->setWidget(new QWidget);
  f.MdiArea()->addSubWindow(map);
  f.show();
  map->show();
  f.MdiArea()->setActiveSubWindow(map);
  ASSERT_EQ(f.MdiArea()->activeSubWindow(), map);
  f.SendCommand(40981);
  EXPECT_EQ(map->forwarded, 1);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7138));
  EXPECT_EQ(SongVoiceName(), "Library");
}

TEST_F(MainFrameCommands, ToolbarIdsAskTheirOwnQuestions) {
  CMainFrame& f = Make();
  SongWithVoice("Song");
  host.messages.answers = {kCancel, kCancel};
  f.SendCommand(40983);
  f.SendCommand(40984);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7138, 7139));
  EXPECT_EQ(app.GetVoiceLibrary().GetVoiceBank().FindByProgram(124, 1, 0), nullptr);
}

TEST_F(MainFrameCommands, SendAssignedVoicesSendsTheUserVoicesAndTheWavesTheirOperatorsPlay) {
  CMainFrame& f = Make();
  CKZ1Doc& doc = SongWithVoice("Song");
  CVoiceItem mine = UserVoice(0, "Mine");
  mine.SetOpWS(1, 15);
  mine.SetOpWS(2, 2);  // the song has no block 2
  doc.GetVoiceAssignTable().SetVoiceItem(0, mine);
  CVoiceItem fixed = UserVoice(0, "Fixed");
  fixed.SetBankLsb(10);
  fixed.SetAlgorithm(3);
  for (int op = 1; op <= 4; ++op) fixed.SetOpWS(op, 23);
  doc.GetVoiceAssignTable().SetAddress(1, 124, 10, 0, 0);
  doc.GetVoiceAssignTable().SetVoiceItem(1, fixed);
  for (int w : {15, 23}) {
    CNamedBlock block;
    const std::vector<uint8_t> bytes(64, static_cast<uint8_t>(w));
    block.SetData(bytes.data(), 64);
    doc.SetWaveBlock(w, &block);
  }
  doc.SetModifiedFlags(CKZ1Doc::kFlagUnsent);
  engine->calls.clear();
  host.messages.answers = {kCancel};
  f.SendCommand(40974);
  EXPECT_THAT(engine->calls, IsEmpty());
  host.messages.answers = {kOk};
  f.SendCommand(40974);
  EXPECT_THAT(engine->calls, ElementsAre("SendVoice(1)", "SendBoardCommand0D(15)", "SendBoardData0C(15,64)",
                                         "SendBoardCommand0D(23)", "SendBoardData0C(23,64)"));
  EXPECT_NE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent), 0);
}

TEST_F(MainFrameCommands, TransfersNeedASongWithPlayedVoicesAndNoPlay) {
  Make();
  const int ids[] = {40983, 40984, 40981, 40982, 32824, 40974};
  for (int id : ids) EXPECT_FALSE(Enabled(id)) << id;
  CKZ1Doc& doc = SongWithVoice("Song");
  for (int id : ids) EXPECT_TRUE(Enabled(id)) << id;
  engine->playing = true;
  for (int id : ids) EXPECT_FALSE(Enabled(id)) << id;
  engine->playing = false;
  doc.SetChannelValue(0, 0);  // no channel plays a note
  for (int id : ids) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(MainFrameCommands, EditInformationRunsTheDialogOfTheProfile) {
  std::vector<bool> asked;
  CTrillotApp::ShellDialogs dialogs;
  dialogs.information = [&asked](bool mfi) {
    asked.push_back(mfi);
    return 1;
  };
  app.SetShellDialogs(dialogs);
  CMainFrame& f = Make();
  EXPECT_FALSE(Enabled(32804));
  f.SendCommand(32804);
  EXPECT_THAT(asked, IsEmpty());
  SongWithVoice("Song");
  EXPECT_TRUE(Enabled(32804));
  for (int profile : {1, 2, 6, 8}) {
    app.SetOutputProfile(profile);
    f.SendCommand(32804);
  }
  EXPECT_THAT(asked, ElementsAre(true, false, true, false));
  app.SetChipMode(2);
  f.SendCommand(32804);
  EXPECT_EQ(asked.size(), 4u);
}

TEST_F(MainFrameCommands, VoiceListOpensOnceAndStmSizeOnlyForItsProfiles) {
  CMainFrame& f = Make();
  f.SendCommand(32800);
  ui::IToolWindow* list = f.GetSlot(CMainFrame::kVoiceList3);
  ASSERT_NE(list, nullptr);
  f.SendCommand(32800);
  EXPECT_EQ(f.GetSlot(CMainFrame::kVoiceList3), list);
  app.SetOutputProfile(1);
  f.SendCommand(32831);
  EXPECT_EQ(f.GetSlot(CMainFrame::kStmSize), nullptr);
  app.SetOutputProfile(2);
  f.SendCommand(32831);
  EXPECT_NE(f.GetSlot(CMainFrame::kStmSize), nullptr);
  EXPECT_THAT(log, Contains("CKZ3STMSizeFrm.Setting8000"));
}

TEST_F(MainFrameCommands, EventDensityTakesItsSettingForTheLimitedProfiles) {
  CMainFrame& f = Make();
  for (int profile = 1; profile <= 8; ++profile) {
    log.clear();
    f.SetSlot(CMainFrame::kEventDensity, nullptr);
    app.SetOutputProfile(profile);
    f.SendCommand(32805);
    ASSERT_NE(f.GetSlot(CMainFrame::kEventDensity), nullptr) << profile;
    const bool limited = profile == 1 || profile == 2 || profile == 3 || profile == 6 || profile == 8;
    if (limited) {
      EXPECT_THAT(log, ElementsAre("CKZ3EventDensFrm.Setting1000")) << profile;
    } else {
      EXPECT_THAT(log, IsEmpty()) << profile;
    }
  }
}

TEST_F(MainFrameCommands, MixerAndVelocityChangeShowAndHideTheFramesDialogs) {
  CMainFrame& f = Make();
  ui::IToolWindow* mixer = f.GetSlot(CMainFrame::kMixer16);
  ui::IToolWindow* velocity = f.GetSlot(CMainFrame::kVelocityChange);
  ASSERT_NE(mixer, nullptr);
  ASSERT_NE(velocity, nullptr);
  f.SendCommand(40976);  // no song: nothing
  EXPECT_FALSE(velocity->IsWindowVisible());
  SongWithVoice("Song");
  f.SendCommand(32797);
  f.SendCommand(40976);
  EXPECT_TRUE(mixer->IsWindowVisible());
  EXPECT_TRUE(velocity->IsWindowVisible());
  EXPECT_EQ(f.Router().Update(32797).checked, std::optional<bool>(true));
  EXPECT_EQ(f.Router().Update(40976).checked, std::optional<bool>(true));
  f.SendCommand(32797);
  f.SendCommand(40976);
  EXPECT_FALSE(mixer->IsWindowVisible());
  EXPECT_FALSE(velocity->IsWindowVisible());
  EXPECT_EQ(f.Router().Update(32797).checked, std::optional<bool>(false));
}

TEST_F(MainFrameCommands, VoiceFileAndOptionItemsByPlay) {
  // The application's own frame, so its rules see the frame's engine.
  app.SetMainFrameFactory([this]() -> std::unique_ptr<IMainFrame> {
    auto owned = std::make_unique<RecordingEngine>();
    engine = owned.get();
    return std::make_unique<CMainFrame>(app, nullptr, [&owned] { return std::move(owned); });
  });
  app.CreateMainFrame();
  auto* f = static_cast<CMainFrame*>(app.GetMainFrame());
  ASSERT_EQ(f->OnCreate(), 0);
  auto enabled = [f](int id) { return f->Router().Update(id).enabled; };
  for (int id : {32781, 32783, 32832, 32792, 32784}) EXPECT_TRUE(enabled(id)) << id;
  engine->playing = true;
  for (int id : {32781, 32783, 32832, 32792}) EXPECT_FALSE(enabled(id)) << id;
  EXPECT_TRUE(enabled(32784));  // its rule sets nothing
  for (int id : {32774, 32779}) EXPECT_FALSE(enabled(id)) << id;
  app.DestroyMainFrame();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(MainFrameCommands, DroppedFilesByTheirExtension) {
  std::vector<std::string> opened;
  app.SetSongOpener([&opened](CKZ1Doc&, const std::string& path, uint32_t mask, int kind) {
    opened.push_back(path);
    EXPECT_EQ(mask, 0xFFFFu);
    EXPECT_EQ(kind, 24);
    return path.find(".K3N") == std::string::npos ? 1 : 0;
  });
  CMainFrame& f = Make();
  f.DragAcceptFiles(true);

  Drop({"/songs/a.MID", "/songs/b.mid"});
  EXPECT_THAT(opened, IsEmpty());
  EXPECT_EQ(app.GetDocument(), nullptr);

  Drop({"/songs/tune.MID"});
  EXPECT_THAT(opened, ElementsAre("/songs/tune.MID"));
  ASSERT_NE(app.GetDocument(), nullptr);
  EXPECT_THAT(LoggedIds(), ElementsAre(7517));
  EXPECT_TRUE(f.acceptDrops());

  app.SetDocument(nullptr);
  Drop({"/songs/notes.txt"});
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7092));

  Drop({"/songs/native.K3N"});
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7092, 7092));
  EXPECT_THAT(LoggedIds(), ElementsAre(7517));

  // While the song plays a drop is refused.
  engine->playing = true;
  Drop({"/songs/tune.MID"});
  EXPECT_EQ(opened.size(), 2u);
}

}  // namespace
