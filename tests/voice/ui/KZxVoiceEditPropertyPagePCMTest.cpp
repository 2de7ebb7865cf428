// The PCM page: loading sound files into the voice, wave ids, Fs, points, ROM waves, RM,
// the checks before closing, Cancel and the wave picture.
#include "TestPaths.h"
#include "voice/ui/KZxVoiceEditPropertyPagePCM.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "VoiceEditFixture.h"
#include "WaveFiles.h"
#include "song/document/KZ1Doc.h"
#include "uikit/OwnerDrawCombo.h"
#include "voice/WavePicture.h"
#include "voice/ui/KZxVoiceEditDlg.h"

namespace {

using Page = CKZxVoiceEdit_PropertyPagePCM;
using namespace wavetest;

class PcmPageTest : public voiceedittest::VoiceEditTest {
 protected:
  PcmPageTest() { host.settings.appDir = TRILLOT_BIN_DIR "/"; }

  static CVoiceItem PcmVoice(int lsb = 1, int program = 7) {
    CVoiceItem v = Voice(124, lsb, program);
    v.SetPcmFlag(1);
    return v;
  }
  int WithPage(const CVoiceItem& voice, const std::function<void(CKZxVoiceEditDlg&, Page&)>& body, bool ok = true,
               int source = 1) {
    if (source == 1) library.SetVoiceByProgram(voice.GetBankMsb(), voice.GetBankLsb(), voice.GetProgram(), voice);
    sheet = std::make_unique<CKZxVoiceEditDlg>("Voice Edit", nullptr, 0, Shell());
    sheet->Init(voice, source);
    return RunSheet(*sheet, [&](CKZxVoiceEditDlg& s) {
      ASSERT_NE(s.PcmPage(), nullptr);
      ASSERT_EQ(s.ActiveIndex(), 1);
      body(s, *s.PcmPage());
    }, ok);
  }
  void Choose(Page& page, const TempFile& file, int bits) {
    page.SetFileChooser([&file, bits] { return Page::SoundFileChoice{file.Path(), bits}; });
  }
  static std::vector<uint8_t> Samples(const CVoiceItem& v) {
    return {v.GetWaveSamples(), v.GetWaveSamples() + v.GetWaveSampleSize()};
  }
  std::unique_ptr<CKZxVoiceEditDlg> sheet;
};

TEST_F(PcmPageTest, LoadsSixteenBitFilesAsAdpcmOrEightBit) {
  TempFile silent(Wav(1, 16, 8250, Samples16LE({0, 0, 0, 0})));
  TempFile three(Wav(1, 16, 8250, Samples16LE({0x1234, 0xFF00, 0x0080})));
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page& page) {
    Choose(page, silent, 4);
    page.LoadWaveFile();
    const CVoiceItem& w = s.Working();
    EXPECT_EQ(w.GetPcmWaveFormat(), 0);
    EXPECT_EQ(Samples(w), (std::vector<uint8_t>{0x80, 0x80}));
    EXPECT_EQ(w.GetPcmFs(), 8250);
    EXPECT_EQ(w.GetPcmLoopPoint(), 3);
    EXPECT_EQ(w.GetPcmEndPoint(), 3);
    EXPECT_EQ(page.Item<QPushButton>(Page::kWaveButton)->text(), "Detach Wave File...");
    ASSERT_FALSE(host.messages.log.empty());
    EXPECT_EQ(host.messages.log.back().id, 7524);
    page.Detach();
    EXPECT_EQ(w.GetWaveSampleSize(), 0u);
    Choose(page, three, 8);
    page.LoadWaveFile();
    EXPECT_EQ(w.GetPcmWaveFormat(), 3);
    EXPECT_EQ(Samples(w), (std::vector<uint8_t>{0x12, 0xFF, 0x00}));
    EXPECT_EQ(w.GetPcmLoopPoint(), 1);
    EXPECT_EQ(w.GetPcmEndPoint(), 1);
  });
}

TEST_F(PcmPageTest, EightBitFilesGiveFormatsTwoAndThree) {
  TempFile wav(Wav(1, 8, 8250, Bytes{0x80, 0x90, 0x70, 0x80}));
  TempFile aiff(Aiff(1, 8, 8250, Bytes{0x00, 0x10, 0xF0, 0x00}), "sound.aif");
  TempFile wide(Aiff(1, 16, 8250, Samples16BE({0, 100, -100, 0})), "wide.aif");
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page& page) {
    for (auto [file, bits, format] : {std::tuple{&wav, 8, 2}, {&aiff, 8, 3}, {&wide, 8, 3}, {&wide, 4, 0}}) {
      page.Detach();
      Choose(page, *file, bits);
      page.LoadWaveFile();
      EXPECT_EQ(s.Working().GetPcmWaveFormat(), format) << file->Path() << " " << bits;
    }
  });
}

