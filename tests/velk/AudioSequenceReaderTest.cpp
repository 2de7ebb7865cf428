// The decoder of audio-track sequences: wave notes, volume and pan, skipped exclusives, cues.
#include "velk/AudioSequenceReader.h"

#include <gtest/gtest.h>

#include <vector>

#include "SeqRecords.h"
#include "VelkBytes.h"

namespace {

using velktest::Bytes;
using velktest::Cue;
using velktest::Rec;
using velktest::RecordList;

std::vector<Rec> Decode(const Bytes& events, const CTrackBuild* seek = nullptr, bool closing = true) {
  Bytes body = events;
  if (closing) body.insert(body.end(), 4, 0x00);
  RecordList list;
  CAudioSequenceReader reader(body.data(), static_cast<uint32_t>(body.size()));
  reader.Decode(list.List(), seek);
  return list.Records();
}

Rec Event(uint32_t tick, Bytes bytes, uint32_t end) { return Rec{tick, std::move(bytes), end, 0}; }

TEST(AudioSequenceReader, WaveNotesAndControls) {
  Bytes events = {
      0x00, 0x01, 0x05,        // wave note 1, gate 5
      0x02, 0x3F, 0x81, 0x00,  // wave note 63, gate 256
      0x01, 0x40,              // 0x40..0xFE carry nothing and no gate
      0x01, 0xFE,
      0x00, 0x00, 0x07, 0x64,  // volume
      0x00, 0x00, 0x3A, 0x20,  // pan (x below 0x40, low nibble 10)
      0x00, 0x00, 0x47, 0x11,  // x of 0x40 or more: nothing
      0x00, 0x00, 0x05, 0x11,  // another code: nothing
  };
  EXPECT_EQ(Decode(events), std::vector<Rec>({Event(0, {0x90, 0x01}, 5), Event(2, {0x90, 0x3F}, 258),
                                              Event(4, {0xB0, 0x07, 0x64}, 4), Event(4, {0xB0, 0x0A, 0x20}, 4)}));
}

TEST(AudioSequenceReader, ExclusivesAreSteppedOver) {
  Bytes events = {
      0x00, 0xFF, 0xF0, 0x03, 0x01, 0x02, 0x03,  // three counted bytes
      0x00, 0xFF, 0x00,                          // FF and another byte
      0x03, 0x02, 0x01,
  };
  EXPECT_EQ(Decode(events), std::vector<Rec>({Event(3, {0x90, 0x02}, 4)}));
  // A count past the body ends the decoding.
  EXPECT_TRUE(Decode({0x00, 0xFF, 0xF0, 0x40, 0x01, 0x02, 0x03}).empty());
}

TEST(AudioSequenceReader, OverlappingWaveNotesMergeAndCuesComeAtOffsets) {
  CTrackBuild seek;
  seek.SetStartPoint(0);
  seek.SetStopPoint(3);
  Bytes events = {0x00, 0x05, 0x0A, 0x04, 0x05, 0x0A, 0x01, 0x06, 0x01};
  EXPECT_EQ(Decode(events, &seek), std::vector<Rec>({Cue(0, 8), Event(0, {0x90, 0x05}, 14), Cue(0, 9),
                                                     Event(5, {0x90, 0x06}, 6)}));
}

TEST(AudioSequenceReader, BodiesOfFourBytesOrLessGiveNothing) {
  CTrackBuild seek;
  seek.SetStartPoint(0);
  for (size_t n = 0; n <= 4; ++n) {
    SCOPED_TRACE(n);
    Bytes body = {0x00, 0x01, 0x05, 0x00};
    body.resize(n);
    EXPECT_TRUE(Decode(body, &seek, false).empty());
  }
}

TEST(AudioSequenceReader, EveryCutOfTheBodyGivesAPrefixOfTheRecords) {
  Bytes body = {0x00, 0x01, 0x05, 0x00, 0x00, 0x07, 0x64, 0x00, 0xFF, 0xF0, 0x02, 0x09, 0x09,
                0x81, 0x00, 0x02, 0x01, 0x00, 0x00, 0x00, 0x00};
  std::vector<Rec> whole = Decode(body, nullptr, false);
  ASSERT_EQ(whole.size(), 3u);
  for (size_t n = 0; n <= body.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<Rec> part = Decode(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n)), nullptr, false);
    ASSERT_LE(part.size(), whole.size());
    for (size_t i = 0; i < part.size(); ++i) EXPECT_EQ(part[i], whole[i]);
  }
}

}  // namespace
