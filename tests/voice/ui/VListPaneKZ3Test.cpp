#include "voice/ui/VListPaneKZ3.h"

#include <gmock/gmock.h>
#include <stdlib.h>

#include <QApplication>
#include <QImage>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/core/FileChooser.h"
#include "tests/voice/models/VamFixture.h"
#include "uikit/ScrollSteps.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/KZxVoiceEditPropertyPageFM.h"
#include "voice/ui/VListHooks.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

FileAnswer PathChoice(const std::string& path) {
  FileAnswer answer;
  answer.ok = true;
  answer.path = path;
  return answer;
}

class VListPaneKZ3Test : public vamtest::VamTest {
 protected:
  void SetUp() override {
    host.settings.chipMode = 3;
    VoiceWindowHost::SetShell(&shell);
    vlist_hooks::SetFileChooser(&chooser);
    char pattern[] = "/tmp/trillot-vlistpane-XXXXXX";
    dir = ::mkdtemp(pattern);
    dir += "/";
  }
  void TearDown() override {
    VoiceWindowHost::SetShell(nullptr);
    vlist_hooks::SetFileChooser(nullptr);
    fs::remove_all(dir);
  }

  std::unique_ptr<CVListPaneKZ3> MakePane() {
    auto pane = std::make_unique<CVListPaneKZ3>();
    pane->resize(800, 400);
    pane->SetMode(3);
    return pane;
  }

  std::vector<int> LoggedIds() const {
    std::vector<int> ids;
    for (const auto& line : host.messages.log) ids.push_back(line.id);
    return ids;
  }

  ScriptedFileChooser chooser;
  std::string dir;
};

TEST_F(VListPaneKZ3Test, SelectedCellAndGridColours) {
  auto pane = MakePane();
  library.GetVoiceBank().SetVoice(124, 2, 5, 0, Fm(124, 2, 5, 0));
  pane->LeftDown(QPoint(516, 188));
  EXPECT_EQ(pane->Model().GetSelection(), (CVListModelKZ3::Address{124, 2, 5, -1}));
  const QRect cell = pane->CellRect(2, 5);
  ASSERT_EQ(cell, QRect(56 + 450, 85 + 100, 225, 20));
  const QImage image = pane->Render().toImage();
  EXPECT_EQ(image.pixelColor(cell.topLeft() + QPoint(3, 3)), QColor(0, 0, 128));
  EXPECT_EQ(image.pixelColor(cell.topLeft() + QPoint(190, 3)), QColor(0, 0, 128));  // the type part
  EXPECT_EQ(image.pixelColor(cell.topLeft() + QPoint(3, 0)), QColor(192, 192, 192));
  EXPECT_EQ(image.pixelColor(pane->CellRect(1, 5).topLeft() + QPoint(3, 3)), QColor(Qt::white));
}

TEST_F(VListPaneKZ3Test, DrumNotesOfThePhraseProfileAreGrey) {
  host.settings.chipMode = 5;
  host.settings.outputProfile = 4;
  auto pane = MakePane();
  pane->resize(800, 700);
  pane->TabStrip()->setCurrentIndex(1);
  pane->ScrollVert(scroll::kThumbPosition, 13, nullptr);
  const QImage image = pane->Render().toImage();
  EXPECT_EQ(image.pixelColor(pane->CellRect(0, 13).topLeft() + QPoint(3, 3)), QColor(240, 240, 240));
  EXPECT_EQ(image.pixelColor(pane->CellRect(0, 35).topLeft() + QPoint(3, 3)), QColor(Qt::white));
}

TEST_F(VListPaneKZ3Test, DoubleClickOkStoresMarksAndSends) {
  auto pane = MakePane();
  library.GetVoiceBank().SetVoice(124, 1, 3, 0, Fm(124, 1, 3, 2));
  CVoiceItem edited;
  bool opened = false;
  QTimer::singleShot(0, [&] {
    auto* sheet = dynamic_cast<CKZxVoiceEditDlg*>(QApplication::activeModalWidget());
    opened = sheet != nullptr;
    if (!sheet) return;
    sheet->FmPage()->Slider(CKZxVoiceEdit_PropertyPageFM::kTL.slider)->setValue(40);
    sheet->Ok();
    edited = sheet->GetVoice();
  });
  pane->LeftDoubleClick(QPoint(56 + 225 + 10, 85 + 60 + 5));  // 124/1/3
  ASSERT_TRUE(opened);
  const CVoiceItem* stored = library.GetVoiceBank().FindByProgram(124, 1, 3);
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(stored->IsSame(edited));
  EXPECT_NE(stored->GetOpTL(1), 0);
  EXPECT_EQ(library.IsModified(), 1);
  ASSERT_THAT(host.board.CallNames(), ElementsAre("SendVoice"));
  EXPECT_EQ(host.board.calls[0].object, stored);
  EXPECT_THAT(host.board.calls[0].values, ElementsAre(0));
  EXPECT_EQ(shell.voiceUpdates, 1);
}

