// The decoder of format-0 score-track sequences: notes, short and long controls, exclusives,
// cue records at byte offsets and note merging.
#include "velk/ScoreSequenceReader.h"

#include <gtest/gtest.h>

#include <vector>

#include "SeqRecords.h"
#include "VelkBytes.h"

namespace {

using velktest::Bytes;
using velktest::Cue;
using velktest::Rec;
using velktest::RecordList;

struct Result {
  std::vector<Rec> records;
  uint8_t value;
  int priority;
};

// Decodes the events followed by the four closing zero bytes.
Result Decode(const Bytes& events, uint8_t track = 1, const CTrackBuild* seek = nullptr, uint8_t value = 0,
              int priority = 0, bool closing = true) {
  Bytes body = events;
  if (closing) body.insert(body.end(), 4, 0x00);
  RecordList list;
  CScoreSequenceReader reader(body.data(), static_cast<uint32_t>(body.size()));
  reader.Decode(value, list.List(), seek, priority, track);
  return {list.Records(), value, priority};
}

Rec Event(uint32_t tick, Bytes bytes, uint32_t end) { return Rec{tick, std::move(bytes), end, 0}; }

TEST(ScoreSequenceReader, NoteByteOnTrackTwo) {
  // Delta 0, note byte 0x15 (channel 0 of the track, block 1, key 5), gate 5.
  EXPECT_EQ(Decode({0x00, 0x15, 0x05}, 2).records, std::vector<Rec>({Event(0, {0x94, 53, 100}, 5)}));
}

TEST(ScoreSequenceReader, ChannelsByTrackNumber) {
  struct Case {
    uint8_t track;
    uint8_t noteByte;
    uint8_t status;
    uint8_t note;
  };
  const Case cases[] = {
      {0, 0x55, 0x91, 53}, {0, 0xC1, 0x93, 37}, {1, 0xC1, 0x93, 37},
      {3, 0x41, 0x99, 37}, {4, 0xC1, 0x9F, 37}, {4, 0x3C, 0x9C, 84},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.noteByte) + 256 * c.track);
    EXPECT_EQ(Decode({0x00, c.noteByte, 0x01}, c.track).records, std::vector<Rec>({Event(0, {c.status, c.note, 100}, 1)}));
  }
}

TEST(ScoreSequenceReader, TracksAboveFourDecodeNothing) {
  EXPECT_TRUE(Decode({0x00, 0x15, 0x05}, 5).records.empty());
}

TEST(ScoreSequenceReader, ShortFormControls) {
  struct Case {
    uint8_t x;
    Bytes record;
  };
  const Case cases[] = {
      {0x45, {0xB1, 0x0B, 0x38}},  // expression, channel 1, index 5
      {0x00, {0xB0, 0x0B, 0x00}},  {0x0E, {0xB0, 0x0B, 0x7F}},
      {0x1F, {0xE0, 0x00, 0x7F}},  // pitch, index 15
      {0xD8, {0xE3, 0x00, 0x40}},  {0x11, {0xE0, 0x00, 0x08}},
      {0xA2, {0xB2, 0x01, 0x08}},  // modulation, channel 2, index 2
      {0x2C, {0xB0, 0x01, 0x60}},  {0x2D, {0xB0, 0x01, 0x70}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.x));
    EXPECT_EQ(Decode({0x03, 0x00, c.x}).records, std::vector<Rec>({Event(3, c.record, 3)}));
  }
}

