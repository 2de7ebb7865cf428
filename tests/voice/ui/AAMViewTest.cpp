#include "voice/ui/AAMView.h"

#include <QImage>

#include "song/StreamPCMSlot.h"
#include "tests/voice/models/VamFixture.h"
#include "app/core/WavePanOpener.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

class AAMViewTest : public vamtest::VamTest {
 protected:
  void SetUp() override { VoiceWindowHost::SetShell(&shell); }
  void TearDown() override {
    VoiceWindowHost::SetShell(nullptr);
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

}  // namespace