TEST_F(VListPaneKZ3Test, CancelledEditChangesNothing) {
  auto pane = MakePane();
  QTimer::singleShot(0, [] {
    if (auto* sheet = dynamic_cast<CKZxVoiceEditDlg*>(QApplication::activeModalWidget())) sheet->Cancel();
  });
  pane->LeftDoubleClick(QPoint(56 + 225 + 10, 90));
  EXPECT_EQ(library.GetVoiceBank().FindByProgram(124, 1, 0), nullptr);
  EXPECT_TRUE(host.board.calls.empty());
  EXPECT_EQ(library.IsModified(), 0);
}

TEST_F(VListPaneKZ3Test, HeaderRightClickOffersTheBankCommands) {
  auto pane = MakePane();
  const VListMenu menu = pane->MenuAt(QPoint(56 + 3 * 225 + 20, 30));
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_TRUE(menu[0].enabled);
  EXPECT_EQ(pane->Model().GetBankSelection(), (CVListModelKZ3::Address{124, 3, 0, -1}));
  // A cell offers Copy and Paste once selected.
  pane->LeftDown(QPoint(100, 90));
  ASSERT_EQ(pane->MenuAt(QPoint(100, 90)).size(), 2u);
  EXPECT_EQ(pane->MenuAt(QPoint(100, 90))[0].id, CVListModelKZ3::kCopyAlt);
  shell.idle = 0;
  EXPECT_TRUE(pane->MenuAt(QPoint(100, 90)).empty());
}

TEST_F(VListPaneKZ3Test, ExportNameMayHaveFiftyNineCharacters) {
  auto pane = MakePane();
  library.GetVoiceBank().SetVoice(124, 3, 0, 0, Fm(124, 3, 0, 2));
  pane->MenuAt(QPoint(56 + 3 * 225 + 20, 30));
  const std::string ok = dir + std::string(55, 'a') + ".vk3";
  const std::string tooLong = dir + std::string(56, 'b') + ".vk3";
  chooser.Answer(PathChoice(ok));
  chooser.Answer(PathChoice(tooLong));
  pane->OnCommand(CVListModelKZ3::kExport);
  pane->OnCommand(CVListModelKZ3::kExport);
  EXPECT_TRUE(fs::exists(ok));
  EXPECT_FALSE(fs::exists(tooLong));
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7026));
  EXPECT_THAT(LoggedIds(), ElementsAre(7512));
  ASSERT_EQ(chooser.Requests().size(), 2u);
  EXPECT_FALSE(chooser.Requests()[0].open);
  EXPECT_EQ(chooser.Requests()[0].filter, "Extended voice file (*.vk3)|*.vk3||");
  EXPECT_EQ(chooser.Requests()[0].defaultExtension, "vk3");
}

TEST_F(VListPaneKZ3Test, ImportAsksToSaveAModifiedLibraryFirst) {
  auto pane = MakePane();
  library.GetVoiceBank().SetVoice(124, 3, 0, 0, Fm(124, 3, 0, 2));
  library.SetModified(1);
  pane->MenuAt(QPoint(56 + 3 * 225 + 20, 30));
  const std::string saved = dir + "saved.vk3";
  host.messages.answers = {6};
  chooser.Answer(PathChoice(saved));  // the export of Yes
  chooser.Answer(PathChoice(saved));  // the file to import
  pane->OnCommand(CVListModelKZ3::kImport);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7073));
  ASSERT_EQ(chooser.Requests().size(), 2u);
  EXPECT_TRUE(chooser.Requests()[1].open);
  EXPECT_THAT(LoggedIds(), ElementsAre(7512, 7511));
  EXPECT_EQ(library.IsModified(), 0);
  EXPECT_EQ(shell.voiceUpdates, 1);
}

TEST_F(VListPaneKZ3Test, KeysScrollByRowsAndColumns) {
  auto pane = MakePane();  // 400 pixels: 20 rows fit, a page is 17
  QTest::keyClick(pane.get(), Qt::Key_PageDown);
  EXPECT_EQ(pane->VerticalPosition(), 17);
  QTest::keyClick(pane.get(), Qt::Key_Up);
  EXPECT_EQ(pane->VerticalPosition(), 16);
  QTest::keyClick(pane.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(pane->VerticalPosition(), 127);
  QTest::keyClick(pane.get(), Qt::Key_Down);
  EXPECT_EQ(pane->VerticalPosition(), 127);
  QTest::keyClick(pane.get(), Qt::Key_End);
  EXPECT_EQ(pane->HorizontalPosition(), 9);
  QTest::keyClick(pane.get(), Qt::Key_Left);
  EXPECT_EQ(pane->HorizontalPosition(), 8);
  QTest::keyClick(pane.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(pane->VerticalPosition(), 0);
  EXPECT_EQ(pane->HorizontalPosition(), 8);
  // Scrolled, the same point is another cell.
  pane->LeftDown(QPoint(100, 90));
  EXPECT_EQ(pane->Model().GetSelection(), (CVListModelKZ3::Address{124, 8, 0, -1}));
}

}  // namespace
