#include "voice/ui/VoiceEditDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QApplication>
#include <QTimer>
#include <vector>

#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/core/StartupFakes.h"
#include "tests/views/SongWindowHostFake.h"
#include "tests/voice/models/VamFixture.h"
#include "uikit/OwnerDrawCombo.h"
#include "views/ChannelView.h"
#include "views/SongWindowHost.h"
#include "voice/VoiceWindowHooks.h"
#include "voice/ui/VoiceWindowHost.h"
#include "voice/ui/VoiceWindowRegistration.h"
#include "uikit/PictureStore.h"
#include "voice/ui/VoiceEditPictures.h"

namespace {

class VoiceEditDlgTest : public ::testing::Test {
 protected:
  VoiceEditDlgTest() {
    host.settings.chipMode = 1;
    host.registry.voiceLibrary = &library;
  }

  /// Opens the board link through a fake that answers every handshake.
  void ConnectBoard() {
    app.SetBoardLinkFactory([this](const std::string&) {
      return std::make_unique<startuptest::FakeBoardLink>(linkLog, std::deque<std::string>{"12"});
    });
    ASSERT_EQ(app.OpenBoardPort(1), 1);
  }

  std::vector<std::string> SetupCalls() const {
    std::vector<std::string> out;
    for (const std::string& c : linkLog->calls)
      if (c.rfind("SendSetup", 0) == 0) out.push_back(c);
    return out;
  }

  static void SetSlider(CVoiceEditDlg& d, int id, int v) { d.Control<QSlider>(id)->setValue(v); }
  static void Check(CVoiceEditDlg& d, int id, bool on) { d.Control<QAbstractButton>(id)->setChecked(on); }

  platform::FakeHost host;
  CVoiceLibrary library;
  CTrillotApp app;
  std::shared_ptr<startuptest::FakeBoardLink::Log> linkLog = std::make_shared<startuptest::FakeBoardLink::Log>();
};

TEST_F(VoiceEditDlgTest, OkStoresTheExtendedEntry) {
  CVoiceEditDlg d(nullptr);
  d.SetVoice(5, 1);
  d.OnInitDialog();
  d.Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("Piano"));
  for (int i = 0; i < 4; ++i) Check(d, CVoiceEditDlg::kModChecks[i], i != 1);
  for (int i = 0; i < 4; ++i) Check(d, CVoiceEditDlg::kCarChecks[i], i == 1);
  const int mod[6] = {15, 3, 7, 2, 10, 5};
  for (int i = 0; i < 6; ++i) SetSlider(d, CVoiceEditDlg::kModSliders[i], mod[i]);
  const int car[5] = {1, 2, 4, 0, 0};
  for (int i = 0; i < 5; ++i) SetSlider(d, CVoiceEditDlg::kCarSliders[i], car[i]);
  for (int r = 0; r < 4; ++r) {
    Check(d, CVoiceEditDlg::kFirstRangeBox + r, r == 0 || r == 2);
    SetSlider(d, CVoiceEditDlg::kFirstMSlider + r, r == 2 ? 5 : 1);
    SetSlider(d, CVoiceEditDlg::kFirstCSlider + r, r == 2 ? 7 : 1);
  }
  Check(d, CVoiceEditDlg::kFirstBasicRadio + 2, true);
  // The carrier's FL is not the dialog's: it stays as the entry had it.
  library.GetGen1VoiceTable(1).SetFL(5, 1, 0);
  d.accept();
  const uint8_t* e = library.GetGen1VoiceTable(1).GetEntry(5);
  EXPECT_EQ(std::vector<uint8_t>(e + 20, e + 33),
            (std::vector<uint8_t>{0xB5, 0xCF, 0xC8, 0xAD, 0xE9, 0x08, 0x40, 0x00, 0x11, 0x11, 0x57, 0x11, 0x52}));
  EXPECT_EQ(d.Control<QLabel>(2047)->text(), QStringLiteral("0"));
  EXPECT_EQ(d.Control<QLabel>(2056)->text(), QStringLiteral("-7.50"));
}

