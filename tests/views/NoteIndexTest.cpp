// Tests of the note index: what a window of ticks visits, and what it copies.
#include "views/NoteIndex.h"

#include <gtest/gtest.h>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using viewtest::AddEvent;

std::vector<uint32_t> NoteTicks(const NoteIndex& index, NoteIndex::Source source, uint32_t from, uint32_t to) {
  std::vector<uint32_t> ticks;
  index.ForNotes(source, from, to, [&](const IndexedNote& n) { ticks.push_back(n.tick); });
  return ticks;
}

TEST(NoteIndex, AWindowVisitsEachNoteThatMeetsItOnce) {
  platform::FakeHost host;
  CKZ1Doc doc;
  auto& list = *doc.GetMidiList();
  AddEvent(list, 0, 5000, {0x90, 60, 64});      // spans three buckets
  AddEvent(list, 2100, 2200, {0x91, 62, 64});
  AddEvent(list, 4000, 4000, {0x90, 64, 64});
  AddEvent(list, 10, 0, {0xB0, 10, 64});        // not a note
  AddEvent(list, 20, 0, {0x90, 65}, 3);         // a section marker
  AddEvent(list, 100, 0xFFFFFFF0u, {0x90, 66, 64});  // a very long note
  NoteIndex index;
  index.Build(doc);
  EXPECT_EQ(index.NoteCount(NoteIndex::kSong), 4u);
  EXPECT_EQ(NoteTicks(index, NoteIndex::kSong, 2048, 4096), (std::vector<uint32_t>{0, 2100, 4000, 100}));
  EXPECT_EQ(NoteTicks(index, NoteIndex::kSong, 4002, 4100), (std::vector<uint32_t>{0, 100}));
  // A note is drawn up to one tick past its end: one ending at the window start still meets it.
  EXPECT_EQ(NoteTicks(index, NoteIndex::kSong, 2201, 2300), (std::vector<uint32_t>{0, 2100, 100}));
  EXPECT_EQ(NoteTicks(index, NoteIndex::kSong, 2202, 2300), (std::vector<uint32_t>{0, 100}));
  EXPECT_TRUE(NoteTicks(index, NoteIndex::kStreamPcm, 0, 100000).empty());
}

TEST(NoteIndex, ShortMessagesComeByTickAndLongOnesAreLeftOut) {
  platform::FakeHost host;
  CKZ1Doc doc;
  auto& pcm = *doc.GetMidiListPCM();
  AddEvent(pcm, 50, 0, {0xB0, 10, 64});
  AddEvent(pcm, 60, 0, {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7});
  AddEvent(pcm, 70, 80, {0x90, 100, 64});
  NoteIndex index;
  index.Build(doc);
  std::vector<uint32_t> ticks;
  index.ForEvents(NoteIndex::kStreamPcm, 0, 1000, [&](const IndexedEvent& e) { ticks.push_back(e.tick); });
  EXPECT_EQ(ticks, (std::vector<uint32_t>{50, 70}));
  EXPECT_EQ(NoteTicks(index, NoteIndex::kStreamPcm, 0, 1000), (std::vector<uint32_t>{70}));
}

TEST(NoteIndex, FarApartTicksTakeNoRoomBetweenThem) {
  platform::FakeHost host;
  CKZ1Doc doc;
  AddEvent(*doc.GetMidiList(), 0, 10, {0x90, 60, 64});
  AddEvent(*doc.GetMidiList(), 0xFFFFF000u, 0xFFFFF010u, {0x90, 60, 64});
  NoteIndex index;
  index.Build(doc);
  EXPECT_EQ(NoteTicks(index, NoteIndex::kSong, 0xFFFFE000u, 0xFFFFFFFFu), (std::vector<uint32_t>{0xFFFFF000u}));
  index.ResetVisited();
  EXPECT_EQ(NoteTicks(index, NoteIndex::kSong, 0, 100), (std::vector<uint32_t>{0}));
  EXPECT_EQ(index.Visited(), 1u);
}

}  // namespace
