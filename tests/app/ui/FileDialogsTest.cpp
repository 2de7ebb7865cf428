// The file dialogs with option panels, offscreen: panels found by id, values after a run.
#include "app/ui/FileDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

#include "app/ui/QtFileChooser.h"
#include "platform/host/testing/FakeHost.h"
#include "voice/ui/KZ3ImportVKZFileDlg.h"

namespace {

FileRequest Request(FileDialogKind kind, const QTemporaryDir& dir, bool open = true) {
  FileRequest r;
  r.kind = kind;
  r.open = open;
  r.folder = dir.path().toStdString();
  r.flags = fileflags::kLongNames | fileflags::kHideReadOnly |
            (open ? fileflags::kFileMustExist : fileflags::kPathMustExist | fileflags::kOverwritePrompt);
  return r;
}

QString MakeFile(const QTemporaryDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write("x");
  return path;
}

/// Selects the file and lets the dialog and the panel's gate follow.
void Select(CFileDialogBase& d, const QString& path) {
  d.selectFile(path);
  QApplication::processEvents();
  QApplication::processEvents();
}

TEST(CSMFLoadDlg, PanelBelowTheDialogGivesPathAndChannels) {
  QTemporaryDir dir;
  const QString path = MakeFile(dir, "song.mid");
  FileRequest r = Request(FileDialogKind::SmfLoad, dir);
  r.defaultExtension = "mid";
  r.filter = "Standard MIDI File (*.mid)|*.mid||";
  CSMFLoadDlg d(r);
  for (int id = 1334; id <= 1349; ++id) {
    QCheckBox* box = ui::item<QCheckBox>(&d, id);
    ASSERT_NE(box, nullptr) << id;
    EXPECT_TRUE(box->isChecked()) << id;
  }
  EXPECT_EQ(d.nameFilters(), QStringList{"Standard MIDI File (*.mid)"});
  auto* combo = ui::item<QComboBox>(&d, CSMFLoadDlg::kTimeBaseCombo);
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  EXPECT_EQ(entries, (QStringList{" 6", "12", "24", "48", "15", "30"}));
  EXPECT_TRUE(combo->isHidden());
  ui::item<QCheckBox>(&d, 1334 + 15)->click();
  Select(d, path);
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  const FileAnswer a = QtFileChooser::AnswerOf(d, r);
  EXPECT_TRUE(a.ok);
  EXPECT_EQ(QString::fromStdString(a.path), path);
  EXPECT_EQ(a.channelMask, 0x7FFF);
  EXPECT_EQ(a.timeBase, 24);
}

TEST(CSMFLoadDlg, NoChannelKeepsOpenDisabledAndRefusesAccept) {
  QTemporaryDir dir;
  const QString path = MakeFile(dir, "song.mid");
  FileRequest r = Request(FileDialogKind::SmfLoad, dir);
  r.chipMode = 1;
  CSMFLoadDlg d(r);
  d.show();
  for (int n = 0; n < 16; ++n) EXPECT_EQ(ui::item<QCheckBox>(&d, 1334 + n)->isEnabled(), n < 4) << n;
  for (int n = 0; n < 4; ++n) ui::item<QCheckBox>(&d, 1334 + n)->click();
  for (int n = 0; n < 16; ++n) EXPECT_TRUE(ui::item<QCheckBox>(&d, 1334 + n)->isEnabled()) << n;
  Select(d, path);
  ASSERT_NE(d.AcceptButton(), nullptr);
  EXPECT_FALSE(d.AcceptButton()->isEnabled());
  d.accept();
  EXPECT_NE(d.result(), QDialog::Accepted);
  EXPECT_TRUE(d.isVisible());
  ui::item<QCheckBox>(&d, 1334 + 7)->click();
  EXPECT_TRUE(d.AcceptButton()->isEnabled());
  EXPECT_EQ(d.GetChannelMask(), 0x0080);
}

TEST(CKZxSaveKZ3VELKFileDlg, TimeBaseEntriesAndBoxes) {
  QTemporaryDir dir;
  FileRequest r = Request(FileDialogKind::SaveVelk, dir, false);
  r.dvxShow = 8;
  r.dvx = 1;
  CKZxSaveKZ3VELKFileDlg d(r);
  EXPECT_EQ(d.GetTimebase(), 4);
  auto* combo = ui::item<QComboBox>(&d, CKZxSaveKZ3VELKFileDlg::kTimeBaseCombo);
  const int ms[] = {4, 5, 10, 20};
  for (int i = 0; i < 4; ++i) {
    combo->setCurrentIndex(i);
    EXPECT_EQ(d.GetTimebase(), ms[i]) << i;
  }
  EXPECT_FALSE(ui::item<QCheckBox>(&d, CKZxSaveKZ3VELKFileDlg::kCompressBox)->isHidden());
  EXPECT_FALSE(ui::item<QCheckBox>(&d, CKZxSaveKZ3VELKFileDlg::kDvxBox)->isHidden());
  EXPECT_TRUE(ui::item<QCheckBox>(&d, CKZxSaveKZ3VELKFileDlg::kDvxBox)->isChecked());
  ui::item<QCheckBox>(&d, CKZxSaveKZ3VELKFileDlg::kCompressBox)->click();
  ui::item<QCheckBox>(&d, CKZxSaveKZ3VELKFileDlg::kDvxBox)->click();
  EXPECT_EQ(d.GetCompress(), 1);
  EXPECT_EQ(d.GetDvx(), 0);
  d.SetCompressShow(0);
  EXPECT_TRUE(ui::item<QCheckBox>(&d, CKZxSaveKZ3VELKFileDlg::kCompressBox)->isHidden());
  EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(d.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(CVELKLoadDlg, TempoFollowsTheEditAndCompressShowsInChipModesThreeAndFive) {
  QTemporaryDir dir;
  for (int chip : {2, 3, 5}) {
    FileRequest r = Request(FileDialogKind::VelkLoad, dir);
    r.chipMode = chip;
    CVELKLoadDlg d(r);
    EXPECT_EQ(d.GetTempo(), 200);
    EXPECT_EQ(d.GetCompress(), 0);
    EXPECT_EQ(ui::item<QCheckBox>(&d, CVELKLoadDlg::kCompressBox)->isHidden(), chip == 2) << chip;
  }
  CVELKLoadDlg d(Request(FileDialogKind::VelkLoad, dir));
  auto* edit = ui::item<QLineEdit>(&d, CVELKLoadDlg::kTempoEdit);
  edit->selectAll();
  QTest::keyClicks(edit, "abc");
  EXPECT_EQ(d.GetTempo(), 0);
  edit->selectAll();
  QTest::keyClicks(edit, "321");
  EXPECT_EQ(d.GetTempo(), 321);
  ui::item<QSpinBox>(&d, CVELKLoadDlg::kTempoUpDown)->stepBy(1);
  EXPECT_EQ(edit->text(), "322");
  EXPECT_EQ(d.GetTempo(), 322);
}

TEST(CFileDialogPlusComment, BoxSwitchesBetweenCommentAndAlternative) {
  QTemporaryDir dir;
  FileRequest r = Request(FileDialogKind::Comment, dir, false);
  r.option = 1;
  r.comment = "Step Size: 10 [step]";
  r.alternativeComment = "other";
  CFileDialogPlusComment d(r);
  auto* edit = ui::item<QLineEdit>(&d, CFileDialogPlusComment::kCommentEdit);
  auto* box = ui::item<QCheckBox>(&d, CFileDialogPlusComment::kOptionBox);
  EXPECT_TRUE(edit->isReadOnly());
  EXPECT_EQ(edit->text(), "Step Size: 10 [step]");
  EXPECT_FALSE(box->isHidden());
  box->click();
  EXPECT_EQ(edit->text(), "other");
  EXPECT_EQ(d.GetOption(), 1);
  box->click();
  EXPECT_EQ(edit->text(), "Step Size: 10 [step]");
  EXPECT_EQ(d.GetOption(), 0);

  r.alternativeComment.clear();
  CFileDialogPlusComment same(r);
  ui::item<QCheckBox>(&same, CFileDialogPlusComment::kOptionBox)->click();
  EXPECT_EQ(ui::item<QLineEdit>(&same, CFileDialogPlusComment::kCommentEdit)->text(), "Step Size: 10 [step]");

  r.option = 0;
  CFileDialogPlusComment hidden(r);
  EXPECT_TRUE(ui::item<QCheckBox>(&hidden, CFileDialogPlusComment::kOptionBox)->isHidden());
  EXPECT_EQ(hidden.GetOption(), 0);
}

TEST(CKZ1LoadDlg, TempoFactorAndSoundFileBits) {
  QTemporaryDir dir;
  CKZ1LoadDlg kz1(Request(FileDialogKind::Kz1Load, dir));
  EXPECT_EQ(kz1.GetTempoFactor(), 2);
  ui::item<QComboBox>(&kz1, CKZ1LoadDlg::kTempoCombo)->setCurrentIndex(0);
  EXPECT_EQ(kz1.GetTempoFactor(), 1);

  CKZxSounfFileDlg sound(Request(FileDialogKind::SoundFile, dir));
  EXPECT_EQ(sound.GetBitsPerSample(), 4);
  ui::item<QRadioButton>(&sound, CKZxSounfFileDlg::kPcmRadio)->click();
  EXPECT_EQ(sound.GetBitsPerSample(), 8);
  ui::item<QRadioButton>(&sound, CKZxSounfFileDlg::kAdpcmRadio)->click();
  EXPECT_EQ(sound.GetBitsPerSample(), 4);
}

TEST(QtFileChooser, RunsTheDialogOfTheRequestModally) {
  QTemporaryDir dir;
  const QString path = MakeFile(dir, "voice.wav");
  FileRequest r = Request(FileDialogKind::SoundFile, dir);
  r.defaultExtension = "wav;aif";
  r.filter = "Sound File (*.wav *.aif)|*.wav;*.aif||";
  QTimer::singleShot(0, [path] {
    auto* d = dynamic_cast<CFileDialogBase*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    ui::item<QRadioButton>(d, CKZxSounfFileDlg::kPcmRadio)->click();
    d->selectFile(path);
    d->accept();
  });
  QtFileChooser chooser;
  const FileAnswer a = chooser.Choose(r);
  EXPECT_TRUE(a.ok);
  EXPECT_EQ(QString::fromStdString(a.path), path);
  EXPECT_EQ(a.bitsPerSample, 8);

  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_FALSE(chooser.Choose(r).ok);
}

TEST(QtFileChooser, AnswersTheBankImportWithThePanelsChoices) {
  platform::FakeHost host;
  host.settings.outputProfile = 2;
  QTemporaryDir dir;
  const QString path = MakeFile(dir, "voices.vkz");
  FileRequest r = Request(FileDialogKind::BankImport, dir);
  QTimer::singleShot(0, [path] {
    auto* d = dynamic_cast<CKZ3ImportVKZFileDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    d->Box(3)->click();  // Normal bank 3 off
    d->selectFile(path);
    d->accept();
  });
  const FileAnswer a = QtFileChooser().Choose(r);
  EXPECT_TRUE(a.ok);
  EXPECT_EQ(QString::fromStdString(a.path), path);
  // The panel's defaults under profile 2, less bank 3.
  std::vector<int> expected(20, 0);
  for (int i = 0; i < 9; ++i) expected[static_cast<size_t>(i)] = i == 3 ? 0 : 1;
  for (int i = 10; i < 18; ++i) expected[static_cast<size_t>(i)] = 1;
  EXPECT_EQ(std::vector<int>(a.bankChoices.begin(), a.bankChoices.end()), expected);
}

}  // namespace
