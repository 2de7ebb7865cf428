// The decoder of format-1/2 score sequences: notes with channel velocities, the controller
// whitelist, device records, the end of track and its stop cue.
#include "velk/Format12Sequence.h"

#include <gtest/gtest.h>

#include <vector>

#include "SeqRecords.h"
#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::Cue;
using velktest::Rec;
using velktest::RecordList;

struct Result {
  std::vector<Rec> records;
  uint32_t report;
  uint8_t velocity3;
  uint8_t program3;
  uint8_t setting;
};

Result Decode(const Bytes& body, const CTrackBuild* seek = nullptr) {
  Bytes copy = body;
  RecordList list;
  CFormat12Sequence reader(copy.data(), static_cast<uint32_t>(copy.size()));
  uint32_t report = 0;
  reader.DecodeFormat12Sequence(list.List(), seek, &report);
  return {list.Records(), report, reader.GetVelocity(3), reader.GetProgram(3), reader.GetSettingByte()};
}

Rec Event(uint32_t tick, Bytes bytes, uint32_t end) { return Rec{tick, std::move(bytes), end, 0}; }

TEST(Format12Sequence, NotesTakeTheChannelVelocity) {
  Bytes body = {
      0x00, 0x83, 0x3C, 0x0A,        // 8n: velocity of channel 3, still 0x40
      0x00, 0x93, 0x3E, 0x50, 0x0A,  // 9n: velocity 0x50, kept for the channel
      0x81, 0x00, 0x83, 0x40, 0x05,  // delta 128 (variable length), 8n takes 0x50
      0x00, 0x94, 0x3C, 0x00, 0x03,  // another channel; velocity 0 is a record as any other
  };
  Result r = Decode(body);
  EXPECT_EQ(r.records, std::vector<Rec>({Event(0, {0x93, 0x3C, 0x40}, 10), Event(0, {0x93, 0x3E, 0x50}, 10),
                                         Event(128, {0x93, 0x40, 0x50}, 133), Event(128, {0x94, 0x3C, 0x00}, 131)}));
  EXPECT_EQ(r.velocity3, 0x50);
  EXPECT_EQ(r.report, 0u);
}

TEST(Format12Sequence, ControllerWhitelist) {
  struct Case {
    uint8_t x;
    uint8_t v;
    bool kept;
  };
  const Case cases[] = {
      {0, 5, true},    {1, 5, true},    {6, 5, true},    {7, 5, true},    {10, 5, true},   {11, 5, true},
      {32, 5, true},   {38, 5, true},   {64, 5, true},   {91, 5, true},   {100, 5, true},  {101, 5, true},
      {2, 5, false},   {5, 5, false},   {8, 5, false},   {12, 5, false},  {33, 5, false},  {65, 5, false},
      {93, 5, false},  {102, 5, false}, {120, 0, true},  {120, 1, false}, {121, 0, true},  {121, 2, false},
      {123, 0, true},  {123, 7, false}, {127, 0, true},  {127, 1, false}, {126, 1, true},  {126, 0, false},
      {122, 0, false}, {124, 0, false}, {125, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.x) * 1000 + c.v);
    std::vector<Rec> expected;
    if (c.kept) expected.push_back(Event(2, {0xB5, c.x, c.v}, 2));
    EXPECT_EQ(Decode({0x02, 0xB5, c.x, c.v}).records, expected);
  }
}

TEST(Format12Sequence, ChannelMessages) {
  Bytes body = {
      0x00, 0xC3, 0x07,        // program, kept for the channel
      0x01, 0xE1, 0x00, 0x40,  // pitch bend
      0x01, 0xA0, 0x3C, 0x10,  // polyphonic pressure: nothing
      0x01, 0xD0, 0x40,        // channel pressure: nothing, its byte read
      0x01, 0xF8,              // F1..FE: nothing
      0x01, 0x90, 0x3C, 0x40, 0x01,
  };
  Result r = Decode(body);
  EXPECT_EQ(r.records, std::vector<Rec>({Event(0, {0xC3, 0x07}, 0), Event(1, {0xE1, 0x00, 0x40}, 1),
                                         Event(5, {0x90, 0x3C, 0x40}, 6)}));
  EXPECT_EQ(r.program3, 0x07);
}

TEST(Format12Sequence, MetaEventsAndTheEndOfTrack) {
  Bytes body = {
      0x00, 0xFF, 0x00,                    // nothing, no length
      0x01, 0xFF, 0x01, 0x03, 'a', 'b', 'c',  // text: skipped by its length
      0x01, 0x90, 0x3C, 0x40, 0x01,
      0x02, 0xFF, 0x2F, 0x00,              // end of track
      0x00, 0x90, 0x3D, 0x40, 0x01,        // never read
  };
  EXPECT_EQ(Decode(body).records, std::vector<Rec>({Event(2, {0x90, 0x3C, 0x40}, 3)}));
  // FF 2F 00 where a delta is due also ends the track.
  EXPECT_TRUE(Decode({0xFF, 0x2F, 0x00, 0x00, 0x90, 0x3D, 0x40, 0x01}).records.empty());
}