TEST_F(VoiceEditDlgTest, LengthButtonsShowTheirNotePictures) {
  CVoiceEditDlg d(nullptr);
  d.OnInitDialog();
  const ui::PictureStore& store = ui::PictureStore::Instance();
  std::vector<QImage> seen;
  for (int n = 0; n < 4; ++n) {
    auto* radio = d.Control<QRadioButton>(CVoiceEditDlg::kFirstLengthRadio + n);
    ASSERT_NE(radio, nullptr);
    EXPECT_TRUE(radio->text().isEmpty()) << n;
    const QImage shown = radio->icon().pixmap(radio->iconSize()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, store.Pixmap(voiceedit::kNoteLengthPictures[n]).toImage().convertToFormat(QImage::Format_RGB32)) << n;
    // A drawn note, not a number: dark ink on the face, and unlike the other lengths.
    int ink = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) ink += qGray(shown.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(ink, 12) << n;
    for (const QImage& other : seen) EXPECT_NE(shown, other) << n;
    seen.push_back(shown);
  }
  EXPECT_TRUE(d.Control<QRadioButton>(CVoiceEditDlg::kFirstLengthRadio)->isChecked());
  EXPECT_FALSE(d.Control<QLabel>(CVoiceEditDlg::kLengthGroupPictureControl)->pixmap().isNull());
}

std::string EntryName(const CVoiceTable1& table, int entry) {
  const auto* name = reinterpret_cast<const char*>(table.GetEntry(entry));
  return std::string(name, strnlen(name, 16));
}

TEST_F(VoiceEditDlgTest, SwitchingVoicesStoresTheShownVoiceIntoItsOwnEntry) {
  CVoiceTable1& table = library.GetGen1VoiceTable(1);
  const int base = library.GetBankBaseIndex(1);
  const std::string sixBefore = EntryName(table, base + 6);
  CVoiceEditDlg d(nullptr);
  d.SetVoice(5, 1);
  d.OnInitDialog();
  d.Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("Five"));
  d.Control<QLineEdit>(CVoiceEditDlg::kVoiceNo)->setText(QStringLiteral("6"));
  EXPECT_EQ(EntryName(table, base + 5), "Five");
  EXPECT_EQ(EntryName(table, base + 6), sixBefore);
  EXPECT_EQ(d.Control<QLineEdit>(CVoiceEditDlg::kName)->text().toStdString(), sixBefore);
  EXPECT_EQ(d.Control<QSpinBox>(CVoiceEditDlg::kVoiceSpin)->value(), 6);

  // A row of the program list shows the voice of its number.
  d.Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("Six"));
  auto* list = d.Control<COwnerDrawCombo>(CVoiceEditDlg::kProgramList);
  ASSERT_EQ(list->count(), 128);
  emit list->activated(9);
  EXPECT_EQ(EntryName(table, base + 6), "Six");
  EXPECT_EQ(d.Control<QLineEdit>(CVoiceEditDlg::kVoiceNo)->text(), QStringLiteral("9"));
  EXPECT_EQ(d.Control<QLineEdit>(CVoiceEditDlg::kName)->text().toStdString(), EntryName(table, base + 9));
}

TEST_F(VoiceEditDlgTest, VoiceNumberOutsideItsRangeShowsTheRangeTextAndStaysOpen) {
  CVoiceEditDlg d(nullptr);
  d.SetVoice(5, 1);
  d.OnInitDialog();
  d.show();
  d.Control<QLineEdit>(CVoiceEditDlg::kVoiceNo)->setText(QStringLiteral("128"));
  d.accept();
  EXPECT_TRUE(d.isVisible());
  EXPECT_NE(d.result(), QDialog::Accepted);
  ASSERT_FALSE(host.messages.shown.empty());
  EXPECT_EQ(host.messages.shown.back().text, "Enter an integer between 0 and 127.");
  EXPECT_EQ(host.ui.voiceWindowUpdates, 0);
  d.Control<QLineEdit>(CVoiceEditDlg::kVoiceNo)->setText(QStringLiteral("127"));
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(VoiceEditDlgTest, DefaultBankIsReadOnly) {
  CVoiceEditDlg d(nullptr);
  d.SetVoice(3, 0);
  d.OnInitDialog();
  EXPECT_FALSE(d.Control<QWidget>(1)->isEnabled());
  EXPECT_FALSE(d.Control<QWidget>(CVoiceEditDlg::kName)->isEnabled());
  const std::vector<uint8_t> before(library.GetGen1VoiceTable(0).GetEntry(3), library.GetGen1VoiceTable(0).GetEntry(3) + 33);
  d.Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("Changed"));
  d.StoreVoice();
  EXPECT_EQ(std::vector<uint8_t>(library.GetGen1VoiceTable(0).GetEntry(3), library.GetGen1VoiceTable(0).GetEntry(3) + 33),
            before);
}

