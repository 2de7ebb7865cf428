// The chip-mode 1 and 2 event clean-up: refresh passes, song order, note overlaps, slot rebuild
// and the board form of voice changes.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "DocTestSupport.h"
#include "song/SeqEvent.h"
#include "velk/SequenceEmitter.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;
using doctest::DocTest;

struct NoteSpan {
  uint8_t note;
  uint32_t start;
  uint32_t end;
  bool operator==(const NoteSpan& o) const {
    return note == o.note && start == o.start && end == o.end;
  }
};

std::vector<NoteSpan> Notes(const CKZ1Doc::EventList& list) {
  std::vector<NoteSpan> out;
  for (const auto& m : list) {
    if ((m->GetByte(0) & 0xF0) == 0x90) out.push_back({m->GetByte(1), m->GetTick(), m->GetEndTick()});
  }
  return out;
}

std::string Describe(const std::vector<NoteSpan>& notes) {
  std::string s;
  for (const auto& n : notes) {
    s += std::to_string(n.note) + " [" + std::to_string(n.start) + "," + std::to_string(n.end) + "] ";
  }
  return s;
}

std::vector<std::vector<uint8_t>> AllBytes(const CKZ1Doc::EventList& list) {
  std::vector<std::vector<uint8_t>> out;
  for (const auto& m : list) out.push_back(Bytes(*m));
  return out;
}

class KZ1DocCleanupKZ12 : public DocTest {};

TEST(CompareSongEvents, OrdersByTickThenCueThenKind) {
  struct Row {
    const char* name;
    CMidiMsg a;
    CMidiMsg b;
    int expected;  // sign
  };
  const uint8_t noteC[] = {0x90, 60, 100};
  const uint8_t noteD[] = {0x90, 62, 100};
  const uint8_t noteC1[] = {0x91, 60, 100};
  const uint8_t cc7a[] = {0xB0, 7, 90};
  const uint8_t cc7b[] = {0xB1, 7, 100};
  const uint8_t program[] = {0xC0, 5};
  const uint8_t cue[] = {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x00};
  const Row rows[] = {
      {"earlier tick first", CMidiMsg(10, 20, 3, noteC, 0), CMidiMsg(20, 30, 3, noteC, 0), -1},
      {"cue before plain", CMidiMsg(10, 10, 3, noteC, 0), CMidiMsg(10, 10, 7, cue, 8), 1},
      {"smaller cue first", CMidiMsg(10, 10, 7, cue, 3), CMidiMsg(10, 10, 7, cue, 9), -1},
      {"note ending earlier first", CMidiMsg(10, 50, 3, noteC, 0), CMidiMsg(10, 40, 3, noteD, 0), 1},
      {"higher note first", CMidiMsg(10, 40, 3, noteC, 0), CMidiMsg(10, 40, 3, noteD, 0), 1},
      {"higher status first", CMidiMsg(10, 40, 3, noteC, 0), CMidiMsg(10, 40, 3, noteC1, 0), 1},
      {"equal notes tie", CMidiMsg(10, 40, 3, noteC, 0), CMidiMsg(10, 40, 3, noteC, 0), 0},
      {"higher control value first", CMidiMsg(10, 10, 3, cc7a, 0), CMidiMsg(10, 10, 3, cc7b, 0), 1},
      {"program before control", CMidiMsg(10, 10, 3, cc7a, 0), CMidiMsg(10, 10, 2, program, 0), 1},
      {"control before note", CMidiMsg(10, 40, 3, noteC, 0), CMidiMsg(10, 10, 3, cc7a, 0), 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int ab = CompareSongEvents(r.a, r.b);
    const int ba = CompareSongEvents(r.b, r.a);
    EXPECT_EQ((ab > 0) - (ab < 0), r.expected);
    // A strict weak ordering: the reverse comparison gives the opposite answer.
    EXPECT_EQ((ba > 0) - (ba < 0), -r.expected);
  }
}

TEST_F(KZ1DocCleanupKZ12, FixNoteOverlapsMakesNotesFollowOneAnother) {
  struct Row {
    std::vector<NoteSpan> notes;
    std::vector<NoteSpan> expected;
  };
  const Row rows[] = {
      {{{60, 0, 100}, {62, 50, 200}}, {{60, 0, 70}, {62, 50, 200}}},
      {{{60, 0, 300}, {62, 50, 100}}, {{60, 0, 70}, {62, 50, 120}, {60, 100, 300}}},
      {{{60, 0, 100}, {62, 90, 200}}, {{60, 0, 100}, {62, 90, 200}}},
      // The same note struck again while it sounds becomes one note.
      {{{60, 0, 100}, {60, 50, 150}}, {{60, 0, 150}}},
  };
  for (int chip : {1, 2}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::to_string(chip) + ": " + Describe(r.notes));
      CKZ1Doc& d = Make(chip);
      for (const NoteSpan& n : r.notes) AddEvent(*d.GetMidiList(), n.start, n.end, {0x90, n.note, 100});
      d.FixNoteOverlaps();
      EXPECT_EQ(Describe(Notes(*d.GetMidiList())), Describe(r.expected));
    }
  }
}

