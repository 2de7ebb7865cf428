// The song window and the mixers in a real main frame: their registration, the slots they fill,
// the refreshes and File Close that reach them, and the song window's voice editor opener.
#include "app/ui/SongWindowSetup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QTimer>

#include "app/core/AppPlayState.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "uikit/DialogTemplate.h"
#include "uikit/PropertySheet.h"
#include "views/ChildFrame.h"
#include "views/Mixer16Dlg.h"
#include "views/MixerDlg.h"
#include "views/RegionEditDlg.h"

namespace {

class SongWindowSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    appPlayState().suppressPositionPosts = false;
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
    RegisterSongWindows(app);
    auto engine = std::make_unique<mainframetest::RecordingEngine>();
    frame = std::make_unique<CMainFrame>(app, nullptr, [&engine] { return std::move(engine); });
    ASSERT_EQ(frame->OnCreate(), 0);
  }
  void TearDown() override {
    // Hidden first, so the MDI area's last activations reach a whole frame.
    if (frame) frame->hide();
    frame.reset();
    // Windows closed during the test go now, while the fake services they save into live.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.SetDocument(nullptr);
    for (const char* name : CMainFrame::SlotClassNames()) ui::ToolWindowRegistry::Instance().Unregister(name);
    SongWindowOpeners::Instance() = SongWindowOpeners{};
  }
  CKZ1Doc& OpenSong() {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& doc = *app.GetDocument();
    doc.SetChannelValue(0, 1);
    doc.ResetModifiedFlags();
    return doc;
  }

  platform::FakeHost host;
  CTrillotApp app;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(SongWindowSetupTest, MainFrameMakesBothMixersHidden) {
  auto* four = dynamic_cast<CMixerDlg*>(frame->GetSlot(CMainFrame::kMixer4));
  auto* sixteen = dynamic_cast<CMixer16Dlg*>(frame->GetSlot(CMainFrame::kMixer16));
  ASSERT_NE(four, nullptr);
  ASSERT_NE(sixteen, nullptr);
  EXPECT_FALSE(four->isVisible());
  EXPECT_FALSE(sixteen->isVisible());
}

TEST_F(SongWindowSetupTest, SongWindowFillsItsSlotAndFileCloseClosesIt) {
  CKZ1Doc& doc = OpenSong();
  ASSERT_TRUE(frame->OpenSongWindow());
  auto* song = dynamic_cast<CChildFrame*>(frame->GetSlot(CMainFrame::kSongWindow));
  ASSERT_NE(song, nullptr);
  doc.SetChannelMute(0, 1);
  frame->UpdateSongWindows();
  EXPECT_EQ(frame->GetSlot(CMainFrame::kSongWindow), song);
  SongWindowHostOf()->FileClose();
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_EQ(frame->GetSlot(CMainFrame::kSongWindow), nullptr);
  QApplication::processEvents();
}

TEST_F(SongWindowSetupTest, EraseCommandRunsTheRegionEditDialog) {
  CKZ1Doc& doc = OpenSong();
  const uint8_t bytes[3] = {0x90, 60, 100};
  doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(130, 150, 3, bytes, 0));
  QString title;
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<CRegionEditDlg*>(QApplication::activeModalWidget());
    if (!dialog) return;
    title = dialog->windowTitle();
    dialog->To().measure = 3;
    dialog->DoDataExchange(false);
    dialog->OnOK();
  });
  frame->SendCommand(32769);
  EXPECT_EQ(title, QStringLiteral("Erase"));
  EXPECT_TRUE(doc.GetMidiList()->empty());
  EXPECT_EQ(doc.CanUndo(), 1);
  doc.UndoRedo();
  EXPECT_EQ(doc.GetMidiList()->size(), 1u);
}

TEST_F(SongWindowSetupTest, NameDoubleClickOpensTheVoiceEditorOnACopy) {
  CKZ1Doc& doc = OpenSong();
  doc.AssignVoice(5, 124, 1, 10, 0);
  const int slot = doc.FindVoiceIndex(124, 1, 10, 0);
  ASSERT_GE(slot, 0);
  doc.SetChannelVoiceSlot(0, slot);
  ASSERT_TRUE(frame->OpenSongWindow());
  auto* song = dynamic_cast<CChildFrame*>(frame->GetSlot(CMainFrame::kSongWindow));
  ASSERT_NE(song, nullptr);
  frame->show();
  song->resize(700, 430);
  CChannelView& pane = *song->Pane();
  QApplication::processEvents();
  const ChannelGeometry& g = pane.Geometry();
  ASSERT_GT(g.DrawingArea().height, 40);
  QString title;
  bool okRefused = false;
  // The sheet comes up after a few turns of its loop: look until it is there, then press OK.
  QTimer poll;
  int tries = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* sheet = dynamic_cast<ui::PropertySheet*>(QApplication::activeModalWidget());
    if (!sheet) {
      if (++tries > 200) poll.stop();
      return;
    }
    poll.stop();
    title = sheet->windowTitle();
    sheet->Ok();
    okRefused = sheet->isVisible();
    if (okRefused) sheet->Cancel();
  });
  poll.start(10);
  pane.OnLButtonDblClk(QPoint(g.ColumnLeft(ChannelGeometry::kName) + 20, g.RowTop(1) + 10));
  EXPECT_EQ(title, QStringLiteral("Voice Edit"));
  EXPECT_FALSE(okRefused);
  // OK took the after-OK steps: the voice went back into its slot.
  EXPECT_EQ(doc.TestModifiedFlags(3), 3u);
}

}  // namespace
