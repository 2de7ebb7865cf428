#include "voice/ui/VAMPane.h"

#include <QApplication>
#include <QImage>
#include <QTabBar>
#include <QTimer>
#include <functional>
#include <string>

#include "tests/voice/models/VamFixture.h"
#include "uikit/ScrollCodes.h"
#include "views/VoiceDialogs.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

class VAMPaneTest : public vamtest::VamTest {
 protected:
  void SetUp() override { VoiceWindowHost::SetShell(&shell); }
  void TearDown() override { VoiceWindowHost::SetShell(nullptr); }

  /// A pane over a chip-mode document, sized to show every column of the layout.
  std::unique_ptr<CVAMPane> MakePane(int chipMode, int profile) {
    Make(chipMode, profile);
    auto pane = std::make_unique<CVAMPane>();
    pane->resize(1000, 300);
    pane->SetMode(chipMode);
    return pane;
  }

  static QColor PixelAt(const CVAMPane& pane, QPoint p) { return pane.Render().toImage().pixelColor(p); }

  /// The class of the modal window that opens next (empty when none), answered by `answer`.
  static void AnswerModal(std::string& opened, std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [&opened, answer] {
      QWidget* w = QApplication::activeModalWidget();
      if (!w) return;
      opened = dynamic_cast<CKZxVoiceEditDlg*>(w)  ? "CKZxVoiceEditDlg"
               : dynamic_cast<CVoiceChangeDlg*>(w) ? "CVoiceChangeDlg"
                                                    : "another window";
      answer(w);
    });
  }
};

TEST_F(VAMPaneTest, SelectedNameCellIsDrawnOnDarkBlue) {
  auto pane = MakePane(3, 2);
  Assign(0, Fm(124, 1, 0, 0));
  pane->LeftDown(QPoint(300, 55));
  EXPECT_EQ(pane->Model().GetSelected(), 0);
  const QRect cell = pane->CellRect(0, CVamModel::kColName);
  ASSERT_FALSE(cell.isEmpty());
  EXPECT_EQ(PixelAt(*pane, cell.topLeft() + QPoint(3, 3)), QColor(0, 0, 128));
  // The grid line below the header row.
  EXPECT_EQ(PixelAt(*pane, QPoint(cell.left() + 5, cell.top())), QColor(192, 192, 192));
}

TEST_F(VAMPaneTest, RowsReachEverySlotTheDocumentReports) {
  struct Case {
    int chipMode, lastRow;
  };
  for (const Case& c : {Case{1, 15}, Case{2, 15}, Case{3, 255}, Case{5, 255}}) {
    SCOPED_TRACE(c.chipMode);
    auto pane = MakePane(c.chipMode, 2);
    EXPECT_EQ(pane->Model().GetLastRow(), c.lastRow);
  }
  // A drum voice of the second area (slots 128-255) has its row and can be selected there.
  auto pane = MakePane(3, 2);
  Assign(130, Fm(125, 0, 10, 0), 36);
  pane->Model().ClickName(*doc, 130);
  EXPECT_EQ(pane->Model().GetSelected(), 130);
  pane->Model().ClickName(*doc, 256);
  EXPECT_EQ(pane->Model().GetSelected(), -1);
}

TEST_F(VAMPaneTest, TabChoiceFiltersAndClearsSelection) {
  auto pane = MakePane(3, 2);
  Assign(0, Fm(124, 1, 0, 0));
  pane->LeftDown(QPoint(300, 55));
  ASSERT_EQ(pane->Model().GetSelected(), 0);
  pane->TabStrip()->setCurrentIndex(3);
  EXPECT_EQ(pane->Model().GetChannelFilter(), 2);
  EXPECT_EQ(pane->Model().GetSelected(), -1);
  // Channel 3 does not use slot 0: the click leaves the selection as it was.
  pane->LeftDown(QPoint(300, 55));
  EXPECT_EQ(pane->Model().GetSelected(), -1);
}

TEST_F(VAMPaneTest, PhraseLayoutHasNoTabStripAndTogglesChannels) {
  auto pane = MakePane(3, 4);
  EXPECT_EQ(pane->GetHeaderHeight(), 0);
  EXPECT_FALSE(pane->TabStrip()->isVisibleTo(pane.get()));
  Assign(0, Fm(124, 1, 0, 0));
  doc->ResetModifiedFlags();
  pane->LeftDown(QPoint(480, 30));  // channel 2 on slot 0
  EXPECT_NE(doc->GetSlotUse(1, 0), 0);
  EXPECT_NE(doc->TestModifiedFlags(3), 0u);
  EXPECT_EQ(shell.statusUpdates, 1);
}