TEST_F(KZ1DocCleanupKZ12, FixNoteOverlapsKeepsOtherChannelsAndChipModeThree) {
  CKZ1Doc& d = Make(2);
  AddEvent(*d.GetMidiList(), 0, 100, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 50, 200, {0x91, 62, 100});
  d.FixNoteOverlaps();
  EXPECT_EQ(Describe(Notes(*d.GetMidiList())), Describe({{60, 0, 100}, {62, 50, 200}}));

  CKZ1Doc& three = Make(3);
  AddEvent(*three.GetMidiList(), 0, 100, {0x90, 60, 100});
  AddEvent(*three.GetMidiList(), 50, 200, {0x90, 62, 100});
  three.FixNoteOverlaps();
  EXPECT_EQ(Describe(Notes(*three.GetMidiList())), Describe({{60, 0, 100}, {62, 50, 200}}));
}

TEST_F(KZ1DocCleanupKZ12, RefreshDeletesWhatTheChipCannotPlay) {
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t tick;
    uint32_t end;
  };
  const Row rows[] = {
      {"zero-length note", {0x90, 64, 100}, 300, 300},
      {"bank select before the first note", {0xB0, 0, 0}, 0, 0},
      {"volume at the first note", {0xB0, 7, 100}, 100, 100},
      {"controller 2", {0xB0, 2, 10}, 200, 200},
      {"program change under a sounding note", {0xC0, 3}, 200, 200},
      {"program change after the last note", {0xC0, 3}, 900, 900},
  };
  for (int chip : {1, 2}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::to_string(chip) + ": " + r.name);
      CKZ1Doc& d = Make(chip);
      auto& list = *d.GetMidiList();
      AddEvent(list, 100, 400, {0x90, 60, 100});
      AddEvent(list, 500, 600, {0x90, 62, 100});
      list.push_back(std::make_unique<CMidiMsg>(r.tick, r.end, static_cast<uint32_t>(r.bytes.size()),
                                                r.bytes.data(), 0));
      d.RefreshChannelVoices(0);
      const auto kept = AllBytes(list);
      EXPECT_EQ(kept.size(), 2u);
      for (const auto& b : kept) EXPECT_NE(b, r.bytes);
    }
  }
}

TEST_F(KZ1DocCleanupKZ12, RefreshKeepsPlayableEventsInSongOrder) {
  CKZ1Doc& d = Make(2);
  auto& list = *d.GetMidiList();
  AddEvent(list, 500, 600, {0x90, 62, 100});
  AddEvent(list, 100, 400, {0x90, 60, 100});
  AddEvent(list, 200, 200, {0xB0, 10, 64});
  AddEvent(list, 450, 450, {0xC0, 7});
  AddEvent(list, 500, 500, {0xB0, 7, 90});
  d.RefreshChannelVoices(0);
  const std::vector<std::vector<uint8_t>> expected = {
      {0x90, 60, 100}, {0xB0, 10, 64}, {0xC0, 7}, {0xB0, 7, 90}, {0x90, 62, 100}};
  EXPECT_EQ(AllBytes(list), expected);
  // The later program needed a voice slot.
  bool found = false;
  for (int i = 0; i < d.GetVoiceLimit(); ++i) found = found || d.GetVoiceProgram(i) == 7;
  EXPECT_TRUE(found);
}

TEST_F(KZ1DocCleanupKZ12, RefreshWithQXCuesDropsCuesAndPrograms) {
  host.ui.qxCue = true;
  CKZ1Doc& d = Make(1);
  auto& list = *d.GetMidiList();
  AddEvent(list, 100, 400, {0x90, 60, 100});
  AddEvent(list, 450, 450, {0xC0, 7});
  AddEvent(list, 500, 600, {0x90, 62, 100});
  ASSERT_EQ(d.SetCuePoint(CKZ1Doc::kStartCue, 100, 1), 1);
  EXPECT_EQ(d.GetCuePoint(CKZ1Doc::kStartCue), CKZ1Doc::kNoCue);
  const std::vector<std::vector<uint8_t>> expected = {{0x90, 60, 100}, {0x90, 62, 100}};
  EXPECT_EQ(AllBytes(list), expected);
}