TEST_F(VoiceEditDlgTest, AttackZeroShowsDashesAndStoresOne) {
  library.GetGen1VoiceTable(1).SetAR(7, 0, 0);
  CVoiceEditDlg d(nullptr);
  d.SetVoice(7, 1);
  d.OnInitDialog();
  EXPECT_EQ(d.Control<QSlider>(CVoiceEditDlg::kModSliders[0])->value(), 1);
  d.StoreVoice();
  EXPECT_EQ(library.GetGen1VoiceTable(1).GetAR(7, 0), 1);
}

TEST_F(VoiceEditDlgTest, KeysFollowTheLinkAndTheRangeBoxes) {
  {
    CVoiceEditDlg d(&app);
    d.SetVoice(0, 1);
    d.OnInitDialog();
    EXPECT_FALSE(d.Control<QWidget>(1977)->isEnabled());  // no link
  }
  ConnectBoard();
  CVoiceEditDlg d(&app);
  d.SetVoice(0, 1);
  d.OnInitDialog();
  for (int r = 0; r < 4; ++r) Check(d, CVoiceEditDlg::kFirstRangeBox + r, false);
  d.Control<QCheckBox>(CVoiceEditDlg::kFirstRangeBox)->click();
  d.Control<QCheckBox>(CVoiceEditDlg::kFirstRangeBox)->click();
  EXPECT_FALSE(d.Control<QWidget>(1)->isEnabled());
  EXPECT_FALSE(d.Control<QWidget>(1977)->isEnabled());
  d.Control<QCheckBox>(CVoiceEditDlg::kFirstRangeBox + 1)->click();
  EXPECT_TRUE(d.Control<QWidget>(1977)->isEnabled());

  d.Control<QPushButton>(1977)->click();  // "E"
  ASSERT_EQ(SetupCalls().size(), 1u);
  EXPECT_EQ(SetupCalls()[0].substr(0, 12), "SendSetup(1,");
  EXPECT_NE(SetupCalls()[0].find(",5,0,"), std::string::npos) << SetupCalls()[0];

  d.Control<QPushButton>(CVoiceEditDlg::kKeyboard)->setChecked(true);
  QTest::keyClick(&d, Qt::Key_V);
  ASSERT_EQ(SetupCalls().size(), 2u);
  EXPECT_EQ(SetupCalls()[1].substr(0, 12), "SendSetup(2,");
  EXPECT_NE(SetupCalls()[1].find(",6,0,"), std::string::npos) << SetupCalls()[1];
  QTest::keyClick(&d, Qt::Key_A);  // octave 0
  QTest::keyClick(&d, Qt::Key_Z);
  EXPECT_EQ(SetupCalls().size(), 2u);
  EXPECT_EQ(d.GetOctave(), 0);
}

TEST_F(VoiceEditDlgTest, SlotEditingStoresIntoTheSong) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  doc.AssignKZ12Voice(2, 1, 4);
  CVoiceEditDlg d(nullptr);
  d.SetSlot(2);
  d.OnInitDialog();
  EXPECT_EQ(d.Control<QLineEdit>(CVoiceEditDlg::kSlotNo)->text(), QStringLiteral("3"));
  EXPECT_FALSE(d.Control<QWidget>(CVoiceEditDlg::kVoiceNo)->isEnabled());
  d.Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("Slot Voice"));
  d.accept();
  uint8_t voice[33];
  doc.GetKZ1Voice(2, voice);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(voice)), "Slot Voice");
  host.registry.document = nullptr;
}