TEST_F(PcmPageTest, RefusedFilesLeaveTheVoiceUnchanged) {
  TempFile stereo(Wav(2, 16, 8000, Samples16LE({1, 2, 3, 4})));
  TempFile stereo8(Wav(2, 8, 8000, Bytes{1, 2, 3, 4}));
  TempFile fast(Wav(1, 16, 48001, Samples16LE({1, 2})));
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page& page) {
    const std::vector<uint8_t> before = voiceedittest::BlockBytes(s.Working());
    for (auto [file, bits, message] : {std::tuple{&stereo, 4, 7023}, {&stereo, 8, 7023}, {&stereo8, 4, 7022},
                                       {&fast, 4, 7021}}) {
      host.messages.shown.clear();
      Choose(page, *file, bits);
      page.LoadWaveFile();
      EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{message}) << file->Path() << " " << bits;
      EXPECT_EQ(voiceedittest::BlockBytes(s.Working()), before);
      EXPECT_EQ(s.Working().GetWaveSampleSize(), 0u);
    }
  });
}

TEST_F(PcmPageTest, FsLimitsAndTheStreamRateCheck) {
  TempFile slow(Wav(1, 16, 1000, Samples16LE({1, 2, 3, 4})));
  TempFile odd(Wav(1, 16, 8000, Samples16LE({1, 2, 3, 4})));
  TempFile fine(Wav(1, 16, 8250, Samples16LE({1, 2, 3, 4})));
  WithPage(PcmVoice(1), [&](CKZxVoiceEditDlg& s, Page& page) {
    for (auto [file, fs, messages] : {std::tuple{&slow, 1500, std::vector<int>{7122, 7052}}, {&odd, 8000, std::vector<int>{7052}},
                                      {&fine, 8250, std::vector<int>{}}}) {
      page.Detach();
      host.messages.shown.clear();
      Choose(page, *file, 4);
      page.LoadWaveFile();
      EXPECT_EQ(s.Working().GetPcmFs(), fs);
      EXPECT_EQ(host.messages.ShownIds(), messages) << fs;
    }
    host.messages.shown.clear();
    page.Edit(Page::kFsEdit)->setText("50000");
    page.OnFsLeave();
    EXPECT_EQ(s.Working().GetPcmFs(), 48000);
    page.Edit(Page::kFsEdit)->setText("");
    page.OnFsLeave();
    EXPECT_EQ(s.Working().GetPcmFs(), 1500);
    EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7122, 7122}));
  });
}

TEST_F(PcmPageTest, WaveIdsOfTheSongAndTheLibrary) {
  TempFile file(Wav(1, 16, 8250, Samples16LE({1, 2, 3, 4})));
  CKZ1Doc doc;
  host.registry.document = &doc;
  const uint8_t sample = 0x11;
  for (int i = 0; i < 5; ++i) {
    CVoiceItem& item = *doc.GetVoiceItem(i);
    item.SetPcmFlag(1);
    item.SetWaveSamples(&sample, 1);
    item.SetWaveHeaderId(static_cast<uint8_t>(i));
  }
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page& page) {
    Choose(page, file, 4);
    page.LoadWaveFile();
    EXPECT_EQ(s.Working().GetWaveHeaderId(), 5);
    EXPECT_EQ(s.Working().GetWaveId(), 5);
  }, false, 2);
  for (int i = 5; i < 128; ++i) {
    CVoiceItem& item = *doc.GetVoiceItem(i);
    item.SetPcmFlag(1);
    item.SetWaveSamples(&sample, 1);
    item.SetWaveHeaderId(static_cast<uint8_t>(i));
  }
  for (auto [profile, message] : {std::pair{2, 7068}, {1, 7057}}) {
    host.settings.outputProfile = profile;
    host.settings.makerId = 2;
    host.messages.shown.clear();
    WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page& page) {
      Choose(page, file, 4);
      page.LoadWaveFile();
      EXPECT_EQ(s.Working().GetWaveSampleSize(), 0u);
    }, false, 2);
    EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{message});
  }
  host.registry.document = nullptr;
  host.settings.outputProfile = 2;
  for (int i = 0; i < 128; ++i) {
    CVoiceItem v = PcmVoice(2, i);
    v.SetWaveSamples(&sample, 1);
    v.SetWaveHeaderId(static_cast<uint8_t>(i));
    library.SetVoiceByProgram(124, 2, i, v);
  }
  host.messages.shown.clear();
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg&, Page& page) {
    Choose(page, file, 4);
    page.LoadWaveFile();
  }, false);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7070});
}

TEST_F(PcmPageTest, RomWaveChoiceAndTheFillThatKeepsValues) {
  CVoiceItem voice = PcmVoice();
  voice.SetRM(1);
  voice.SetWaveId(5);
  voice.SetPcmFs(12345);
  voice.SetPcmLoopPoint(100);
  voice.SetPcmEndPoint(200);
  WithPage(voice, [](CKZxVoiceEditDlg& s, Page& page) {
    // Right after the list was filled its choice keeps the voice's values.
    EXPECT_EQ(s.Working().GetPcmFs(), 12345);
    EXPECT_EQ(s.Working().GetPcmLoopPoint(), 100);
    page.List(Page::kWaveList)->setCurrentIndex(5);
    page.OnWaveChoice();
    EXPECT_EQ(s.Working().GetPcmFs(), 16000);
    EXPECT_EQ(s.Working().GetPcmLoopPoint(), 1594);
    EXPECT_EQ(s.Working().GetPcmEndPoint(), 4800);
    EXPECT_EQ(s.Working().GetPcmStartOffset(), 0);
    EXPECT_EQ(page.Edit(Page::kFsEdit)->text(), "16000");
  });
}

