// The generation-3 Preference dialog, offscreen, over the application with fakes.
#include "TestPaths.h"
#include "app/ui/PreferenceDlgKZ3.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/core/ConverterBinder.h"
#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"
#include "tools/demosong/DemoSong.h"
#include "uikit/DialogTemplate.h"

namespace {

using D = CPreferenceDlgKZ3;

/// Answers the folder browser from a script; an empty answer is a Cancel.
class ScriptedChooser : public IFileChooser {
 public:
  std::vector<std::string> answers;
  std::vector<FileRequest> requests;
  FileAnswer Choose(const FileRequest& request) override {
    requests.push_back(request);
    FileAnswer a;
    if (answers.empty()) return a;
    a.path = answers.front();
    answers.erase(answers.begin());
    a.ok = !a.path.empty();
    return a;
  }
};

bool Ticked(const QWidget* d, int id) { return ui::item<QCheckBox>(d, id)->isChecked(); }
QComboBox* Combo(const QWidget* d, int id) { return ui::item<QComboBox>(d, id); }

class PreferenceDlg : public testing::Test {
 protected:
  void SetUp() override {
    host.settings.chipMode = 3;
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
  }
  platform::FakeHost host;
  CTrillotApp app;
  ScriptedChooser chooser;
};

TEST_F(PreferenceDlg, DefaultStatusRowsWidthAndHiddenControls) {
  D d(app, &chooser);
  EXPECT_EQ(d.windowTitle(), "Preference");
  EXPECT_FALSE(Ticked(&d, D::kCopyEdit));
  EXPECT_TRUE(Ticked(&d, D::kCopySave));
  EXPECT_FALSE(Ticked(&d, D::kCopyCopy));
  for (int id : {D::kEditEdit, D::kEditSave, D::kEditCopy}) EXPECT_TRUE(Ticked(&d, id)) << id;
  EXPECT_EQ(Combo(&d, D::kWidth)->currentText(), "0.5s");
  EXPECT_EQ(Combo(&d, D::kOutputFormat)->currentText(), "VELK");
  EXPECT_FALSE(Combo(&d, D::kOutputFormat)->isEnabled());
  EXPECT_EQ(Combo(&d, D::kModeSetting)->count(), 2);
  EXPECT_TRUE(Combo(&d, D::kModeSetting)->isEnabled());
  for (int id : {D::kForm, D::kPort, D::kBlinkLed, D::kBlinkMtr, D::kChipMode, D::kCompress})
    EXPECT_TRUE(ui::item<QWidget>(&d, id)->isHidden()) << id;
  EXPECT_EQ(Combo(&d, D::kForm)->currentText(), "MIDI");
  EXPECT_EQ(Combo(&d, D::kChipMode)->currentText(), "KZ3-VELK");
  EXPECT_EQ(Combo(&d, D::kBlinkMtr)->itemText(1), "2.25 Hz");
}

TEST_F(PreferenceDlg, StoredMode2InChipMode3ShowsNoSelection) {
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
  D d(app, &chooser);
  EXPECT_EQ(Combo(&d, D::kModeSetting)->currentIndex(), -1);
}

TEST_F(PreferenceDlg, MfiProfilesHideTheContentsInformationRows) {
  app.SetOutputProfile(1);
  D d(app, &chooser);
  for (int id : {D::kContentsGroup, 2212, 2213, D::kCopyEdit, D::kEditCopy})
    EXPECT_TRUE(ui::item<QWidget>(&d, id)->isHidden()) << id;
  EXPECT_EQ(Combo(&d, D::kOutputFormat)->currentText(), "MFi");
}

TEST_F(PreferenceDlg, CancelStillClearsTheLibraryModifiedFlag) {
  app.GetVoiceLibrary().SetModified(1);
  D d(app, &chooser);
  d.reject();
  EXPECT_EQ(app.GetVoiceLibrary().IsModified(), 0);
}

TEST_F(PreferenceDlg, FolderChoiceLandsWholeAndCancelKeepsIt) {
  const std::string longPath = "/" + std::string(299, 'f');
  chooser.answers = {longPath, ""};
  D d(app, &chooser);
  ui::item<QPushButton>(&d, D::kFolderButtons[2])->click();
  ASSERT_EQ(chooser.requests.size(), 1u);
  EXPECT_EQ(chooser.requests[0].kind, FileDialogKind::Folder);
  EXPECT_EQ(chooser.requests[0].title, "Default Sound Directory.");
  EXPECT_EQ(d.m_folders[2], longPath);
  EXPECT_EQ(ui::item<QLineEdit>(&d, D::kFolderEdits[2])->text().toStdString(), longPath);
  ui::item<QPushButton>(&d, D::kFolderButtons[2])->click();
  EXPECT_EQ(chooser.requests[1].folder, longPath);
  EXPECT_EQ(d.m_folders[2], longPath);
  EXPECT_EQ(ui::item<QLineEdit>(&d, D::kFolderEdits[2])->text().toStdString(), longPath);
}

TEST_F(PreferenceDlg, OkStoresTheTickedStatusesAndCloses) {
  D d(app, &chooser);
  for (int id : {D::kCopyEdit, D::kCopySave, D::kCopyCopy}) ui::item<QCheckBox>(&d, id)->setChecked(false);
  ui::item<QLineEdit>(&d, D::kFolderEdits[0])->setText("/typed");
  d.OnKillFocusFolder(0);
  d.OnOK();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "CopyStatus", 0), 255);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "EditStatus", 0), 248);
  EXPECT_EQ(host.profile.GetProfileString("Setting", "DefDir_INPUT", ""), "/typed");
}

