// Tests of the text score window: "R" and "F" on the song, tabs, undo and the change flags.
#include "views/TextScorePane.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "views/TextScoreCommands.h"

namespace {

using viewtest::AddEvent;

struct Note {
  uint32_t tick;
  uint32_t end;
  int status;
  int key;
  int velocity;
  bool operator==(const Note&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << "{" << n.tick << ".." << n.end << " " << n.status << " key " << n.key << " v " << n.velocity << "}";
}

class TextScoreTest : public ::testing::Test {
 protected:
  TextScoreTest() {
    fake.settings.chipMode = 3;
    doc = std::make_unique<CKZ1Doc>();
    doc->SetRefreshSuppress(0);
    host.doc = doc.get();
  }
  std::vector<Note> Notes() const {
    std::vector<Note> out;
    for (const auto& m : *doc->GetMidiList()) {
      out.push_back({m->GetTick(), m->GetEndTick(), m->GetByte(0), m->GetByte(1), m->GetByte(2)});
    }
    return out;
  }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(TextScoreTest, FillWithEveryTextEmptyAsksNothing) {
  AddEvent(*doc->GetMidiList(), 0, 24, {0x90, 60, 100});
  CTextScorePane pane(host);
  QTest::mouseClick(pane.Button(CTextScorePane::kFillId), Qt::LeftButton);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(doc->GetMidiList()->size(), 1u);
}

TEST_F(TextScoreTest, ReadThenFillGivesTheNotesBackInTickOrder) {
  auto& list = *doc->GetMidiList();
  AddEvent(list, 0, 24, {0x90, 60, 100});   // quarter
  AddEvent(list, 0, 12, {0x91, 64, 100});   // eighth on channel index 1
  AddEvent(list, 24, 72, {0x91, 67, 100});  // rest then half
  AddEvent(list, 48, 60, {0x90, 62, 100});  // rest then eighth
  AddEvent(list, 96, 144, {0x92, 48, 100});
  CTextScorePane pane(host);
  pane.OnCommand(CTextScorePane::kReadId);
  EXPECT_FALSE(pane.Edit()->toPlainText().isEmpty());
  fake.messages.answers = {1};
  pane.OnCommand(CTextScorePane::kFillId);
  EXPECT_EQ(fake.messages.ShownIds(), std::vector<int>{7136});
  EXPECT_EQ(Notes(), (std::vector<Note>{{0, 24, 0x90, 60, 64},
                                        {0, 12, 0x91, 64, 64},
                                        {24, 72, 0x91, 67, 64},
                                        {48, 60, 0x90, 62, 64},
                                        {96, 144, 0x92, 48, 64}}));
  EXPECT_EQ(host.songWindowUpdates, 1);
}

TEST_F(TextScoreTest, FillReplacesTheSongRemovesCuesMarksItAndDropsTheUndo) {
  auto& list = *doc->GetMidiList();
  AddEvent(list, 0, 24, {0x90, 60, 100});
  AddEvent(list, 24, 48, {0x93, 50, 100});
  doc->SetCuePoint(3, 24, 0);
  doc->SetCuePoint(7, 0, 0);
  ASSERT_EQ(doc->TransposeChannel(0, 2, 0, 100), 1);
  ASSERT_EQ(doc->CanUndo(), 1);
  doc->ResetModifiedFlags();
  CTextScorePane pane(host);
  pane.TabStrip()->setCurrentIndex(1);
  pane.Edit()->setPlainText("C D");
  fake.messages.answers = {1};
  QTest::mouseClick(pane.Button(CTextScorePane::kFillId), Qt::LeftButton);
  EXPECT_EQ(Notes(), (std::vector<Note>{{0, 24, 0x91, 60, 64}, {24, 48, 0x91, 62, 64}}));
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(doc->GetCuePoint(k), CKZ1Doc::kNoCue) << k;
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
  EXPECT_EQ(doc->CanUndo(), 0);
}

TEST_F(TextScoreTest, CancelAndParseErrorsKeepTheSong) {
  AddEvent(*doc->GetMidiList(), 0, 24, {0x90, 60, 100});
  doc->ResetModifiedFlags();
  CTextScorePane pane(host);
  pane.Edit()->setPlainText("C D");
  fake.messages.answers = {2};
  pane.OnCommand(CTextScorePane::kFillId);
  EXPECT_EQ(fake.messages.ShownIds(), std::vector<int>{7136});
  pane.Edit()->setPlainText("C D $");
  pane.OnCommand(CTextScorePane::kFillId);
  ASSERT_EQ(fake.messages.shown.size(), 2u);
  EXPECT_EQ(fake.messages.shown[1].text, "It found illegal description : 1 channel, 3 th caracter.");
  EXPECT_EQ(Notes(), (std::vector<Note>{{0, 24, 0x90, 60, 100}}));
  EXPECT_EQ(doc->TestModifiedFlags(3), 0u);
  EXPECT_EQ(host.songWindowUpdates, 0);
}

TEST_F(TextScoreTest, MultiByteTextIsRefusedByTheParser) {
  CTextScorePane pane(host);
  pane.Edit()->setPlainText(QString::fromUtf8("C \xE3\x83\x89"));
  pane.OnCommand(CTextScorePane::kFillId);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "It not support multi-byte description");
}

TEST_F(TextScoreTest, TextsSurviveTabSwitches) {
  CTextScorePane pane(host);
  pane.Edit()->setPlainText("C");
  pane.TabStrip()->setCurrentIndex(2);
  EXPECT_TRUE(pane.Edit()->toPlainText().isEmpty());
  pane.Edit()->setPlainText("E F");
  pane.TabStrip()->setCurrentIndex(0);
  EXPECT_EQ(pane.Edit()->toPlainText(), "C");
  EXPECT_EQ(pane.Text(2), "E F");
}

TEST_F(TextScoreTest, ReadFailureShowsTheDocumentsTextAndKeepsTheTexts) {
  AddEvent(*doc->GetMidiList(), 0, 48, {0x90, 60, 100});
  AddEvent(*doc->GetMidiList(), 24, 48, {0x90, 62, 100});
  CTextScorePane pane(host);
  pane.Edit()->setPlainText("kept");
  pane.OnCommand(CTextScorePane::kReadId);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "It can not be converted to text score so that delta time of notes is minus.");
  EXPECT_EQ(pane.Edit()->toPlainText(), "kept");
}

TEST_F(TextScoreTest, ChordsOnOneChannelLeaveTheOthersReadable) {
  // Channel 1 a melody, channel 2 a chord the notation cannot hold, channel 3 one note.
  AddEvent(*doc->GetMidiList(), 0, 24, {0x90, 60, 100});
  AddEvent(*doc->GetMidiList(), 0, 48, {0x91, 60, 100});
  AddEvent(*doc->GetMidiList(), 0, 48, {0x91, 64, 100});
  AddEvent(*doc->GetMidiList(), 24, 48, {0x90, 62, 100});
  AddEvent(*doc->GetMidiList(), 48, 72, {0x92, 67, 100});
  CTextScorePane pane(host);
  pane.TabStrip()->setCurrentIndex(1);
  pane.Edit()->setPlainText("typed on Ch2");
  pane.TabStrip()->setCurrentIndex(0);
  pane.OnCommand(CTextScorePane::kReadId);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "It can not be converted to text score so that delta time of notes is minus.");
  EXPECT_EQ(pane.Edit()->toPlainText(), "C4 D4 ");
  pane.TabStrip()->setCurrentIndex(1);
  EXPECT_EQ(pane.Edit()->toPlainText(), "typed on Ch2");
  pane.TabStrip()->setCurrentIndex(2);
  EXPECT_EQ(pane.Edit()->toPlainText(), "R2 G4 ");
}

