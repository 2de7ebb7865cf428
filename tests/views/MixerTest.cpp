// Tests of the two mixers on a real document: solo and mute rules, volumes, the mended typed
// volume of the 16-channel mixer and its level meters over a recording engine.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "SongWindowHostFake.h"
#include "device/testing/RecordingOutputEngine.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/DialogTemplate.h"
#include "uikit/PictureStore.h"
#include "views/Mixer16Dlg.h"
#include "views/MixerDlg.h"

namespace {

class MixerTest : public ::testing::Test {
 protected:
  MixerTest() {
    doc = std::make_unique<CKZ1Doc>();
    for (int k = 0; k < 16; ++k) doc->SetChannelValue(k, 1);
    host.doc = doc.get();
  }
  template <typename Mixer>
  void ClickSolo(Mixer& m, int k) {
    static_cast<QCheckBox*>(ui::item<QWidget>(&m, m.Ids().solo + k))->click();
  }
  template <typename Mixer>
  void ClickMute(Mixer& m, int k) {
    static_cast<QCheckBox*>(ui::item<QWidget>(&m, m.Ids().mute + k))->click();
  }
  template <typename Mixer>
  void Type(Mixer& m, int k, const char* text) {
    auto* edit = ui::item<QLineEdit>(&m, m.Ids().volume + k);
    edit->setText(QString::fromLatin1(text));
    emit edit->editingFinished();
  }

  platform::FakeHost fake;
  SongWindowHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(MixerTest, SixteenSoloThreeThenSeven) {
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  ClickSolo(mixer, 2);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(doc->GetChannelMute(k), k == 2 ? 0 : 1) << k;
  ClickSolo(mixer, 6);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(doc->GetChannelMute(k), k == 6 ? 0 : 1) << k;
  EXPECT_EQ(mixer.Solo(2), 0);
  EXPECT_EQ(mixer.Solo(6), 1);
  ClickSolo(mixer, 6);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(doc->GetChannelMute(k), 0) << k;
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
}

TEST_F(MixerTest, FourSoloIsExclusive) {
  CMixerDlg mixer(host);
  mixer.Refresh();
  ClickSolo(mixer, 1);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(doc->GetChannelMute(k), k == 1 ? 0 : 1) << k;
  ClickSolo(mixer, 3);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(doc->GetChannelMute(k), k == 3 ? 0 : 1) << k;
  EXPECT_EQ(mixer.Solo(1), 0);
  ClickSolo(mixer, 3);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(doc->GetChannelMute(k), 0) << k;
}

TEST_F(MixerTest, HandMutedChannelsLeaveTheLastSoloOff) {
  for (int k = 0; k < 15; ++k) doc->SetChannelMute(k, 1);
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  EXPECT_EQ(mixer.Solo(15), 0);
}

TEST_F(MixerTest, UnsetVolumeShowsOneHundredAndAMuteWritesNoVolume) {
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  ASSERT_EQ(doc->GetChannelVolume(4), CMixerBase::kUnsetVolume);
  EXPECT_EQ(mixer.Volume(4), 100);
  EXPECT_EQ(mixer.SliderPos(4), 27);
  EXPECT_EQ(ui::item<QSlider>(&mixer, mixer.Ids().slider + 4)->value(), 27);
  ClickMute(mixer, 4);
  EXPECT_EQ(doc->GetChannelMute(4), 1);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(doc->GetChannelVolume(k), CMixerBase::kUnsetVolume) << k;
}

TEST_F(MixerTest, SixteenTypedVolumeReachesTheSong) {
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  Type(mixer, 3, "90");
  EXPECT_EQ(doc->GetChannelVolume(3), 90);
  EXPECT_EQ(mixer.Volume(3), 90);
  EXPECT_EQ(mixer.SliderPos(3), 37);
  for (int k = 0; k < 16; ++k) {
    if (k != 3) {
      EXPECT_EQ(doc->GetChannelVolume(k), CMixerBase::kUnsetVolume) << k;
    }
  }
}

TEST_F(MixerTest, VolumeNumbersAreClamped) {
  CMixerDlg mixer(host);
  mixer.Refresh();
  Type(mixer, 0, "200");
  EXPECT_EQ(mixer.Volume(0), 127);
  EXPECT_EQ(mixer.SliderPos(0), 0);
  EXPECT_EQ(doc->GetChannelVolume(0), 127);
  Type(mixer, 1, "-5");
  EXPECT_EQ(mixer.Volume(1), 0);
  EXPECT_EQ(mixer.SliderPos(1), 127);
  EXPECT_EQ(doc->GetChannelVolume(1), 0);
}

TEST_F(MixerTest, SliderWritesTheVolume) {
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  ui::item<QSlider>(&mixer, mixer.Ids().slider + 7)->setValue(17);
  EXPECT_EQ(doc->GetChannelVolume(7), 110);
}

TEST_F(MixerTest, AbsentChannelsShowNoVoiceAndAreDisabled) {
  doc->SetChannelValue(5, 0);
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  EXPECT_TRUE(ui::item<QLineEdit>(&mixer, mixer.Ids().bankMsb + 5)->text().isEmpty());
  EXPECT_FALSE(ui::item<QWidget>(&mixer, mixer.Ids().mute + 5)->isEnabled());
  EXPECT_TRUE(ui::item<QWidget>(&mixer, mixer.Ids().mute + 4)->isEnabled());
  mixer.EnableChannels(0);
  EXPECT_FALSE(ui::item<QWidget>(&mixer, mixer.Ids().mute + 4)->isEnabled());
  host.doc = nullptr;
  mixer.EnableChannels(1);
  EXPECT_TRUE(ui::item<QWidget>(&mixer, mixer.Ids().mute + 5)->isEnabled());
}

TEST_F(MixerTest, MetersFollowTheBoardWhilePlaying) {
  RecordingOutputEngine engine;
  host.engine = &engine;
  CMixer16Dlg mixer(host);
  engine.playing = true;
  engine.info0 = 10;
  engine.info1 = 64;
  engine.info2 = 1;
  mixer.Refresh();
  EXPECT_EQ(mixer.IndicatorPicture(), 2190);
  const QImage meter = mixer.Meter(CMixer16Dlg::kMeterL)->pixmap().toImage();
  const QImage lit = ui::PictureStore::Instance().Pixmap(1209).toImage();
  const QImage dark = ui::PictureStore::Instance().Pixmap(1210).toImage();
  EXPECT_EQ(meter.pixelColor(3, meter.height() - 2), lit.pixelColor(3, 108));
  EXPECT_EQ(meter.pixelColor(3, 1), dark.pixelColor(3, 1));
  engine.info2 = 0;
  mixer.Refresh();
  EXPECT_EQ(mixer.IndicatorPicture(), 2191);
  engine.playing = false;
  mixer.Refresh();
  EXPECT_EQ(mixer.Meter(CMixer16Dlg::kMeterL)->pixmap().toImage().pixelColor(3, 108), dark.pixelColor(3, 108));
}

TEST_F(MixerTest, WithoutASongTheMixerOnlyShowsItsMembers) {
  host.doc = nullptr;
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  ClickMute(mixer, 0);
  EXPECT_EQ(host.voiceWindowUpdates, 1);
  EXPECT_EQ(mixer.Mute(0), 1);
}

TEST_F(MixerTest, ResetClearsSolo) {
  CMixer16Dlg mixer(host);
  mixer.Refresh();
  ClickSolo(mixer, 2);
  mixer.Reset();
  EXPECT_EQ(mixer.Solo(2), 0);
}

}  // namespace