TEST_F(KZ1DocCleanupKZ12, RebuildVoiceSlotsGivesEachChannelTheSlotOfItsProgram) {
  CKZ1Doc& d = Make(2);
  auto& list = *d.GetMidiList();
  d.SetTempo(5);
  for (int k = 0; k < 16; ++k) {
    d.GetSongSetup().SetBankMsb(k, 255);
    d.GetSongSetup().SetBankLsb(k, 255);
    d.GetSongSetup().SetProgram(k, 255);
    d.GetSongSetup().SetVolume(k, 255);
  }
  d.GetVoiceAssignTable().Reset(0);
  AddEvent(list, 0, 0, {0xC0, 5});
  AddEvent(list, 0, 0, {0xC1, 9});
  AddEvent(list, 0, 0, {0xC2, 5});
  AddEvent(list, 10, 200, {0x90, 60, 100});
  AddEvent(list, 10, 200, {0x91, 60, 100});
  d.InitChannelSetupFromEvents();
  d.RebuildVoiceSlotsKZ12();
  EXPECT_EQ(d.GetTempo(), 9);
  EXPECT_EQ(d.GetChannelProgram(0), 5);
  EXPECT_EQ(d.GetChannelProgram(1), 9);
  EXPECT_EQ(d.GetChannelVoiceSlot(0), d.GetChannelVoiceSlot(2));
  EXPECT_NE(d.GetChannelVoiceSlot(0), d.GetChannelVoiceSlot(1));
  // The initial programs now live in the setup, not as events.
  for (const auto& m : list) EXPECT_NE(m->GetByte(0) & 0xF0, 0xC0);
}

// --- The board form of voice changes ---

std::vector<std::vector<uint8_t>> FormatBoard(CKZ1Doc& d, const std::vector<std::vector<uint8_t>>& events) {
  TOwnedChunkList<CSeqEvent> list;
  uint32_t tick = 0;
  for (const auto& e : events) {
    list.AddOwned(std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(e.size()), e.data(), tick, 0));
    tick += 10;
  }
  d.FormatBoardVoiceChanges(list);
  std::vector<std::vector<uint8_t>> out;
  CSeqEventIter it(list);
  for (CSeqEvent* e = nullptr; it.Next(e);) out.emplace_back(e->GetData(), e->GetData() + e->GetLength());
  return out;
}

TEST_F(KZ1DocCleanupKZ12, FormatBoardVoiceChangesRemovesALoneBankSelect) {
  CKZ1Doc& d = Make(2);
  const auto out = FormatBoard(d, {{0xB3, 0, 1}, {0x93, 60, 100}});
  const std::vector<std::vector<uint8_t>> expected = {{0x93, 60, 100}};
  EXPECT_EQ(out, expected);
}

TEST_F(KZ1DocCleanupKZ12, FormatBoardVoiceChangesResendsThePartnerVoice) {
  CKZ1Doc& d = Make(2);
  // Even channel: the odd partner's bank and program follow the pair.
  auto out = FormatBoard(d, {{0xC1, 7}, {0xB0, 0, 2}, {0xC0, 4}, {0x90, 60, 100}});
  std::vector<std::vector<uint8_t>> expected = {
      {0xC1, 7}, {0xB0, 0, 2}, {0xC0, 4}, {0xB1, 0, 0}, {0xC1, 7}, {0x90, 60, 100}};
  EXPECT_EQ(out, expected);

  // Odd channel among the first three events: the even partner's pair goes directly before.
  out = FormatBoard(d, {{0xB1, 0, 3}, {0xC1, 8}});
  expected = {{0xB0, 0, 0}, {0xC0, 0}, {0xB1, 0, 3}, {0xC1, 8}};
  EXPECT_EQ(out, expected);

  // Further on, two places before it.
  out = FormatBoard(d, {{0x90, 1, 1}, {0xB0, 0, 5}, {0xC0, 6}, {0x90, 2, 2}, {0x90, 3, 3}, {0xB3, 0, 1}, {0xC3, 2}});
  expected = {{0x90, 1, 1}, {0xB0, 0, 5}, {0xC0, 6}, {0xB1, 0, 0}, {0xC1, 0}, {0xB2, 0, 0},
              {0xC2, 0}, {0x90, 2, 2}, {0x90, 3, 3}, {0xB3, 0, 1}, {0xC3, 2}};
  EXPECT_EQ(out, expected);
}

TEST_F(KZ1DocCleanupKZ12, FormatBoardVoiceChangesAddsNothingWhenThePartnerSelectIsThere) {
  CKZ1Doc& d = Make(2);
  const std::vector<std::vector<uint8_t>> events = {
      {0x90, 60, 100}, {0xB0, 0, 2}, {0xC0, 4}, {0xB1, 0, 3}, {0xC1, 5}};
  EXPECT_EQ(FormatBoard(d, events), events);
}

TEST_F(KZ1DocCleanupKZ12, PlayListOfChipModeTwoTakesTheBoardForm) {
  CKZ1Doc& d = Make(2);
  AddEvent(*d.GetMidiList(), 0, 0, {0xB0, 0, 1});
  AddEvent(*d.GetMidiList(), 10, 100, {0x90, 60, 100});
  TOwnedChunkList<CSeqEvent> list;
  SongOutputRecord setup;
  ASSERT_EQ(d.makeMidiList(list, setup, 0), 1);
  CSeqEventIter it(list);
  for (CSeqEvent* e = nullptr; it.Next(e);) {
    EXPECT_FALSE(e->GetDataByte(0) == 0xB0 && e->GetDataByte(1) == 0) << "lone bank select kept";
  }
}

}  // namespace
