// The undoable edits of the song: Delete, Duplicate/Move, Erase and Transpose.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "DocTestSupport.h"
#include "song/document/DeleteEventCommand.h"
#include "song/document/DeleteRangeCommand.h"
#include "song/document/ReplaceEventsCommand.h"
#include "song/document/TransposeCommand.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;

// What an event is, for comparing whole songs.
using EventView = std::tuple<uint32_t, uint32_t, uint32_t, std::vector<uint8_t>>;

std::vector<EventView> Snapshot(const CKZ1Doc::EventList& list) {
  std::vector<EventView> out;
  for (const auto& m : list) out.emplace_back(m->GetTick(), m->GetEndTick(), m->GetExtra(), Bytes(*m));
  return out;
}

bool InTickOrder(const CKZ1Doc::EventList& list) {
  uint32_t last = 0;
  for (const auto& m : list) {
    if (m->GetTick() < last) return false;
    last = m->GetTick();
  }
  return true;
}

class EditCommands : public doctest::DocTest {
 protected:
  CKZ1Doc::EventList& List() { return *doc->GetMidiList(); }
  // Cue points set where they are, without the checks of a loaded song.
  void SetCue(int k, uint32_t tick) {
    doc->SetRefreshSuppress(1);
    doc->SetCuePoint(k, tick, 0);
    doc->SetRefreshSuppress(0);
  }
};

TEST_F(EditCommands, UndoRedoToggles) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 10, {0x90, 60, 100});
  AddEvent(List(), 100, 110, {0x90, 62, 100});
  const auto before = Snapshot(List());
  d.ExecuteEdit(std::make_unique<CDeleteRangeCommand>(d, -1, 50, 150, 0));
  const auto after = Snapshot(List());
  EXPECT_EQ(after.size(), 1u);
  EXPECT_EQ(d.CanUndo(), 1);
  EXPECT_EQ(d.CanRedo(), 0);
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), before);
  EXPECT_EQ(d.CanUndo(), 0);
  EXPECT_EQ(d.CanRedo(), 1);
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), after);
  EXPECT_EQ(d.CanUndo(), 1);
}

TEST_F(EditCommands, AnyOtherModificationDropsTheCommand) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 10, {0x90, 60, 100});
  d.ExecuteEdit(std::make_unique<CTransposeCommand>(d, 0, 1, 0, 10));
  EXPECT_EQ(d.CanUndo(), 1);
  d.SetTempo(150);
  EXPECT_EQ(d.CanUndo(), 0);
  EXPECT_EQ(d.CanRedo(), 0);
}

TEST_F(EditCommands, DuplicateToAnotherChannelAndTick) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 100, 0, {0xB0, 7, 90});
  AddEvent(List(), 600, 0, {0xB0, 10, 64});
  d.ExecuteEdit(std::make_unique<CReplaceEventsCommand>(d, 0, 100, 200, 3, 500, 0));
  const auto now = Snapshot(List());
  ASSERT_EQ(now.size(), 3u);
  EXPECT_EQ(now[0], EventView(100, 0, 0, (std::vector<uint8_t>{0xB0, 7, 90})));
  EXPECT_EQ(now[1], EventView(500, 0, 0, (std::vector<uint8_t>{0xB3, 7, 90})))
      << "at tick + (target - from), in tick order";
  d.UndoRedo();
  EXPECT_EQ(List().size(), 2u);
}

TEST_F(EditCommands, CopiesGoInAfterTheEventsOfTheirTick) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 0, {0xC0, 1});
  AddEvent(List(), 500, 0, {0xC1, 2});
  AddEvent(List(), 500, 0, {0xC2, 3});
  d.ExecuteEdit(std::make_unique<CReplaceEventsCommand>(d, 0, 0, 0, -1, 500, 0));
  const auto now = Snapshot(List());
  ASSERT_EQ(now.size(), 4u);
  EXPECT_EQ(std::get<3>(now[3]), (std::vector<uint8_t>{0xC0, 1}));
}

TEST_F(EditCommands, MoveAndUndoPutEveryEventBack) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 0, {0xB0, 0, 124});
  AddEvent(List(), 100, 150, {0x90, 60, 100});
  AddEvent(List(), 100, 0, {0xFF, 0x51, 0x03, 7, 0xA1, 0x20});
  AddEvent(List(), 120, 170, {0x91, 62, 100});
  AddEvent(List(), 200, 250, {0x90, 64, 100});
  AddEvent(List(), 900, 950, {0x91, 65, 100});
  const auto before = Snapshot(List());
  d.ExecuteEdit(std::make_unique<CReplaceEventsCommand>(d, 0, 100, 200, -1, 1000, 1));
  const auto moved = Snapshot(List());
  ASSERT_EQ(moved.size(), 6u);
  EXPECT_TRUE(InTickOrder(List()));
  EXPECT_EQ(moved[4], EventView(1000, 1050, 0, (std::vector<uint8_t>{0x90, 60, 100})));
  EXPECT_EQ(moved[5], EventView(1100, 1150, 0, (std::vector<uint8_t>{0x90, 64, 100})));
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), before);
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), moved);
}