/// With the demo song open through Midigate beside the program.
class PreferenceWithSong : public PreferenceDlg {
 protected:
  void SetUp() override {
    PreferenceDlg::SetUp();
    host.settings.outputProfile = 2;
    host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
    services = platform::host();
    services.binder = &binder;
    services.registry = &app.GetRegistry();
    app.GetRegistry().voiceLibrary = &app.GetVoiceLibrary();
    scope = std::make_unique<platform::ScopedHost>(services);
    ASSERT_TRUE(app.GetVoiceLibrary().LoadDefaultVoices());
    const std::string path = dir.path().toStdString() + "/demo.mid";
    ASSERT_TRUE(demosong::Write(path));
    auto doc = std::make_unique<CKZ1Doc>();
    ASSERT_EQ(doc->OpenWithChannelMask(path, 0xFFFF, 24), 1);
    app.SetDocument(std::move(doc));
  }
  void TearDown() override {
    app.SetDocument(nullptr);
    scope.reset();
  }
  ConverterBinder binder;
  platform::HostServices services;
  std::unique_ptr<platform::ScopedHost> scope;
  QTemporaryDir dir;
};

TEST_F(PreferenceWithSong, ModeSettingIsDisabledWithASong) {
  D d(app, &chooser);
  EXPECT_FALSE(Combo(&d, D::kModeSetting)->isEnabled());
}

TEST_F(PreferenceWithSong, NewWidthRecomputesTheDensitySameWidthNothing) {
  CKZ1Doc& doc = *app.GetDocument();
  doc.ResetDensityInfo(0);
  {
    D d(app, &chooser);
    d.OnOK();
  }
  EXPECT_EQ(doc.HasDensityInfo(), 0);
  EXPECT_NE(doc.TestModifiedFlags(2), 0u);

  D d(app, &chooser);
  Combo(&d, D::kWidth)->setCurrentIndex(0);
  d.OnOK();
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "DensWidth", 0), 100);
  ASSERT_EQ(doc.HasDensityInfo(), 1);
  CMemStream native;
  ASSERT_EQ(doc.makeKZ3NativeFormat(native, 0, 0), 1);
  native.SeekToBegin();
  CMidiList list;
  list.SetDensWidth(100);
  ASSERT_EQ(list.ReadSmf(native, nullptr), 1);
  EXPECT_EQ(doc.GetMaxDensity(), list.GetMaxDensity());
  EXPECT_EQ(doc.GetMaxDensityTime(), list.GetMaxDensityTime());
  EXPECT_EQ(doc.GetDensityList().size(), list.GetDensityPoints().size());
  EXPECT_TRUE(host.messages.ShownIds().empty());
}

}  // namespace

namespace {

TEST_F(PreferenceDlg, SecondVoiceLoadFailureIsThrownAfterTheLoopEnds) {
  QTemporaryDir empty;
  host.settings.appDir = empty.path().toStdString() + "/";
  D d(app, &chooser);
  Combo(&d, D::kModeSetting)->setCurrentIndex(1);
  QTimer::singleShot(0, [&d] { ui::item<QPushButton>(&d, 1)->click(); });
  EXPECT_ANY_THROW(d.DoModal());
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7045});
}

}  // namespace