TEST_F(VAMPaneTest, HeadersOnlyWhenNoChannelValueIsOne) {
  auto pane = MakePane(3, 2);
  Assign(0, Fm(124, 1, 0, 0));
  pane->LeftDown(QPoint(300, 55));
  doc->SetChannelValue(0, 0);
  const QRect cell = pane->CellRect(0, CVamModel::kColName);
  EXPECT_EQ(PixelAt(*pane, cell.topLeft() + QPoint(3, 3)), QColor(Qt::white));
}

TEST_F(VAMPaneTest, CopyAndPasteGoThroughTheShellClipboard) {
  auto pane = MakePane(3, 2);
  Assign(0, Fm(124, 1, 0, 0));
  Assign(1, Fm(124, 1, 1, 2));
  pane->LeftDown(QPoint(300, 75));
  ui::CmdUI state;
  ASSERT_TRUE(pane->OnUpdate(CVAMPane::kCopy, state));
  EXPECT_TRUE(state.enabled);
  pane->OnCommand(CVAMPane::kCopy);
  EXPECT_EQ(shell.GetClipVoiceKind(), 2);
  pane->LeftDown(QPoint(300, 55));
  pane->OnCommand(CVAMPane::kPasteAlt);
  EXPECT_EQ(doc->GetVoiceItem(0)->GetAlgorithm(), 2);
  shell.idle = 0;
  pane->OnUpdate(CVAMPane::kPaste, state);
  EXPECT_FALSE(state.enabled);
}

TEST_F(VAMPaneTest, KeysScrollRowsAndColumns) {
  auto pane = MakePane(3, 2);
  pane->resize(300, 200);
  pane->ScrollVert(scroll::kLineDown, 0, nullptr);
  EXPECT_EQ(pane->VerticalPosition(), 1);
  pane->ScrollHorz(scroll::kBottom, 0);
  EXPECT_EQ(pane->HorizontalPosition(), CVamModel::kColumnCount - 1);
  pane->ScrollHorz(scroll::kLineDown, 0);
  EXPECT_EQ(pane->HorizontalPosition(), CVamModel::kColumnCount - 1);
  pane->ScrollVert(scroll::kTop, 0, nullptr);
  EXPECT_EQ(pane->VerticalPosition(), 0);
}

TEST_F(VAMPaneTest, DoubleClickEditsASongVoiceAndSendsIt) {
  auto pane = MakePane(3, 2);
  Assign(0, Fm(124, 1, 0, 0));
  // A big RAM wave elsewhere takes the song past the generation-3 RAM limit.
  Assign(1, Pcm(124, 1, 1, 9000, 3));
  std::string opened;
  int source = 0;
  AnswerModal(opened, [&source](QWidget* w) {
    auto* sheet = dynamic_cast<CKZxVoiceEditDlg*>(w);
    ASSERT_NE(sheet, nullptr);
    source = sheet->GetEditSource();
    sheet->accept();
  });
  pane->LeftDoubleClick(QPoint(300, 55));
  EXPECT_EQ(opened, "CKZxVoiceEditDlg");
  EXPECT_EQ(source, 2);
  ASSERT_FALSE(host.board.calls.empty());
  EXPECT_EQ(host.board.CallNames().back(), "SendVoice");
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7029});
  EXPECT_EQ(shell.reportUpdates, 1);
}

TEST_F(VAMPaneTest, DoubleClickOnAFixedBankVoiceOpensNothing) {
  auto pane = MakePane(3, 2);
  Assign(0, Fm(124, 10, 0, 0));
  std::string opened;
  AnswerModal(opened, [](QWidget* w) { w->close(); });
  pane->LeftDoubleClick(QPoint(300, 55));
  QApplication::processEvents();
  EXPECT_EQ(opened, "");
  EXPECT_TRUE(host.board.calls.empty());
}

TEST_F(VAMPaneTest, NewThenCancelLeavesTheSlotFree) {
  auto pane = MakePane(1, 2);
  pane->Model().SetSelected(3);
  std::string opened;
  AnswerModal(opened, [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  pane->OnCommand(CVAMPane::kNew);
  EXPECT_EQ(opened, "CVoiceChangeDlg");
  EXPECT_EQ(doc->GetVoiceProgram(3), 255);
  EXPECT_EQ(doc->GetVoiceBankMsb(3), 255);
}

TEST_F(VAMPaneTest, FrameOpensAt310By212AndHoldsItsSlot) {
  Make(3, 2);
  struct Slots : ui::IFrameSlots {
    void SetFrameSlot(const std::string& name, ui::MdiFrame* frame) override {
      if (name == CVAMFrm::kClassName) current = frame;
    }
    ui::MdiFrame* current = nullptr;
  } frameSlots;
  auto* frame = new CVAMFrm(&frameSlots);
  EXPECT_EQ(frameSlots.current, frame);
  EXPECT_EQ(frame->geometry(), QRect(0, 0, 310, 212));
  delete frame;
  EXPECT_EQ(frameSlots.current, nullptr);
}

}  // namespace