TEST_F(PcmPageTest, RmOnALoadedWaveAsksAndNoKeepsTheWave) {
  TempFile file(Wav(1, 16, 8250, Samples16LE({1, 2, 3, 4})));
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page& page) {
    Choose(page, file, 4);
    page.LoadWaveFile();
    host.messages.shown.clear();
    host.messages.answers.push_back(7);
    page.Check(Page::kRM)->click();
    EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7144});
    EXPECT_FALSE(page.Check(Page::kRM)->isChecked());
    EXPECT_GT(s.Working().GetWaveSampleSize(), 0u);
    host.messages.answers.push_back(6);
    page.Check(Page::kRM)->click();
    EXPECT_TRUE(page.Check(Page::kRM)->isChecked());
    EXPECT_EQ(s.Working().GetWaveSampleSize(), 0u);
    EXPECT_FALSE(page.Item<QPushButton>(Page::kWaveButton)->isEnabled());
  });
}

TEST_F(PcmPageTest, ApplyChecksKeepTheSheetOpen) {
  bool open = false;
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg& s, Page&) {
    s.Ok();
    open = s.isVisible();
  }, false);
  EXPECT_TRUE(open);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7143});
  host.messages.shown.clear();
  CVoiceItem loud = PcmVoice();
  loud.SetPcmWaveFormat(2);
  loud.SetWaveHeaderId(1);
  const uint8_t samples[] = {0x80, 0x84, 0x84, 0x80};
  loud.SetWaveSamples(samples, 4);
  loud.SetPcmLoopPoint(1);
  loud.SetPcmEndPoint(1);
  loud.SetPcmRR(1);
  loud.SetPcmFs(8250);
  WithPage(loud, [&](CKZxVoiceEditDlg& s, Page&) {
    s.Ok();
    open = s.isVisible();
  }, false);
  EXPECT_TRUE(open);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7157});
}

TEST_F(PcmPageTest, EnableRules) {
  TempFile file(Wav(1, 16, 8250, Samples16LE({1, 2, 3, 4})));
  WithPage(PcmVoice(), [&](CKZxVoiceEditDlg&, Page& page) {
    EXPECT_FALSE(page.Edit(Page::kStartEdit)->isEnabled());
    EXPECT_FALSE(page.Edit(Page::kFsEdit)->isEnabled());
    EXPECT_EQ(page.Item<QPushButton>(Page::kWaveButton)->text(), "Load Wave File...");
    EXPECT_TRUE(page.Item<QPushButton>(Page::kWaveButton)->isEnabled());
    Choose(page, file, 4);
    page.LoadWaveFile();
    EXPECT_TRUE(page.Edit(Page::kFsEdit)->isEnabled());
    EXPECT_FALSE(page.Edit(Page::kStartEdit)->isEnabled());
    EXPECT_EQ(page.Item<QPushButton>(Page::kWaveButton)->text(), "Detach Wave File...");
  });
}

TEST_F(PcmPageTest, CancelAfterALoadReleasesTheNewWaveAndResendsTheReference) {
  TempFile file(Wav(1, 16, 8250, Samples16LE({5, 6, 7, 8})));
  CVoiceItem voice = PcmVoice();
  voice.SetWaveHeaderId(3);
  voice.SetWaveId(3);
  const uint8_t samples[] = {0x80, 0x80, 0x80, 0x80};
  voice.SetWaveSamples(samples, 4);
  voice.SetPcmWaveFormat(2);
  voice.SetPcmFs(8250);
  WithPage(voice, [&](CKZxVoiceEditDlg&, Page& page) {
    page.Detach();
    Choose(page, file, 4);
    page.LoadWaveFile();
    engine.calls.clear();
  }, false);
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendVoice(0)", "SendBoardCommand04(0)", "SendVoiceParams",
                                                     "SendBankVoices"}));
}

TEST_F(PcmPageTest, WavePictureMarksLoopAndEndColumns) {
  CVoiceItem voice = PcmVoice();
  voice.SetPcmWaveFormat(2);
  voice.SetWaveHeaderId(1);
  std::vector<uint8_t> samples(400, 0x80);
  voice.SetWaveSamples(samples.data(), 400);
  voice.SetPcmLoopPoint(100);
  voice.SetPcmEndPoint(300);
  voice.SetPcmFs(8250);
  WithPage(voice, [](CKZxVoiceEditDlg&, Page& page) {
    const QImage image = page.RenderWavePicture(QSize(200, 60));
    const int lp = voiceedit::ColumnOfSample(100, 400, 200);
    const int ep = voiceedit::ColumnOfSample(300, 400, 200);
    EXPECT_EQ(image.pixelColor(lp, 5), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(ep, 5), QColor(128, 255, 128));
    EXPECT_EQ(image.pixelColor(10, 30), QColor(0, 255, 255));
    EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::white));
  });
}

}  // namespace
