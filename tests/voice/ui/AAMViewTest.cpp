#include "voice/ui/AAMView.h"

#include <QImage>

#include <filesystem>

#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "app/core/WavePanOpener.h"
#include "song/StreamPCMSlot.h"
#include "tests/app/core/StartupFakes.h"
#include "tests/voice/models/VamFixture.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

class AAMViewTest : public vamtest::VamTest {
 protected:
  void SetUp() override {
    VoiceWindowHost::SetShell(&shell);
    VoiceWindowHost::SetEditShell({&app, &frame});
    app.SetFileChooser(&chooser);
  }
  void TearDown() override {
    VoiceWindowHost::SetShell(nullptr);
    VoiceWindowHost::SetEditShell({});
    SetWavePanOpener({});
  }
  void AddWave(int id) {
    doc->BuildStreamPcmSlots();
    CStreamPCMSlot source;
    source.SetRate(8000);
    const uint8_t bytes[4] = {};
    source.SetWaveData(bytes, sizeof bytes);
    doc->SetStreamPcmSlot(id, source);
  }

  CTrillotApp app;
  RecordingOutputEngine engine;
  startuptest::FakeMainFrame frame{std::make_shared<startuptest::FakeMainFrame::Log>(), &engine};
  ScriptedFileChooser chooser;
};

TEST_F(AAMViewTest, HeaderBandAndGrid) {
  Make(3);
  CAAMView view;
  view.resize(600, 300);
  view.SetMode(3);
  const QImage image = view.Render().toImage();
  EXPECT_EQ(image.pixelColor(60, 10), QColor(240, 240, 240));
  EXPECT_EQ(image.pixelColor(5, 50), QColor(240, 240, 240));
  EXPECT_EQ(image.pixelColor(100, 40), QColor(192, 192, 192));
  EXPECT_EQ(image.pixelColor(100, 50), QColor(Qt::white));
}

TEST_F(AAMViewTest, PanDoubleClickStoresThroughTheOpener) {
  Make(3);
  AddWave(2);
  CAAMView view;
  view.resize(600, 300);
  EXPECT_EQ(view.EditPan(2), 0);  // no opener: nothing changes
  SetWavePanOpener([](WavePanChoice& choice) {
    choice.mode = 0;
    choice.pan = 100;
    return true;
  });
  EXPECT_EQ(view.EditPan(3), 0);  // no wave
  doc->ResetModifiedFlags();
  EXPECT_EQ(view.EditPan(2), 1);
  EXPECT_EQ(doc->GetSongSetup().GetSlotSettingSecond(1), 100);
  EXPECT_NE(doc->TestModifiedFlags(3), 0u);
  EXPECT_EQ(view.Model().CellText(*doc, 2, CAamModel::kColPan), "100");
  EXPECT_EQ(shell.voiceUpdates, 1);
}

TEST_F(AAMViewTest, RowPopupDeleteReachesTheFramesEngineAndTheApplication) {
  Make(3);
  AddWave(2);
  CAAMView view;
  view.resize(600, 300);
  const CAamModel::Popup popup = view.RightClickPopup(QPoint(100, 45));
  ASSERT_EQ(popup.kind, CAamModel::Popup::kRow);
  EXPECT_TRUE(popup.deleteEnabled);
  EXPECT_FALSE(popup.newEnabled);
  EXPECT_TRUE(view.OnCommand(CAAMView::kDelete));
  EXPECT_FALSE(CAamModel::HasWave(*doc, 2));
  ASSERT_FALSE(engine.calls.empty());
  EXPECT_EQ(engine.calls.front(), "SendBoardCommand06(2)");
  EXPECT_TRUE(app.StreamPcmMapChanged());
}

TEST_F(AAMViewTest, ExportGoesThroughTheApplicationsChooser) {
  Make(5, 5);
  AddWave(1);
  app.StreamPcmMapChanged() = true;
  const std::string path = (std::filesystem::temp_directory_path() / "aamview.sk3").string();
  FileAnswer answer;
  answer.ok = true;
  answer.path = path;
  chooser.Answer(answer);
  CAAMView view;
  EXPECT_TRUE(view.RightClickPopup(QPoint(100, 5)).exportEnabled);
  EXPECT_TRUE(view.OnCommand(CAAMView::kExport));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(app.StreamPcmMapChanged());
  std::filesystem::remove(path);
}

TEST_F(AAMViewTest, RightClicksWhilePlayingDoNothing) {
  Make(3);
  AddWave(2);
  CAAMView view;
  view.resize(600, 300);
  shell.idle = 0;
  EXPECT_EQ(view.RightClickPopup(QPoint(100, 45)).kind, CAamModel::Popup::kNone);
  EXPECT_EQ(view.RightClickPopup(QPoint(100, 5)).kind, CAamModel::Popup::kNone);
  EXPECT_EQ(view.Model().GetSelected(), -1);
  EXPECT_FALSE(view.OnCommand(32825));  // Send Stream PCM Wave Message is the main frame's
}

}  // namespace
