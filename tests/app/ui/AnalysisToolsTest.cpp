// Tests of the graph, access-log and velocity windows in the main frame: registered classes,
// the frame's slots and the document's and the log's hooks reaching them.
#include "app/ui/AnalysisTools.h"

#include <gtest/gtest.h>

#include <QComboBox>

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/VelocityChangeDlg.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "views/AccessLogWnd.h"
#include "views/EventDensWnd.h"
#include "views/STMSizeWnd.h"

namespace {

class AnalysisToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
    doc.SetRefreshSuppress(0);
    host.registry.document = &doc;
    RegisterAnalysisTools(app.GetAccessLog());
    frame = std::make_unique<CMainFrame>(app, nullptr, [] { return std::make_unique<mainframetest::RecordingEngine>(); });
    ASSERT_EQ(frame->OnCreate(), 0);
  }
  void TearDown() override {
    frame.reset();
    for (const char* name : CMainFrame::SlotClassNames()) ui::ToolWindowRegistry::Instance().Unregister(name);
  }

  platform::FakeHost host;
  CTrillotApp app;
  CKZ1Doc doc;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(AnalysisToolsTest, VelocityDialogIsMadeHiddenAndTakesTheChannelMode) {
  auto* velocity = dynamic_cast<CVelocityChangeDlg*>(frame->GetSlot(CMainFrame::kVelocityChange));
  ASSERT_NE(velocity, nullptr);
  EXPECT_FALSE(velocity->isVisible());
  EXPECT_EQ(velocity->ListMode(), 2) << "the frame's creation passes the mode setting";
  EXPECT_EQ(velocity->ChannelList()->count(), 17);
  frame->SetVelocityChannelMode(0);
  EXPECT_EQ(velocity->ChannelList()->count(), 18);
  velocity->ChannelList()->setCurrentIndex(4);
  frame->ResetEditorDialogs();
  EXPECT_EQ(velocity->Channel(), CVelocityChangeDlg::kAll);
}

TEST_F(AnalysisToolsTest, AccessLogWindowFollowsNewLines) {
  frame->OnFileAccessLog();
  auto* log = dynamic_cast<CKZxAccessLogFrm*>(frame->GetSlot(CMainFrame::kAccessLog));
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->Pane()->TopLine(), 0);
  for (int i = 0; i < 150; ++i) app.GetAccessLog().AppendAccessLogLines("Save to VELK", "song.mmf");
  frame->AccessLogChanged();
  EXPECT_GT(log->Pane()->TopLine(), 0);
  frame->OnFileAccessLog();
  EXPECT_EQ(frame->GetSlot(CMainFrame::kAccessLog), nullptr);
}

TEST_F(AnalysisToolsTest, GraphsTakeTheirCommandsSettingAndTheDocumentsRebuild) {
  auto* density = dynamic_cast<CKZ3EventDensFrm*>(frame->OpenToolWindow(CMainFrame::kEventDensity, 1016, 1000));
  ASSERT_NE(density, nullptr);
  EXPECT_EQ(density->Pane()->Limit(), 1000u);
  auto* stm = dynamic_cast<CKZ3STMSizeFrm*>(frame->OpenToolWindow(CMainFrame::kStmSize, 1017, 8000));
  ASSERT_NE(stm, nullptr);
  EXPECT_EQ(stm->Pane()->Limit(), 8000u);
  EXPECT_TRUE(stm->Pane()->Samples().empty());

  // The document's new stream-size list reaches the open window through the frame.
  doc.SetStreamSizeList(0, 0, {CValuePoint(200, 500, 0)});
  frame->RebuildStreamSizeGraph();
  EXPECT_EQ(stm->Pane()->Samples().size(), 2u);
  // A song-window refresh rebuilds the density samples.
  doc.SetDensityInfo(1, 0, 0, 0, 5000, {CMsgKey(100, 300, 0)});
  frame->UpdateSongWindows();
  EXPECT_EQ(density->Pane()->Samples().size(), 1u);
  frame->ChipModeChanged(3);
}

}  // namespace
