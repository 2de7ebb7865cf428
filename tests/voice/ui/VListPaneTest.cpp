#include "voice/ui/VListPane.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QTabBar>
#include <QTimer>
#include <cstring>
#include <map>

#include "tests/voice/models/VamFixture.h"
#include "uikit/ScrollSteps.h"
#include "uikit/ToolWindow.h"
#include "voice/ui/VListFrm.h"
#include "voice/ui/VListHooks.h"
#include "voice/ui/VoiceEditDlg.h"
#include "voice/ui/VoiceEditDlgKZ2.h"
#include "voice/ui/VoiceWindowHost.h"
#include "voice/ui/VoiceWindowRegistration.h"

namespace {

using ::testing::ElementsAre;

/// The main frame's slots by state name.
class RecordingSlots : public ui::IFrameSlots {
 public:
  void SetFrameSlot(const std::string& stateName, ui::MdiFrame* frame) override { byName[stateName] = frame; }
  std::map<std::string, ui::MdiFrame*> byName;
};

class VListPaneTest : public vamtest::VamTest {
 protected:
  void SetUp() override {
    host.settings.chipMode = 1;
    VoiceWindowHost::SetShell(&shell);
  }
  void TearDown() override {
    VoiceWindowHost::SetShell(nullptr);
    vlist_hooks::SetGen2DialogOpener({});
  }