TEST_F(EditCommands, DuplicateThatBreaksTheStartPointAsks) {
  for (const int answer : {1, 2}) {
    SCOPED_TRACE(answer);
    CKZ1Doc& d = Make(3);
    AddEvent(List(), 100, 150, {0x91, 60, 100});
    AddEvent(List(), 200, 1000, {0x90, 48, 100});
    SetCue(8, 900);
    const auto before = Snapshot(List());
    host.messages.shown.clear();
    host.messages.answers = {answer};
    const int undoRequests = host.ui.undoRequests;
    // The copy becomes the last note and ends at 550, before the start point.
    d.ExecuteEdit(std::make_unique<CReplaceEventsCommand>(d, 1, 100, 100, -1, 500, 0));
    EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7067});
    if (answer == 1) {
      EXPECT_EQ(d.GetCuePoint(8), CKZ1Doc::kNoCue);
      EXPECT_EQ(host.ui.undoRequests, undoRequests);
      EXPECT_EQ(d.CanUndo(), 1);
    } else {
      EXPECT_EQ(d.GetCuePoint(8), 900u);
      EXPECT_EQ(host.ui.undoRequests, undoRequests + 1);
      d.UndoRedo();  // what the window does with the request
      EXPECT_EQ(Snapshot(List()), before);
    }
  }
}

TEST_F(EditCommands, EraseClosingTheGapMovesOnlyWhatFollows) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 100, 120, {0x90, 60, 100});
  AddEvent(List(), 150, 0, {0xFF, 0x51, 0x03, 7, 0xA1, 0x20});
  AddEvent(List(), 200, 220, {0x91, 60, 100});
  AddEvent(List(), 250, 0, {0xB0, 7, 90});
  AddEvent(List(), 250, 300, {0x90, 62, 100});
  const auto before = Snapshot(List());
  d.ExecuteEdit(std::make_unique<CDeleteRangeCommand>(d, 0, 100, 200, 1));
  const auto erased = Snapshot(List());
  ASSERT_EQ(erased.size(), 4u);
  EXPECT_TRUE(InTickOrder(List()));
  EXPECT_EQ(erased[0], EventView(150, 0, 0, (std::vector<uint8_t>{0xFF, 0x51, 0x03, 7, 0xA1, 0x20})));
  EXPECT_EQ(erased[1], EventView(150, 0, 0, (std::vector<uint8_t>{0xB0, 7, 90})))
      << "moved events follow those already at their tick";
  EXPECT_EQ(erased[2], EventView(150, 200, 0, (std::vector<uint8_t>{0x90, 62, 100})));
  EXPECT_EQ(erased[3], EventView(200, 220, 0, (std::vector<uint8_t>{0x91, 60, 100})))
      << "the other channel's event is kept where it was";
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), before) << "the snapshot, in order";
}

TEST_F(EditCommands, EraseMovesCuePointsWithTheirEvents) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 1000, {0x91, 40, 100});
  AddEvent(List(), 150, 160, {0x90, 60, 100});
  AddEvent(List(), 300, 0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}, 3);
  SetCue(3, 300);
  const auto before = Snapshot(List());
  d.ExecuteEdit(std::make_unique<CDeleteRangeCommand>(d, 0, 100, 200, 1));
  EXPECT_EQ(d.GetCuePoint(3), 200u);
  d.UndoRedo();
  EXPECT_EQ(d.GetCuePoint(3), 300u);
  EXPECT_EQ(Snapshot(List()), before);
}

TEST_F(EditCommands, ACueEventComesBackEvenWhenItsPointWasRefused) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 150, 160, {0x90, 60, 100});
  AddEvent(List(), 180, 400, {0x91, 40, 100});
  AddEvent(List(), 250, 0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x09}, 9);
  SetCue(9, 250);
  const auto before = Snapshot(List());
  d.ExecuteEdit(std::make_unique<CDeleteRangeCommand>(d, 0, 100, 200, 1));
  EXPECT_EQ(d.GetCuePoint(9), 250u) << "150 is not after the first note";
  EXPECT_TRUE(host.messages.shown.empty());
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), before);
}