TEST_F(VoiceEditDlgTest, SongWindowAndMapOpenersRunTheDialogOnTheSlot) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  doc.AssignKZ12Voice(4, 1, 2);
  RegisterVoiceWindows();
  const auto& open = SongWindowOpeners::Instance().voiceEdit2Op;
  ASSERT_TRUE(static_cast<bool>(open));
  auto answer = [](const QString& name) {
    QTimer::singleShot(0, [name] {
      auto* d = dynamic_cast<CVoiceEditDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      d->Control<QLineEdit>(CVoiceEditDlg::kName)->setText(name);
      d->accept();
    });
  };
  answer(QStringLiteral("From Song"));
  EXPECT_EQ(open(4), 1);
  uint8_t voice[33];
  doc.GetKZ1Voice(4, voice);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(voice)), "From Song");

  answer(QStringLiteral("From Map"));
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(4, voice_hooks::SlotDialog::ByChipMode), 1);
  doc.GetKZ1Voice(4, voice);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(voice)), "From Map");

  // Chip modes 3 and 5 edit their slots in the voice editor sheet: this opener opens nothing.
  host.settings.chipMode = 3;
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(4, voice_hooks::SlotDialog::ByChipMode), 0);
  host.registry.document = nullptr;
}

TEST_F(VoiceEditDlgTest, VoiceEditCommandRunsTheDialogThenRepaintsTheVoiceWindows) {
  vamtest::FakeShell shell;
  VoiceWindowHost::SetShell(&shell);
  VoiceCommandTarget target;
  QTimer::singleShot(0, [] {
    auto* d = dynamic_cast<CVoiceEditDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    d->Control<QComboBox>(CVoiceEditDlg::kBank)->setCurrentIndex(1);
    d->Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("By Command"));
    d->accept();
  });
  EXPECT_TRUE(target.OnCommand(VoiceCommandTarget::kVoiceEdit));
  EXPECT_EQ(EntryName(library.GetGen1VoiceTable(1), library.GetBankBaseIndex(1)), "By Command");
  EXPECT_EQ(shell.voiceUpdates, 1);
  VoiceWindowHost::SetShell(nullptr);
}

TEST_F(VoiceEditDlgTest, SongWindowRegionClickEditsTheChannelsSlot) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  doc.AssignKZ12Voice(6, 1, 3);
  doc.SetChannelValue(2, 1);
  ASSERT_NE(doc.SetChannelVoiceSlot(2, 6), 0);
  RegisterVoiceWindows();
  SongWindowHostFake songHost;
  songHost.doc = &doc;
  CChannelView pane(songHost);
  pane.resize(900, 300);
  pane.show();
  pane.UpdateView(nullptr);
  const ChannelGeometry& g = pane.Geometry();
  ASSERT_GT(g.Width(ChannelGeometry::kRegion), 0);
  QString shownSlot;
  QTimer::singleShot(0, [&shownSlot] {
    auto* d = dynamic_cast<CVoiceEditDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    shownSlot = d->Control<QLineEdit>(CVoiceEditDlg::kSlotNo)->text();
    d->Control<QLineEdit>(CVoiceEditDlg::kName)->setText(QStringLiteral("Region"));
    d->accept();
  });
  pane.OnLButtonDown({g.ColumnLeft(ChannelGeometry::kRegion) + 5, g.RowTop(3) + 10});  // channel 3
  EXPECT_EQ(shownSlot, QStringLiteral("7"));
  uint8_t voice[33];
  doc.GetKZ1Voice(6, voice);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(voice)), "Region");
  EXPECT_EQ(songHost.voiceWindowUpdates, 1);
  host.registry.document = nullptr;
}

TEST(VoiceCommandTarget, VoiceEditOnlyInChipModeOne) {
  platform::FakeHost host;
  VoiceCommandTarget target;
  ui::CmdUI state;
  for (int chip : {1, 2, 3, 5}) {
    host.settings.chipMode = chip;
    ASSERT_TRUE(target.OnUpdate(VoiceCommandTarget::kVoiceEdit, state));
    EXPECT_EQ(state.enabled, chip == 1) << chip;
  }
}

}  // namespace
