#include "voice/ui/VoiceEditDlgKZ2.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "uikit/PictureStore.h"
#include "views/SongWindowHost.h"
#include "voice/VoiceWindowHooks.h"
#include "voice/ui/VoiceWindowRegistration.h"

namespace {

using Dlg = CVoiceEditDlgKZ2;

std::vector<uint8_t> Bytes(const CVoice2& v) { return std::vector<uint8_t>(v.GetBytes(), v.GetBytes() + CVoice2::kSize); }

/// Answers the next modal generation-2 dialog with `act` once it runs.
void WhenOpen(std::function<void(Dlg&)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = dynamic_cast<Dlg*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(*d);
    if (d->isVisible()) d->reject();
  });
}

class VoiceEditDlgKZ2Test : public ::testing::Test {
 protected:
  VoiceEditDlgKZ2Test() {
    host.settings.chipMode = 2;
    host.registry.voiceLibrary = &library;
  }
  ~VoiceEditDlgKZ2Test() override { host.registry.document = nullptr; }

  static void Slide(Dlg& d, int id, int v) { d.Control<QSlider>(id)->setValue(v); }
  static QString Text(Dlg& d, int id) { return d.Control<QLineEdit>(id)->text(); }

  /// A 4-operator voice whose operator n has MULTI n.
  CVoice2 FourOperators() {
    CVoice2 v;
    v.SetOperatorCount(4);
    for (int n = 1; n <= 4; ++n) v.SetOpMULTI(n, n);
    return v;
  }

  platform::FakeHost host;
  CVoiceLibrary library;
};

TEST_F(VoiceEditDlgKZ2Test, LevelTextsFollowTheSliders) {
  Dlg d;
  d.InitFromLibrary(2, 3, 1);
  d.OnInitDialog();
  const std::pair<int, const char*> sl[] = {{1, "3.00"}, {5, "15.00"}, {15, "45.00"}};
  for (auto [v, want] : sl) {
    Slide(d, Dlg::kSl, v);
    EXPECT_EQ(Text(d, Dlg::kSlText), QString::fromLatin1(want));
  }
  const std::pair<int, const char*> tl[] = {{1, "0.75"}, {33, "24.75"}, {63, "47.25"}};
  for (auto [v, want] : tl) {
    Slide(d, Dlg::kTl, v);
    EXPECT_EQ(Text(d, Dlg::kTlText), QString::fromLatin1(want));
  }
  Slide(d, Dlg::kFb, 4);
  EXPECT_EQ(Text(d, Dlg::kFbText), QStringLiteral("(pi)/2"));
}

TEST_F(VoiceEditDlgKZ2Test, OkStoresTheEditedLibraryVoice) {
  const std::vector<uint8_t> before = Bytes(*library.GetVoice2(2, 3));
  Dlg d;
  d.InitFromLibrary(2, 3, 1);
  d.OnInitDialog();
  ASSERT_EQ(d.Control<QTabBar>(Dlg::kTabs)->count(), 2);
  d.Control<QRadioButton>(Dlg::kFourOp)->click();
  EXPECT_EQ(d.Control<QTabBar>(Dlg::kTabs)->count(), 4);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kAlg)->maximum(), 3);
  Slide(d, Dlg::kAlg, 3);
  Slide(d, Dlg::kLfo, 2);
  Slide(d, Dlg::kFb, 5);
  d.Control<QRadioButton>(Dlg::kFirstBo + 1)->click();  // "C#2-C5"
  d.Control<QTabBar>(Dlg::kTabs)->setCurrentIndex(2);
  EXPECT_EQ(d.CurrentOperator(), 3);
  Slide(d, Dlg::kMulti, 7);
  Slide(d, Dlg::kTl, 40);
  Slide(d, Dlg::kWs, 5);
  d.Control<QCheckBox>(Dlg::kAm)->setChecked(true);
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);

  std::vector<uint8_t> want = before;
  const uint8_t voiceWide[5] = {0x00, 0x02, 0x03, 0xAF, 0x01};
  const uint8_t third[5] = {0x70, 0x00, 0x00, 0xA0, 0x0D};
  std::copy(voiceWide, voiceWide + 5, want.begin() + 16);
  std::copy(third, third + 5, want.begin() + 31);
  EXPECT_EQ(Bytes(*library.GetVoice2(2, 3)), want);

  // The pictures follow ALG with four operators and the wave shape.
  const ui::PictureStore& store = ui::PictureStore::Instance();
  EXPECT_EQ(d.Control<QLabel>(Dlg::kAlgPicture)->pixmap().toImage(), store.Pixmap(1265).toImage());
  EXPECT_EQ(d.Control<QLabel>(Dlg::kWsPicture)->pixmap().toImage(), store.Pixmap(1271).toImage());
  EXPECT_EQ(Text(d, Dlg::kWsText), QStringLiteral("5"));
}