  std::unique_ptr<CVListPane> MakePane(int mode) {
    auto pane = std::make_unique<CVListPane>();
    pane->resize(700, 300);
    pane->SetMode(mode);
    return pane;
  }
};

TEST_F(VListPaneTest, SelectedCellIsDrawnOnDarkBlue) {
  auto pane = MakePane(1);
  std::memcpy(library.GetVoiceTableEntry(1, 0), "Strings", 8);
  pane->LeftDown(QPoint(200, 30));
  const QRect cell = pane->CellRect(1, 0);
  ASSERT_EQ(cell, QRect(56 + 128, 20, 128, 20));
  const QImage image = pane->Render().toImage();
  EXPECT_EQ(image.pixelColor(cell.topLeft() + QPoint(3, 3)), QColor(0, 0, 128));
  EXPECT_EQ(image.pixelColor(cell.topLeft() + QPoint(3, 0)), QColor(192, 192, 192));
  EXPECT_EQ(image.pixelColor(pane->CellRect(0, 0).topLeft() + QPoint(3, 3)), QColor(Qt::white));
  // A click on the line under the row clears it.
  pane->LeftDown(QPoint(200, 40));
  EXPECT_EQ(pane->Render().toImage().pixelColor(cell.topLeft() + QPoint(3, 3)), QColor(Qt::white));
}

TEST_F(VListPaneTest, ModesSetTabsAndRanges) {
  auto pane = MakePane(1);
  EXPECT_FALSE(pane->TabStrip()->isVisibleTo(pane.get()));
  EXPECT_EQ(pane->TabStrip()->count(), 1);
  pane->SetMode(2);
  EXPECT_TRUE(pane->TabStrip()->isVisibleTo(pane.get()));
  ASSERT_EQ(pane->TabStrip()->count(), 2);
  EXPECT_EQ(pane->TabStrip()->tabText(1), QStringLiteral("Drum"));
  pane->TabStrip()->setCurrentIndex(1);
  EXPECT_EQ(pane->Model().ColumnHeader(2), "Bank 130 (user)");
  pane->ScrollHorz(scroll::kBottom, 0);
  EXPECT_EQ(pane->HorizontalPosition(), 9);
  pane->ScrollVert(scroll::kPageDown, 0);
  EXPECT_EQ(pane->VerticalPosition(), 4);
}

TEST_F(VListPaneTest, DoubleClickOpensTheDialogOfTheMode) {
  auto pane = MakePane(1);
  std::memcpy(library.GetVoiceTableEntry(1, 3), "Brass", 6);
  int program = -1;
  bool opened = false;
  QTimer::singleShot(0, [&] {
    auto* d = dynamic_cast<CVoiceEditDlg*>(QApplication::activeModalWidget());
    opened = d != nullptr;
    if (d) {
      program = d->Control<QComboBox>(CVoiceEditDlg::kProgramList)->currentIndex();
      d->reject();
    }
  });
  pane->LeftDoubleClick(QPoint(200, 85));  // Extended, program 3
  EXPECT_TRUE(opened);
  EXPECT_EQ(program, 3);

  std::vector<std::tuple<int, int, bool>> calls;
  vlist_hooks::SetGen2DialogOpener([&calls](int bank, int prog, bool editable) {
    calls.emplace_back(bank, prog, editable);
    return 1;
  });
  pane->SetMode(2);
  pane->TabStrip()->setCurrentIndex(1);
  pane->LeftDoubleClick(QPoint(56 + 128 + 5, 50));   // bank 129, program 0
  pane->LeftDoubleClick(QPoint(56 + 512 + 5, 70));   // bank 132, program 1
  EXPECT_THAT(calls, ElementsAre(std::make_tuple(129, 0, false), std::make_tuple(132, 1, true)));
}

TEST_F(VListPaneTest, RegisteredOpenerRunsTheGeneration2Dialog) {
  host.settings.chipMode = 2;
  RegisterVoiceWindows();
  auto pane = MakePane(2);
  bool opened = false;
  QTimer::singleShot(0, [&] {
    auto* d = dynamic_cast<CVoiceEditDlgKZ2*>(QApplication::activeModalWidget());
    opened = d != nullptr;
    if (d) d->reject();
  });
  pane->LeftDoubleClick(QPoint(56 + 256 + 5, 70));  // bank 2, program 1
  EXPECT_TRUE(opened);
}

TEST_F(VListPaneTest, CommandsFollowTheModelRules) {
  auto pane = MakePane(1);
  pane->LeftDown(QPoint(100, 30));
  ui::CmdUI state;
  ASSERT_TRUE(pane->OnUpdate(CVListModel::kCopy, state));
  EXPECT_TRUE(state.enabled);
  pane->OnCommand(CVListModel::kCopy);
  EXPECT_TRUE(shell.hasEntry);
  pane->OnUpdate(CVListModel::kPaste, state);
  EXPECT_FALSE(state.enabled);
  EXPECT_EQ(pane->MenuAt(QPoint(100, 30)).size(), 6u);
  EXPECT_TRUE(pane->MenuAt(QPoint(30, 30)).empty());
  shell.idle = 0;
  EXPECT_TRUE(pane->MenuAt(QPoint(100, 30)).empty());
}

TEST_F(VListPaneTest, FramesTakeTheirSlotsAndPlacement) {
  RecordingSlots recorder;
  {
    CVListFrm one(&recorder);
    CVListFrmKZ2 two(&recorder);
    CVListFrmKZ3 three(&recorder);
    EXPECT_EQ(recorder.byName["CVListFrm"], &one);
    EXPECT_EQ(recorder.byName["CVListFrmKZ2"], &two);
    EXPECT_EQ(recorder.byName["CVListFrmKZ3"], &three);
    EXPECT_EQ(one.Pane()->Model().GetMode(), 1);
    EXPECT_EQ(two.Pane()->Model().GetMode(), 2);
    EXPECT_EQ(three.size(), QSize(320, 400));
    two.SetChipMode(3);
    EXPECT_EQ(two.Pane()->Model().GetMode(), 2);
    one.SetChipMode(2);
    EXPECT_EQ(one.Pane()->Model().GetMode(), 2);
  }
  EXPECT_EQ(recorder.byName["CVListFrm"], nullptr);
  EXPECT_EQ(recorder.byName["CVListFrmKZ3"], nullptr);
  RegisterVoiceWindows();
  for (const char* name : {"CVListFrm", "CVListFrmKZ2", "CVListFrmKZ3"}) {
    EXPECT_TRUE(ui::ToolWindowRegistry::Instance().Has(name)) << name;
  }
}

}  // namespace
