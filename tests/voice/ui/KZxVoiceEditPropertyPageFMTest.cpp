// The FM page: what it stores, sends and shows, its operator tabs, user waves and checks.
#include "voice/ui/KZxVoiceEditPropertyPageFM.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>

#include "VoiceEditFixture.h"
#include "WaveFiles.h"
#include "uikit/OwnerDrawCombo.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/RepeatButton.h"

namespace {

using Page = CKZxVoiceEdit_PropertyPageFM;
using voiceedittest::BlockBytes;

class FmPageTest : public voiceedittest::VoiceEditTest {
 protected:
  /// A 4-operator library voice at 124/1/5 in an open sheet; `body` runs while it is open.
  int WithPage(const CVoiceItem& voice, const std::function<void(CKZxVoiceEditDlg&, Page&)>& body, bool ok = true,
               int source = 1) {
    library.SetVoiceByProgram(voice.GetBankMsb(), voice.GetBankLsb(), voice.GetProgram(), voice);
    sheet = std::make_unique<CKZxVoiceEditDlg>("Voice Edit", nullptr, 0, Shell());
    sheet->Init(voice, source);
    return RunSheet(*sheet, [&](CKZxVoiceEditDlg& s) { body(s, *s.FmPage()); }, ok);
  }
  static void Move(Page& page, const Page::SliderRow& row, int value) {
    page.Slider(row.slider)->setValue(value);
  }
  std::unique_ptr<CKZxVoiceEditDlg> sheet;
};

TEST_F(FmPageTest, OkChangesOnlyTheEditedFields) {
  const CVoiceItem input = Voice(124, 1, 5, 4);
  const int result = WithPage(input, [](CKZxVoiceEditDlg&, Page& page) {
    page.Tabs()->setCurrentIndex(1);
    Move(page, Page::kTL, 40);
    page.Check(Page::kKSR)->click();
  });
  EXPECT_EQ(result, 1);
  const std::vector<uint8_t> before = BlockBytes(input);
  const std::vector<uint8_t> after = BlockBytes(sheet->GetVoice());
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i) {
    SCOPED_TRACE(i);
    if (i == 37) {
      EXPECT_EQ(after[i] & 0x03, before[i] & 0x03);
      EXPECT_EQ(after[i] >> 2, 40);
    } else if (i == 34) {
      EXPECT_EQ(after[i] & 0xFE, before[i] & 0xFE);
      EXPECT_EQ(after[i] & 0x01, 1);
    } else {
      EXPECT_EQ(after[i], before[i]);
    }
  }
}

TEST_F(FmPageTest, CancelSendsTheReferenceAtKind1) {
  const CVoiceItem input = Voice(124, 1, 5, 4);
  const int result = WithPage(input, [this](CKZxVoiceEditDlg&, Page& page) {
    Move(page, Page::kTL, 33);
    engine.sentVoices.clear();
  }, false);
  EXPECT_EQ(result, 2);
  ASSERT_FALSE(engine.sentVoices.empty());
  EXPECT_EQ(BlockBytes(engine.sentVoices.front()), BlockBytes(input));
}

TEST_F(FmPageTest, DvbIsStoredAndSurvivesATabChange) {
  WithPage(Voice(124, 1, 5, 4), [](CKZxVoiceEditDlg& s, Page& page) {
    page.Tabs()->setCurrentIndex(2);
    Move(page, Page::kDVB, 3);
    page.Tabs()->setCurrentIndex(0);
    EXPECT_EQ(page.Slider(Page::kDVB.slider)->value(), 0);
    page.Tabs()->setCurrentIndex(2);
    EXPECT_EQ(page.Slider(Page::kDVB.slider)->value(), 3);
    EXPECT_EQ(s.Working().GetOpDVB(3), 3);
  });
}

TEST_F(FmPageTest, AlgorithmTwoToOneOnOperator4SelectsOperator1Unstored) {
  WithPage(Voice(124, 1, 5, 2), [](CKZxVoiceEditDlg& s, Page& page) {
    Move(page, Page::kTL, 11);
    page.Tabs()->setCurrentIndex(3);
    const CVoiceItem before = s.Working();
    Move(page, Page::kALG, 1);
    EXPECT_EQ(page.Tabs()->count(), 2);
    EXPECT_EQ(page.Tabs()->currentIndex(), 0);
    EXPECT_EQ(s.Working().GetAlgorithm(), 1);
    EXPECT_EQ(s.Working().GetOpTL(1), 11);
    EXPECT_EQ(page.Slider(Page::kTL.slider)->value(), 11);
    for (int op = 1; op <= 4; ++op) EXPECT_EQ(s.Working().GetOpAR(op), before.GetOpAR(op));
    Move(page, Page::kALG, 5);
    EXPECT_EQ(page.Tabs()->count(), 4);
  });
}