TEST_F(VoiceEditDlgKZ2Test, TwoOpOnTheFourthOperatorMovesToTheSecond) {
  library.SetVoice2(3, 1, FourOperators());
  Dlg d;
  d.InitFromLibrary(3, 1, 1);
  d.OnInitDialog();
  auto* tabs = d.Control<QTabBar>(Dlg::kTabs);
  ASSERT_EQ(tabs->count(), 4);
  tabs->setCurrentIndex(3);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kMulti)->value(), 4);
  Slide(d, Dlg::kTl, 50);
  Slide(d, Dlg::kAlg, 3);
  d.Control<QRadioButton>(Dlg::kTwoOp)->click();
  EXPECT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->currentIndex(), 1);
  EXPECT_EQ(d.CurrentOperator(), 2);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kMulti)->value(), 2);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kAlg)->value(), 1);
  EXPECT_EQ(d.Model().Work().GetOperatorCount(), 2);
  EXPECT_EQ(d.Model().Work().GetOpTL(4), 50);

  // Back to four: the tabs come back, the current one stays.
  d.Control<QRadioButton>(Dlg::kFourOp)->click();
  EXPECT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(3), QStringLiteral("Operator4"));
  EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(VoiceEditDlgKZ2Test, ATabChangeStoresTheOperatorLeft) {
  library.SetVoice2(3, 2, FourOperators());
  Dlg d;
  d.InitFromLibrary(3, 2, 1);
  d.OnInitDialog();
  auto* tabs = d.Control<QTabBar>(Dlg::kTabs);
  d.Control<QCheckBox>(Dlg::kKsr)->setChecked(true);  // no store of its own
  tabs->setCurrentIndex(1);
  EXPECT_FALSE(d.Control<QCheckBox>(Dlg::kKsr)->isChecked());
  tabs->setCurrentIndex(0);
  EXPECT_TRUE(d.Control<QCheckBox>(Dlg::kKsr)->isChecked());
  EXPECT_EQ(d.Model().Work().GetOpKSR(1), 1);
}

TEST_F(VoiceEditDlgKZ2Test, FixedBanksGreyEverythingFromTheVoiceList) {
  for (int bank : {0, 1, 128, 129, 2}) {
    const std::vector<uint8_t> before = Bytes(*library.GetVoice2(bank, 4));
    bool okEnabled = true;
    bool tlEnabled = true;
    bool nameEnabled = true;
    WhenOpen([&](Dlg& d) {
      okEnabled = d.Control<QWidget>(1)->isEnabled();
      tlEnabled = d.Control<QWidget>(Dlg::kTl)->isEnabled();
      nameEnabled = d.Control<QWidget>(Dlg::kName)->isEnabled();
      EXPECT_TRUE(d.Control<QWidget>(2)->isEnabled());
      d.Control<QSlider>(Dlg::kTl)->setValue(33);
      d.accept();
    });
    const int result = OpenGen2LibraryVoiceDialog(nullptr, library, bank, 4);
    const bool editable = bank == 2;
    EXPECT_EQ(okEnabled, editable) << bank;
    EXPECT_EQ(tlEnabled, editable) << bank;
    EXPECT_EQ(nameEnabled, editable) << bank;
    EXPECT_EQ(result, editable ? 1 : 0) << bank;
    EXPECT_EQ(Bytes(*library.GetVoice2(bank, 4)) == before, !editable) << bank;
  }
}