TEST(ScoreSequenceReader, LongFormControls) {
  struct Case {
    uint8_t x;
    Bytes record;  // empty: nothing emitted
  };
  const Case cases[] = {
      {0x30, {0xC0, 0x21}},        {0x71, {0xB1, 0x00, 0x21}}, {0xB3, {0xB2, 0x01, 0x21}},
      {0xF4, {0xE3, 0x00, 0x21}},  {0x37, {0xB0, 0x07, 0x21}}, {0x3A, {0xB0, 0x0A, 0x21}},
      {0x3B, {0xB0, 0x0B, 0x21}},  {0x35, {}},                 {0x36, {}},
      {0x38, {}},                  {0x3F, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.x));
    // A note behind the control shows the stream stayed in step.
    std::vector<Rec> expected;
    if (!c.record.empty()) expected.push_back(Event(0, c.record, 0));
    expected.push_back(Event(2, {0x90, 37, 100}, 3));
    EXPECT_EQ(Decode({0x00, 0x00, c.x, 0x21, 0x02, 0x01, 0x01}).records, expected);
  }
}

TEST(ScoreSequenceReader, OctaveShiftMovesLaterNotesOfItsChannel) {
  Bytes events = {
      0x00, 0x00, 0x32, 0x01,  // channel 0 up one octave
      0x00, 0x00, 0x72, 0x82,  // channel 1 down two
      0x00, 0x01, 0x01,        // channel 0: 1 + (0 + 1 + 3) * 12
      0x00, 0x41, 0x01,        // channel 1: 1 + (0 - 2 + 3) * 12
      0x00, 0x81, 0x01,        // channel 2 is unshifted
  };
  EXPECT_EQ(Decode(events).records, std::vector<Rec>({Event(0, {0x90, 49, 100}, 1), Event(0, {0x91, 13, 100}, 1),
                                                      Event(0, {0x92, 37, 100}, 1)}));
}

TEST(ScoreSequenceReader, NotesOutsideTheMidiRangeAreDropped) {
  Bytes events = {
      0x00, 0x00, 0x32, 0x7F,  // up 127 octaves
      0x00, 0x00, 0x72, 0xFF,  // channel 1 down 127
      0x00, 0x01, 0x81, 0x00,  // gate of two bytes, still read
      0x00, 0x41, 0x05,
      0x00, 0x81, 0x05,
  };
  EXPECT_EQ(Decode(events).records, std::vector<Rec>({Event(0, {0x92, 37, 100}, 5)}));
  // The highest note the byte can name with shift 0 is 12 + 6 * 12 = 84; with shift 3 it is 120.
  EXPECT_EQ(Decode({0x00, 0x00, 0x32, 0x03, 0x00, 0x3C, 0x01}).records,
            std::vector<Rec>({Event(0, {0x90, 120, 100}, 1)}));
}

TEST(ScoreSequenceReader, DurationsAddUp) {
  // 80 00 is 128, 81 00 is 256, 80 80 00 is 16511.
  Bytes events = {0x80, 0x00, 0x01, 0x01, 0x81, 0x00, 0x01, 0x80, 0x00, 0x80, 0x80, 0x00, 0x01, 0x01};
  EXPECT_EQ(Decode(events).records,
            std::vector<Rec>({Event(128, {0x90, 37, 100}, 129), Event(384, {0x90, 37, 100}, 512),
                              Event(16895, {0x90, 37, 100}, 16896)}));
}

TEST(ScoreSequenceReader, OverlappingNotesMerge) {
  Bytes events = {
      0x00, 0x01, 0x0A,  // tick 0, ends 10
      0x05, 0x01, 0x0A,  // tick 5 still sounds: the first now ends 15
      0x01, 0x01, 0x02,  // tick 6, ends 8: the first keeps 15
      0x01, 0x02, 0x0A,  // another note number: its own record
      0x08, 0x01, 0x01,  // tick 15: the first has ended
  };
  EXPECT_EQ(Decode(events).records,
            std::vector<Rec>({Event(0, {0x90, 37, 100}, 15), Event(7, {0x90, 38, 100}, 17),
                              Event(15, {0x90, 37, 100}, 16)}));
}