TEST_F(TextScoreTest, EnableControlsFollowsTheDevice) {
  CTextScorePane pane(host);
  pane.EnableControls(0);
  EXPECT_FALSE(pane.Button(CTextScorePane::kReadId)->isEnabled());
  EXPECT_FALSE(pane.Button(CTextScorePane::kFillId)->isEnabled());
  pane.EnableControls(1);
  EXPECT_TRUE(pane.Button(CTextScorePane::kFillId)->isEnabled());
}

TEST_F(TextScoreTest, OnlyTheFirstFourChannelsAreRead) {
  AddEvent(*doc->GetMidiList(), 0, 24, {0x95, 60, 100});
  TextScoreTexts texts;
  texts[0] = "old";
  ASSERT_TRUE(ReadTextScores(*doc, texts));
  for (const std::string& t : texts) EXPECT_TRUE(t.empty());
  EXPECT_EQ(TextScoreChannelCount(*doc), 4);
}

TEST_F(TextScoreTest, FrameFillsItsSlotAndPassesCommandsToThePane) {
  {
    CKZ1TextScoreFrm frame(host);
    EXPECT_EQ(host.frameSlots["CKZ1TextScoreFrm"], &frame);
    EXPECT_EQ(frame.geometry(), QRect(0, 0, 400, 300));
    EXPECT_EQ(frame.menuResource(), 0);
    EXPECT_TRUE(frame.HandlesCommand(57637));
    EXPECT_FALSE(frame.HandlesCommand(2094));
  }
  EXPECT_EQ(host.frameSlots["CKZ1TextScoreFrm"], nullptr);
}

}  // namespace