TEST_F(VoiceEditDlgKZ2Test, ATypedFixedBankIsNeverWritten) {
  for (int fixed : {0, 1, 128, 129}) {
    const std::vector<uint8_t> before = Bytes(*library.GetVoice2(fixed, 7));
    Dlg d;
    d.InitFromLibrary(6, 7, 1);
    d.OnInitDialog();
    d.show();
    Slide(d, Dlg::kTl, 21);
    d.Control<QLineEdit>(Dlg::kBank)->setText(QString::number(fixed));
    EXPECT_FALSE(d.Control<QWidget>(1)->isEnabled()) << fixed;
    d.accept();
    EXPECT_TRUE(d.isVisible()) << fixed;
    EXPECT_EQ(Bytes(*library.GetVoice2(fixed, 7)), before) << fixed;
    EXPECT_FALSE(library.GetVoice2List().Find(6, 7)) << fixed;
    // A user bank typed over it takes the voice again.
    d.Control<QLineEdit>(Dlg::kBank)->setText(QStringLiteral("9"));
    EXPECT_TRUE(d.Control<QWidget>(1)->isEnabled()) << fixed;
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted) << fixed;
    ASSERT_TRUE(library.GetVoice2List().Find(9, 7)) << fixed;
    EXPECT_EQ(library.GetVoice2(9, 7)->GetOpTL(1), 21) << fixed;
  }
  // The model refuses a fixed bank as a target whatever the window shows.
  CGen2VoiceEdit model;
  model.InitLibrary(3, 3, true, &library);
  Gen2VoiceFields fields = model.Show(1);
  fields.bank = 128;
  model.Store(fields, 1);
  EXPECT_FALSE(model.Commit(nullptr, &library));
  EXPECT_FALSE(library.GetVoice2List().Find(128, 3));
}

TEST_F(VoiceEditDlgKZ2Test, VoiceNumberUpDownKeepsToTheNumbersOkTakes) {
  Dlg d;
  d.InitFromLibrary(4, 5, 1);
  d.OnInitDialog();
  auto* spin = d.Control<QSpinBox>(Dlg::kVoiceNoSpin);
  EXPECT_EQ(spin->minimum(), 1);
  EXPECT_EQ(spin->maximum(), 16);
  spin->setValue(1);
  spin->stepBy(-1);
  EXPECT_EQ(Text(d, Dlg::kVoiceNo), QStringLiteral("1"));
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(VoiceEditDlgKZ2Test, ANonNumberRefusesOk) {
  for (int id : {static_cast<int>(Dlg::kBank), static_cast<int>(Dlg::kProgram), static_cast<int>(Dlg::kVoiceNo)}) {
    Dlg d;
    d.InitFromLibrary(6, 7, 1);
    d.OnInitDialog();
    d.show();
    Slide(d, Dlg::kTl, 12);
    d.Control<QLineEdit>(id)->setText(QStringLiteral("x1"));
    const size_t shown = host.messages.shown.size();
    d.accept();
    EXPECT_TRUE(d.isVisible()) << id;
    EXPECT_EQ(host.messages.shown.size(), shown + 1) << id;
    EXPECT_FALSE(library.GetVoice2List().Find(6, 7)) << id;
    d.reject();
  }
}

TEST_F(VoiceEditDlgKZ2Test, ARefusedNumberKeepsTheOperatorCount) {
  library.SetVoice2(3, 4, FourOperators());
  Dlg d;
  d.InitFromLibrary(3, 4, 1);
  d.OnInitDialog();
  auto* tabs = d.Control<QTabBar>(Dlg::kTabs);
  tabs->setCurrentIndex(3);
  Slide(d, Dlg::kAlg, 2);
  d.Control<QLineEdit>(Dlg::kProgram)->setText(QStringLiteral("?"));
  d.Control<QRadioButton>(Dlg::kTwoOp)->click();
  EXPECT_TRUE(d.Control<QRadioButton>(Dlg::kFourOp)->isChecked());
  EXPECT_EQ(tabs->count(), 4);
  EXPECT_EQ(d.CurrentOperator(), 4);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kAlg)->maximum(), 3);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kAlg)->value(), 2);
  // A tab change is refused the same way: the operator shown stays.
  tabs->setCurrentIndex(0);
  EXPECT_EQ(tabs->currentIndex(), 3);
  EXPECT_EQ(d.Control<QSlider>(Dlg::kMulti)->value(), 4);
  EXPECT_EQ(host.messages.shown.size(), 2u);
}