TEST_F(EditCommands, TransposeIncludesTheRangeEnds) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 99, 0, {0x90, 60, 100});
  AddEvent(List(), 100, 0, {0x90, 60, 100});
  AddEvent(List(), 150, 0, {0x91, 60, 100});
  AddEvent(List(), 200, 0, {0x90, 60, 100});
  AddEvent(List(), 201, 0, {0x90, 60, 100});
  AddEvent(List(), 150, 0, {0xB0, 60, 100});
  const auto before = Snapshot(List());
  ASSERT_EQ(d.TransposeChannel(0, 5, 100, 200), 1);
  std::vector<int> notes;
  for (const auto& m : List()) notes.push_back(m->GetByte(1));
  EXPECT_EQ(notes, (std::vector<int>{60, 65, 60, 65, 60, 60}));
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), before);
  ASSERT_EQ(d.TransposeChannel(-1, -60, 100, 200), 1);
  EXPECT_EQ(List().front()->GetByte(1), 60);
  EXPECT_EQ((*std::next(List().begin(), 2))->GetByte(1), 0);
}

TEST_F(EditCommands, TransposeRefusesNotesLeavingTheRange) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 100, 0, {0x90, 120, 100});
  AddEvent(List(), 100, 0, {0x91, 3, 100});
  EXPECT_EQ(d.TransposeChannel(0, 8, 0, 200), 0);
  EXPECT_EQ(d.TransposeChannel(0, 7, 0, 200), 1);
  EXPECT_EQ(d.TransposeChannel(-1, -4, 0, 200), 0);
  EXPECT_EQ(d.TransposeChannel(-1, -3, 0, 200), 1);
  EXPECT_EQ(List().back()->GetByte(1), 0);
}

TEST_F(EditCommands, DeleteAndUndoPutTheEventBackAtItsPlace) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 10, {0x90, 60, 100});
  CMidiMsg& middle = AddEvent(List(), 0, 10, {0x91, 62, 100});
  AddEvent(List(), 0, 10, {0x92, 64, 100});
  const auto before = Snapshot(List());
  d.ExecuteEdit(std::make_unique<CDeleteEventCommand>(d, &middle));
  EXPECT_EQ(List().size(), 2u);
  d.UndoRedo();
  EXPECT_EQ(Snapshot(List()), before);
  d.UndoRedo();
  EXPECT_EQ(List().size(), 2u);
  d.SetModifiedFlags(0);  // drops the command, which deletes the event it holds
  EXPECT_EQ(List().size(), 2u);
}

TEST_F(EditCommands, DeletingACueEventRemovesItsPoint) {
  CKZ1Doc& d = Make(3);
  AddEvent(List(), 0, 1000, {0x90, 60, 100});
  CMidiMsg& cue = AddEvent(List(), 300, 0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}, 3);
  SetCue(3, 300);
  d.ExecuteEdit(std::make_unique<CDeleteEventCommand>(d, &cue));
  EXPECT_EQ(d.GetCuePoint(3), CKZ1Doc::kNoCue);
  d.UndoRedo();
  EXPECT_EQ(d.GetCuePoint(3), 300u);
  EXPECT_EQ(List().size(), 2u);
}

TEST_F(EditCommands, DeletingAnEventOutsideTheListHoldsNothing) {
  CKZ1Doc& d = Make(3);
  CMidiMsg& pcm = AddEvent(*d.GetMidiListPCM(), 0, 10, {0x90, 3, 100});
  AddEvent(List(), 0, 10, {0x90, 60, 100});
  d.ExecuteEdit(std::make_unique<CDeleteEventCommand>(d, &pcm));
  d.UndoRedo();
  EXPECT_EQ(List().size(), 1u) << "Undo adds nothing";
  d.UndoRedo();
  d.SetModifiedFlags(0);
  ASSERT_EQ(d.GetMidiListPCM()->size(), 1u);
  EXPECT_EQ(Bytes(*d.GetMidiListPCM()->front()), (std::vector<uint8_t>{0x90, 3, 100}));
}

TEST_F(EditCommands, DeleteConstructionMarksTheSongModified) {
  CKZ1Doc& d = Make(3);
  CMidiMsg& m = AddEvent(List(), 0, 10, {0x90, 60, 100});
  d.ResetModifiedFlags();
  CDeleteEventCommand command(d, &m);
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
  EXPECT_EQ(List().size(), 1u) << "construction applies nothing";
}

}  // namespace
