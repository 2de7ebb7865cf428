// The chip-mode 1 and 2 clean-up of overlapping notes.
#include <gtest/gtest.h>

#include "DocTestSupport.h"

namespace {

using doctest::AddEvent;

struct Span {
  uint32_t tick;
  uint32_t end;
  int key;
  bool operator==(const Span&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Span& s) { return os << "{" << s.tick << ".." << s.end << " " << s.key << "}"; }

class FixNoteOverlaps : public doctest::DocTest {
 protected:
  std::vector<Span> Spans() const {
    std::vector<Span> out;
    for (const auto& m : *doc->GetMidiList()) out.push_back({m->GetTick(), m->GetEndTick(), m->GetByte(1)});
    return out;
  }
};

TEST_F(FixNoteOverlaps, NothingChangesInChipMode3) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 100, {0x90, 60, 64});
  AddEvent(*d.GetMidiList(), 50, 80, {0x90, 60, 64});
  d.FixNoteOverlaps();
  EXPECT_EQ(Spans(), (std::vector<Span>{{0, 100, 60}, {50, 80, 60}}));
}

TEST_F(FixNoteOverlaps, SameKeyMergesIntoTheSoundingNote) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 100, {0x90, 60, 64});
  AddEvent(*d.GetMidiList(), 50, 130, {0x90, 60, 64});
  AddEvent(*d.GetMidiList(), 60, 0, {0xB0, 7, 100});
  d.FixNoteOverlaps();
  EXPECT_EQ(Spans(), (std::vector<Span>{{0, 130, 60}, {60, 0, 7}}));
}

TEST_F(FixNoteOverlaps, NotesOfAChannelFollowOneAnother) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 100, {0x90, 60, 64});
  AddEvent(*d.GetMidiList(), 50, 150, {0x90, 62, 64});
  AddEvent(*d.GetMidiList(), 60, 90, {0x91, 64, 64});  // another channel is left alone
  d.FixNoteOverlaps();
  EXPECT_EQ(Spans(), (std::vector<Span>{{0, 70, 60}, {50, 150, 62}, {60, 90, 64}}));
}

TEST_F(FixNoteOverlaps, AHeldNoteResumesAfterTheOneInside) {
  CKZ1Doc& d = Make(2);
  AddEvent(*d.GetMidiList(), 0, 200, {0x90, 60, 64});
  AddEvent(*d.GetMidiList(), 50, 100, {0x90, 62, 64});
  d.FixNoteOverlaps();
  EXPECT_EQ(Spans(), (std::vector<Span>{{0, 70, 60}, {50, 120, 62}, {100, 200, 60}}));
}

TEST_F(FixNoteOverlaps, ANoteCutTo20TicksOrLessGoes) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 100, {0x90, 60, 64});
  AddEvent(*d.GetMidiList(), 0, 150, {0x90, 62, 64});
  d.FixNoteOverlaps();
  EXPECT_EQ(Spans(), (std::vector<Span>{{0, 150, 62}}));
}

TEST_F(FixNoteOverlaps, ANoteEndingBeforeItsStartEndsThere) {
  for (int chip : {1, 2}) {
    SCOPED_TRACE(chip);
    CKZ1Doc& d = Make(chip);
    // Held over a note that ends before it starts, the long note's rest used to start at that
    // end, before the note it waits for, and came back on every pass.
    AddEvent(*d.GetMidiList(), 100, 1000, {0x90, 60, 64});
    AddEvent(*d.GetMidiList(), 200, 50, {0x90, 62, 64});
    AddEvent(*d.GetMidiList(), 300, 100, {0x91, 64, 64});  // alone on its channel
    d.FixNoteOverlaps();
    EXPECT_EQ(Spans(), (std::vector<Span>{{100, 220, 60}, {200, 1000, 60}, {300, 300, 64}}));
  }
}

}  // namespace