TEST_F(VoiceEditDlgKZ2Test, CancelWritesNothing) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  ASSERT_EQ(doc.AssignKZ12Voice(1, 3, 5), 1);
  doc.SetModifiedFlags(1 | 2);
  CVoice2 slotBefore;
  doc.GetKZ2Voice(1, slotBefore);
  for (int source = 0; source < 2; ++source) {
    Dlg d;
    if (source == 0) d.Init(1);
    else d.InitFromLibrary(3, 5, 1);
    d.OnInitDialog();
    d.Control<QRadioButton>(Dlg::kFourOp)->click();
    Slide(d, Dlg::kTl, 40);
    d.Control<QLineEdit>(Dlg::kName)->setText(QStringLiteral("Moved"));
    d.reject();
  }
  CVoice2 slotAfter;
  doc.GetKZ2Voice(1, slotAfter);
  EXPECT_EQ(Bytes(slotAfter), Bytes(slotBefore));
  EXPECT_EQ(doc.TestModifiedFlags(1 | 2), 0);
  EXPECT_FALSE(library.GetVoice2List().Find(3, 5));
}

TEST_F(VoiceEditDlgKZ2Test, SlotSourceGreysTheNumberAndAsksTheSongOnTheOperatorCount) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  ASSERT_EQ(doc.AssignKZ12Voice(5, 3, 8), 1);
  Dlg d;
  d.Init(5);
  d.OnInitDialog();
  EXPECT_FALSE(d.Control<QWidget>(Dlg::kVoiceNo)->isEnabled());
  EXPECT_FALSE(d.Control<QWidget>(Dlg::kVoiceNoSpin)->isEnabled());
  EXPECT_EQ(Text(d, Dlg::kBank), QStringLiteral("3"));
  EXPECT_EQ(Text(d, Dlg::kProgram), QStringLiteral("8"));
  EXPECT_TRUE(d.Control<QWidget>(1)->isEnabled());
  // Slot 5 is the upper half of a pair: it takes no 4-operator voice.
  d.Control<QRadioButton>(Dlg::kFourOp)->click();
  EXPECT_FALSE(d.Control<QWidget>(1)->isEnabled());
  d.accept();
  EXPECT_NE(d.result(), QDialog::Accepted);
  d.Control<QRadioButton>(Dlg::kTwoOp)->click();
  EXPECT_TRUE(d.Control<QWidget>(1)->isEnabled());
}

TEST_F(VoiceEditDlgKZ2Test, SongWindowAndMapOpenersEditTheChannelsSlot) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  ASSERT_EQ(doc.AssignKZ12Voice(2, 3, 6), 1);
  doc.SetChannelVoiceSlot(0, 2);
  RegisterVoiceWindows();
  const auto& open = SongWindowOpeners::Instance().voiceEditKZ2;
  ASSERT_TRUE(static_cast<bool>(open));
  int openedOn = -1;
  auto answer = [&](const QString& name) {
    WhenOpen([&openedOn, name](Dlg& d) {
      openedOn = d.Model().GetSlot();
      d.Control<QLineEdit>(Dlg::kName)->setText(name);
      d.Control<QSlider>(Dlg::kDr)->setValue(6);
      d.accept();
    });
  };
  answer(QStringLiteral("From Song"));
  EXPECT_EQ(open(doc.GetChannelVoiceSlot(0)), 1);
  EXPECT_EQ(openedOn, 2);
  CVoice2 voice;
  doc.GetKZ2Voice(2, voice);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(voice.GetName())), "From Song");
  EXPECT_EQ(voice.GetOpDR(1), 6);
  EXPECT_EQ(doc.GetVoiceProgram(2), 6);

  answer(QStringLiteral("From Map"));
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(2, voice_hooks::SlotDialog::ByChipMode), 1);
  doc.GetKZ2Voice(2, voice);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(voice.GetName())), "From Map");
  WhenOpen([](Dlg& d) { d.reject(); });
  EXPECT_EQ(open(2), 0);
}

}  // namespace