TEST(Format12Sequence, StopCueAtTheEndOfTrack) {
  Bytes body = {0x00, 0x90, 0x3C, 0x40, 0x01, 0x05, 0xFF, 0x2F, 0x00};
  struct Case {
    const char* name;
    uint32_t stop;
    std::vector<Rec> expected;
  };
  const Case cases[] = {
      // Offset 5 is where the last delta starts: the cue comes there, not again at the end.
      {"stop met on the way", 5, {Event(0, {0x90, 0x3C, 0x40}, 1), Cue(0, 9)}},
      // Past the end of track: emitted when the track ends.
      {"stop behind the end", 100, {Event(0, {0x90, 0x3C, 0x40}, 1), Cue(5, 9)}},
      {"stop at the end position", 8, {Event(0, {0x90, 0x3C, 0x40}, 1), Cue(5, 9)}},
      // Before the end but never met (inside an event): not emitted.
      {"stop inside an event", 2, {Event(0, {0x90, 0x3C, 0x40}, 1)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTrackBuild seek;
    seek.SetStopPoint(c.stop);
    EXPECT_EQ(Decode(body, &seek).records, c.expected);
  }
}

TEST(Format12Sequence, CuesAndMergedNotes) {
  CTrackBuild seek;
  seek.SetStartPoint(0);
  auto mark = std::make_unique<CPhraseMark>();
  mark->kind = 'S';
  mark->start = 5;
  seek.AddMark(std::move(mark));
  Bytes body = {0x00, 0x90, 0x3C, 0x40, 0x0A, 0x04, 0x90, 0x3C, 0x41, 0x0A};
  Result r = Decode(body, &seek);
  EXPECT_EQ(r.records, std::vector<Rec>({Cue(0, 8), Event(0, {0x90, 0x3C, 0x40}, 14), Cue(0, 5)}));
  EXPECT_EQ(r.report, kReportMergedNote);
}

TEST(Format12Sequence, NotesOutsideTheMidiRangeAreDropped) {
  Bytes body = {0x00, 0x90, 0x80, 0x40, 0x01, 0x00, 0x80, 0xFF, 0x01, 0x00, 0x90, 0x7F, 0x40, 0x01};
  EXPECT_EQ(Decode(body).records, std::vector<Rec>({Event(0, {0x90, 0x7F, 0x40}, 1)}));
}

TEST(Format12Sequence, DeviceMessages) {
  struct Case {
    const char* name;
    Bytes message;  // after F0 and its length
    Bytes record;   // empty: none
    uint32_t report;
  };
  const Case cases[] = {
      {"kind 00", {0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7}, 0},
      {"kind 10", {0x43, 0x79, 0x06, 0x7F, 0x10, 0x05, 0xF7}, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x10, 0x05, 0xF7}, 0},
      {"kind 08", {0x43, 0x79, 0x06, 0x7F, 0x08, 0x01, 0x01, 0x20, 0xF7},
       {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x01, 0x01, 0x20, 0xF7}, 0},
      {"kind 08 slot 33", {0x43, 0x79, 0x06, 0x7F, 0x08, 0x01, 0x21, 0x02, 0xF7}, {}, kReportBadStreamSlot},
      {"kind 08 slot 0", {0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 0x02, 0x00, 0xF7}, {}, kReportBadStreamSlot},
      {"kind 0B", {0x43, 0x79, 0x06, 0x7F, 0x0B, 0x20, 0x02, 0x33, 0xF7},
       {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x0B, 0x20, 0x02, 0x33, 0xF7}, 0},
      {"kind 0B slot 40", {0x43, 0x79, 0x06, 0x7F, 0x0B, 0x28, 0x02, 0x33, 0xF7}, {}, kReportBadStreamSlot},
      // The header bytes are carried unchecked.
      {"other header", {0x01, 0x02, 0x03, 0x04, 0x10, 0x05, 0xF7}, {0xF0, 0x07, 0x01, 0x02, 0x03, 0x04, 0x10, 0x05, 0xF7}, 0},
      {"other kind", {0x43, 0x79, 0x06, 0x7F, 0x05, 0x01, 0xF7}, {}, 0},
      {"cut short", {0x43, 0x79, 0xF7}, {}, 0},
      {"kind 0B cut short", {0x43, 0x79, 0x06, 0x7F, 0x0B, 0x02, 0x01, 0xF7}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes body = Builder().Raw({0x03, 0xF0, static_cast<uint8_t>(c.message.size())}).Raw(c.message).Raw({0x01, 0xC0, 0x02});
    Result r = Decode(body);
    std::vector<Rec> expected;
    if (!c.record.empty()) expected.push_back(Event(3, c.record, 3));
    expected.push_back(Event(4, {0xC0, 0x02}, 4));  // the stream stays in step
    EXPECT_EQ(r.records, expected);
    EXPECT_EQ(r.report, c.report);
  }
}

TEST(Format12Sequence, FirstSettingMessageIsKept) {
  Bytes body = {0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x02, 0xF7,
                0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x01, 0xF7};
  Result r = Decode(body);
  EXPECT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.setting, 2);
  EXPECT_EQ(Decode({}).setting, 0xFF);
}

TEST(Format12Sequence, EveryCutOfTheBodyGivesAPrefixOfTheRecords) {
  Bytes body = {0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x40, 0x81, 0x00, 0x05, 0xB0, 0x07, 0x64,
                0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x10, 0x05, 0xF7, 0x00, 0xFF, 0x01, 0x01,
                0x20, 0x02, 0xE0, 0x00, 0x40, 0x00, 0xFF, 0x2F, 0x00};
  std::vector<Rec> whole = Decode(body).records;
  ASSERT_EQ(whole.size(), 5u);
  for (size_t n = 0; n <= body.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<Rec> part = Decode(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n))).records;
    ASSERT_LE(part.size(), whole.size());
    for (size_t i = 0; i < part.size(); ++i) EXPECT_EQ(part[i], whole[i]);
  }
}

}  // namespace