TEST(ScoreSequenceReader, CueRecordsAtByteOffsets) {
  Bytes events = {
      0x00, 0x01, 0x05,  // offset 0
      0x0A, 0xFF, 0x00,  // offset 3
      0x00, 0x02, 0x05,  // offset 6
  };
  CTrackBuild seek;
  seek.SetStartPoint(0);
  seek.SetStopPoint(6);
  auto a = std::make_unique<CPhraseMark>();
  a->kind = 'A';
  a->start = 3;
  seek.AddMark(std::move(a));
  auto b = std::make_unique<CPhraseMark>();
  b->kind = 'B';
  b->start = 6;
  seek.AddMark(std::move(b));
  EXPECT_EQ(Decode(events, 1, &seek).records,
            std::vector<Rec>({Cue(0, 8), Event(0, {0x90, 37, 100}, 5), Cue(0, 3), Cue(10, 9), Cue(10, 4),
                              Event(10, {0x90, 38, 100}, 15)}));
}

TEST(ScoreSequenceReader, StartPointZeroGivesStartCueFirst) {
  CTrackBuild seek;
  seek.SetStartPoint(0);
  std::vector<Rec> records = Decode({0x07, 0x01, 0x05}, 1, &seek).records;
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0], Cue(0, 8));
}

TEST(ScoreSequenceReader, PhraseKindsGiveTheirCodes) {
  const char kinds[] = "IEABSKRZ";
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(kinds[i]);
    CTrackBuild seek;
    auto mark = std::make_unique<CPhraseMark>();
    mark->kind = static_cast<uint8_t>(kinds[i]);
    seek.AddMark(std::move(mark));
    EXPECT_EQ(Decode({0x00, 0xFF, 0x00}, 1, &seek).records, std::vector<Rec>({Cue(0, i < 7 ? i + 1 : 0)}));
  }
}

TEST(ScoreSequenceReader, BodiesOfFourBytesOrLessGiveNothing) {
  CTrackBuild seek;
  seek.SetStartPoint(0);
  for (size_t n = 0; n <= 4; ++n) {
    SCOPED_TRACE(n);
    Bytes body = {0x00, 0x01, 0x05, 0x00};
    body.resize(n);
    EXPECT_TRUE(Decode(body, 1, &seek, 0, 0, false).records.empty());
  }
}