TEST_F(FmPageTest, PhraseProfileSkipsTheUserWaveShapes) {
  host.settings.outputProfile = 6;
  CVoiceItem voice = Voice(124, 1, 5, 0);
  voice.SetOpWS(2, 31);
  WithPage(voice, [](CKZxVoiceEditDlg& s, Page& page) {
    EXPECT_EQ(page.Slider(Page::kWS.slider)->maximum(), 28);
    for (auto [position, ws] : {std::pair{15, 16}, {22, 24}, {28, 30}}) {
      Move(page, Page::kWS, position);
      EXPECT_EQ(s.Working().GetOpWS(1), ws);
    }
    page.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(page.Slider(Page::kWS.slider)->value(), 0);
  });
}

TEST_F(FmPageTest, PanpotTextsFollowTheSlider) {
  WithPage(Voice(124, 1, 5), [](CKZxVoiceEditDlg&, Page& page) {
    for (auto [p, left, right] : {std::tuple{1, "-0.012", "-25.624"}, {8, "-0.785", "-7.814"}, {15, "-3.010", "-3.010"},
                                  {16, "-3.010", "-3.010"}}) {
      Move(page, Page::kPANPOT, p);
      EXPECT_EQ(page.Edit(Page::kPanLeft)->text().toStdString(), left);
      EXPECT_EQ(page.Edit(Page::kPanRight)->text().toStdString(), right);
    }
  });
}

TEST_F(FmPageTest, EnableFollowsAlgorithmBankAndOperators) {
  WithPage(Voice(124, 1, 5, 2), [](CKZxVoiceEditDlg&, Page& page) {
    // ALG 2: feedback on operators 1 and 3 only.
    for (int tab : {0, 1, 2, 3}) {
      page.Tabs()->setCurrentIndex(tab);
      EXPECT_EQ(page.Slider(Page::kFB.slider)->isEnabled(), tab == 0 || tab == 2) << tab;
    }
    EXPECT_FALSE(page.Slider(Page::kDrumKey.slider)->isEnabled());
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(page.Check(Page::kOpOff1 + k)->isEnabled());
    Move(page, Page::kALG, 0);
    EXPECT_FALSE(page.Check(Page::kOpOff1 + 2)->isEnabled());
    EXPECT_FALSE(page.Check(Page::kDrumKeyAssign)->isEnabled());
    EXPECT_TRUE(page.List(Page::kPchList)->isEnabled());
    EXPECT_FALSE(page.List(Page::kBankMsbList)->isEnabled());
    page.Check(Page::kBeforeChange)->click();
    EXPECT_FALSE(page.Slider(Page::kTL.slider)->isEnabled());
    EXPECT_FALSE(page.Check(Page::kOpOff1)->isEnabled());
  });
  CVoiceItem drum = Voice(125, 0, 3);
  drum.SetNote(40);
  library.SetVoice(125, 0, 3, 40, drum);
  sheet = std::make_unique<CKZxVoiceEditDlg>("Voice Edit", nullptr, 0, Shell());
  sheet->Init(drum, 1);
  RunSheet(*sheet, [](CKZxVoiceEditDlg& s) {
    Page& page = *s.FmPage();
    EXPECT_TRUE(page.Slider(Page::kDrumKey.slider)->isEnabled());
    EXPECT_TRUE(page.Check(Page::kDrumKeyAssign)->isEnabled());
    EXPECT_TRUE(page.List(Page::kNoteList)->isEnabled());
    EXPECT_FALSE(page.List(Page::kBankLsbList)->isEnabled());
  }, false);
}

TEST_F(FmPageTest, OpOffSendsAttackZeroAndKeepsTheWorkingAttack) {
  CVoiceItem voice = Voice(124, 1, 5, 2);
  voice.SetOpAR(2, 12);
  WithPage(voice, [this](CKZxVoiceEditDlg& s, Page& page) {
    engine.sentVoices.clear();
    page.Check(Page::kOpOff1 + 1)->click();
    ASSERT_FALSE(engine.sentVoices.empty());
    EXPECT_EQ(engine.sentVoices.back().GetOpAR(2), 0);
    EXPECT_EQ(s.Working().GetOpAR(2), 12);
    page.Check(Page::kOpOff1 + 1)->click();
    EXPECT_EQ(engine.sentVoices.back().GetOpAR(2), 12);
  });
}