TEST(ScoreSequenceReader, ExclusiveValuesByPriority) {
  const Bytes id1 = {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x31, 0x22, 0xF7};
  const Bytes id2 = {0x00, 0xFF, 0xF0, 0x05, 0x43, 0x02, 0x80, 0x33, 0xF7};
  const Bytes id1b = {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x31, 0x44, 0xF7};
  const Bytes id3 = {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x03, 0x80, 0x31, 0x14, 0xF7};
  struct Case {
    const char* name;
    Bytes events;
    int priorityIn;
    uint8_t value;
    int priority;
  };
  const Case cases[] = {
      {"id 1", id1, 0, 0x22, 1},
      {"id 1 then id 2", velktest::Builder().Raw(id1).Raw(id2), 0, 0x33, 2},
      {"id 2 then id 1", velktest::Builder().Raw(id2).Raw(id1b), 0, 0x33, 2},
      {"id 1 twice", velktest::Builder().Raw(id1).Raw(id1b), 0, 0x44, 1},
      {"id 1 under priority 2", id1, 2, 0x99, 2},
      {"id 2 under priority 3", id2, 3, 0x99, 3},
      {"other maker", {0x00, 0xFF, 0xF0, 0x06, 0x44, 0x01, 0x80, 0x31, 0x22, 0xF7}, 0, 0x99, 0},
      {"id 1 without 31", {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x30, 0x22, 0xF7}, 0, 0x99, 0},
      // The header of tracks 1 to 4 carries its tempo under id 3, read as id 1.
      {"id 3 header", id3, 0, 0x14, 1},
      {"id 3 header under priority 2", id3, 2, 0x99, 2},
      {"id 2 then id 3 header", velktest::Builder().Raw(id2).Raw(id3), 0, 0x33, 2},
      {"id 3 without 31", {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x03, 0x80, 0x30, 0x22, 0xF7}, 0, 0x99, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result r = Decode(c.events, 1, nullptr, 0x99, c.priorityIn);
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(r.priority, c.priority);
  }
}

TEST(ScoreSequenceReader, ChannelExclusivesGiveTheirRecords) {
  Bytes events = {
      0x00, 0xFF, 0xF0, 0x07, 0x43, 0x03, 0x90, 0xC0, 0x05, 0xF7,  // first value 5: arms
      0x04, 0xFF, 0xF0, 0x07, 0x43, 0x03, 0x90, 0xB2, 0x09, 0xF7,  // second value 9: emits
      0x01, 0xFF, 0xF0, 0x07, 0x43, 0x03, 0x91, 0xE0, 0x64, 0xF7,  // a & 0x0F = 0
      0x01, 0xFF, 0xF0, 0x07, 0x43, 0x03, 0x91, 0xE1, 0x65, 0xF7,  // a & 0x0F = 1: nothing
  };
  EXPECT_EQ(Decode(events, 2).records,
            std::vector<Rec>({Event(4, {0xF2, 0xF1, 0x09, 0x05}, 4), Event(5, {0xF4, 0xF0, 0x64}, 5)}));
  EXPECT_EQ(Decode(events, 1).records[1], Event(5, {0xF0, 0xF0, 0x64}, 5));
  // Track 0 has no group of its own and names the first.
  EXPECT_EQ(Decode(events, 0).records[1], Event(5, {0xF0, 0xF0, 0x64}, 5));
}

TEST(ScoreSequenceReader, ShortExclusiveDoesNotSwallowTheNextEvent) {
  Bytes events = {
      0x00, 0xFF, 0xF0, 0x02, 0x43, 0xF7,        // ends after the maker byte
      0x00, 0xFF, 0xF0, 0x03, 0x43, 0x01, 0xF7,  // ends after the id
      0x00, 0xFF, 0x01,                          // FF and something other than F0
      0x02, 0x01, 0x01,
  };
  EXPECT_EQ(Decode(events).records, std::vector<Rec>({Event(2, {0x90, 37, 100}, 3)}));
}

TEST(ScoreSequenceReader, EveryCutOfTheBodyGivesAPrefixOfTheRecords) {
  Bytes body = {
      0x00, 0x00, 0x30, 0x05, 0x00, 0x00, 0x45, 0x03, 0x15, 0x81, 0x00,
      0x00, 0xFF, 0xF0, 0x07, 0x43, 0x03, 0x91, 0xE0, 0x64, 0xF7, 0x05,
      0x00, 0x32, 0x81, 0x00, 0x55, 0x02, 0x00, 0x00, 0x00, 0x00,
  };
  std::vector<Rec> whole = Decode(body, 1, nullptr, 0, 0, false).records;
  ASSERT_EQ(whole.size(), 5u);
  for (size_t n = 0; n <= body.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<Rec> part = Decode(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n)), 1,
                                   nullptr, 0, 0, false).records;
    ASSERT_LE(part.size(), whole.size());
    for (size_t i = 0; i < part.size(); ++i) EXPECT_EQ(part[i], whole[i]);
  }
}

TEST(ScoreSequenceReader, KeepsTheSetupVoiceRecords) {
  Bytes body;
  CScoreSequenceReader reader(body.data(), 0);
  int record = 0;
  reader.SetVoiceRecord(3, &record);
  reader.SetVoiceRecord(16, &record);
  reader.SetVoiceRecordCount(4);
  EXPECT_EQ(reader.GetVoiceRecord(3), &record);
  EXPECT_EQ(reader.GetVoiceRecord(16), nullptr);
  EXPECT_EQ(reader.GetVoiceRecordCount(), 4);
}

}  // namespace