TEST_F(FmPageTest, GateTimeTextAndAuditionGate) {
  WithPage(Voice(124, 1, 5), [this](CKZxVoiceEditDlg& s, Page& page) {
    Move(page, Page::kGT, 25);
    EXPECT_EQ(page.Edit(Page::kGT.edit)->text(), "2.5");
    EXPECT_EQ(s.GateTime(), 25);
    EXPECT_EQ(app.GetEditorGateTime(), 30) << "stored with the next Store";
    Move(page, Page::kTL, 3);
    EXPECT_EQ(app.GetEditorGateTime(), 25);
    // The repeat buttons step the slider by one.
    page.OnRepeatStep(Page::kGT.up);
    EXPECT_EQ(page.Edit(Page::kGT.edit)->text(), "2.6");
    page.OnRepeatStep(Page::kGT.down);
  });
}

TEST_F(FmPageTest, UserWaveLoadNamesLogsAndRefusesStereo) {
  using namespace wavetest;
  const Bytes mono = Wav(1, 16, 8000, Samples16LE({100, -100, 200}));
  TempFile file(mono, "ABCDEFGHIJKLMNOPQR.wav");
  const Bytes stereo = Wav(2, 16, 8000, Samples16LE({1, 2, 3, 4}));
  TempFile stereoFile(stereo, "stereo.wav");
  WithPage(Voice(124, 1, 5), [&](CKZxVoiceEditDlg&, Page& page) {
    EXPECT_TRUE(page.Item<QPushButton>(Page::kLoad15)->isEnabled());
    EXPECT_FALSE(page.Item<QPushButton>(Page::kClear15)->isEnabled());
    page.SetFileChooser([&] { return file.Path(); });
    page.LoadUserWave(15);
    ASSERT_NE(library.GetWaveBlock(15), nullptr);
    EXPECT_STREQ(library.GetWaveBlock(15)->GetName(), "ABCDEFGHIJK~OPQR");
    EXPECT_EQ(library.GetWaveBlock(15)->GetSize(), 2048);
    // Held big-endian, as the page sends and stores user waves: 100, then -100.
    const uint8_t* samples = library.GetWaveBlock(15)->GetData();
    EXPECT_EQ(std::vector<uint8_t>(samples, samples + 4), (std::vector<uint8_t>{0x00, 0x64, 0xFF, 0x9C}));
    ASSERT_FALSE(host.messages.log.empty());
    EXPECT_EQ(host.messages.log.back().id, 7527);
    EXPECT_FALSE(page.Item<QPushButton>(Page::kLoad15)->isEnabled());
    EXPECT_TRUE(page.Item<QPushButton>(Page::kClear15)->isEnabled());
    page.SetFileChooser([&] { return stereoFile.Path(); });
    page.LoadUserWave(23);
    EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7023});
    EXPECT_EQ(library.GetWaveBlock(23), nullptr);
    page.ClearUserWave(15);
    EXPECT_EQ(library.GetWaveBlock(15), nullptr);
  });
}

TEST_F(FmPageTest, ApplyRefusesAMissingUserWave) {
  CVoiceItem voice = Voice(124, 1, 5, 0);
  voice.SetOpWS(2, 23);
  bool refused = false;
  const int result = WithPage(voice, [&](CKZxVoiceEditDlg& s, Page&) {
    s.Ok();
    refused = s.isVisible();
  }, false);
  EXPECT_TRUE(refused);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7142});
}

TEST_F(FmPageTest, OperatorCopyAndPaste) {
  WithPage(Voice(124, 1, 5, 2), [this](CKZxVoiceEditDlg& s, Page& page) {
    Move(page, Page::kTL, 21);
    EXPECT_FALSE(page.CanPasteOperator());
    page.CopyOperator();
    EXPECT_TRUE(frame.hasClip);
    page.Tabs()->setCurrentIndex(2);
    page.PasteOperator();
    EXPECT_EQ(s.Working().GetOpTL(3), 21);
    EXPECT_EQ(page.Slider(Page::kTL.slider)->value(), 21);
  });
}

TEST_F(FmPageTest, PickingAnotherVoiceReplacesBothCopies) {
  CVoiceItem other = Voice(124, 1, 6, 0);
  other.SetName("Other");
  other.SetOpTL(1, 9);
  library.SetVoiceByProgram(124, 1, 6, other);
  WithPage(Voice(124, 1, 5, 4), [](CKZxVoiceEditDlg& s, Page& page) {
    Move(page, Page::kTL, 30);
    COwnerDrawCombo* pch = page.List(Page::kPchList);
    pch->setCurrentIndex(6);
    emit pch->activated(6);
    EXPECT_EQ(s.Working().GetProgram(), 6);
    EXPECT_EQ(s.Reference().GetProgram(), 6);
    EXPECT_STREQ(s.Working().GetName(), "Other");
    EXPECT_EQ(page.Tabs()->count(), 2);
    EXPECT_EQ(page.Slider(Page::kTL.slider)->value(), 9);
  });
}

}  // namespace
