// Tests of the score sequence decoders and the encode-decode round trip.
#include "plugins/velkgate/SequenceDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "VelkgateFixture.h"
#include "plugins/velkgate/HuffmanCoder.h"
#include "plugins/velkgate/ScoreSequenceChunk.h"
#include "plugins/velkgate/SeekRecord.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialectText.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Event;
using testing::Hex;
using testing::ToHex;

using Events = std::vector<std::string>;

std::string Describe(const CSeqEvent& e) {
  std::string text = std::to_string(e.GetTick()) + "-" + std::to_string(e.GetEndTick()) + ": " +
                     ToHex(testing::EventBytes(e));
  if (e.GetExtra()) text += " cue " + std::to_string(e.GetExtra());
  return text;
}

Events Describe(const CEventList& list) {
  Events out;
  for (CSeqEvent* e : list.Items()) out.push_back(Describe(*e));
  return out;
}

Events Stream(const Bytes& body, const CSeekRecord* seek = nullptr, uint32_t* flagsOut = nullptr,
              uint8_t track = 5) {
  CScoreSequenceChunk chunk(body.data(), static_cast<uint32_t>(body.size()));
  CEventList out;
  uint32_t flags = 0;
  DecodeSequenceTrack5to6(chunk, out, seek, track, flags);
  if (flagsOut) *flagsOut = flags;
  return Describe(out);
}

Events Compact(const Bytes& body, uint8_t track = 1) {
  CScoreSequenceChunk chunk(body.data(), static_cast<uint32_t>(body.size()));
  CEventList out;
  uint32_t value = 0;
  int priority = kDeviceValuePriority;
  DecodeSequenceTrack1to4(chunk, out, nullptr, track, value, priority);
  return Describe(out);
}

TEST(DecodeSequenceTrack5to6, NoteWithoutVelocityTakesTheChannelsLast) {
  EXPECT_EQ(Stream(Hex("00 91 3C 5A 05 05 81 3C 0A 00 82 3C 0A 00 FF 2F 00")),
            (Events{"0-5: 91 3C 5A", "5-15: 91 3C 5A", "5-15: 92 3C 40"}));
}

TEST(DecodeSequenceTrack5to6, MergesANoteThatStillSounds) {
  uint32_t flags = 0;
  EXPECT_EQ(Stream(Hex("00 90 3C 64 0A 05 90 3C 64 0A 00 FF 2F 00"), nullptr, &flags),
            (Events{"0-15: 90 3C 64"}));
  EXPECT_EQ(flags, CNVF_NOTES_MERGED);
}

TEST(DecodeSequenceTrack5to6, ControllersProgramsBendsAndSkips) {
  EXPECT_EQ(Stream(Hex("00 B0 07 64 00 B0 02 10 00 B0 78 00 00 B0 78 01 00 B0 7E 01"
                       " 00 C3 05 00 E1 00 40 00 A0 3C 10 00 FF 01 02 AA BB 00 FF 00 00 FF 2F 00")),
            (Events{"0-0: B0 07 64", "0-0: B0 78 00", "0-0: B0 7E 01", "0-0: C3 05", "0-0: E1 00 40"}));
}

TEST(DecodeSequenceTrack5to6, DeviceMessages) {
  uint32_t flags = 0;
  Events events = Stream(Hex("00 F0 07 43 79 06 7F 00 50 F7"
                             " 00 F0 09 43 79 06 7F 08 00 01 02 F7"
                             " 00 F0 09 43 79 06 7F 08 00 00 02 F7"
                             " 00 F0 09 43 79 06 7F 0B 21 00 00 F7"
                             " 00 F0 07 43 79 06 7F 10 03 F7"
                             " 00 F0 07 43 79 06 7F 22 03 F7 00 FF 2F 00"),
                         nullptr, &flags);
  EXPECT_EQ(events, (Events{"0-0: F0 07 43 79 06 7F 00 50 F7", "0-0: F0 09 43 79 06 7F 08 00 01 02 F7",
                            "0-0: F0 07 43 79 06 7F 10 03 F7"}));
  EXPECT_EQ(flags, CNVF_LENGTH_OVER);
}

TEST(DecodeSequenceTrack5to6, MarkersAtTheirOffsets) {
  CSeekRecord seek;
  seek.SetStart(0);
  seek.SetStop(100);
  seek.AddPhrase('B', 5, 9);
  EXPECT_EQ(Stream(Hex("00 90 3C 64 0A 0A 90 3E 64 02 00 FF 2F 00"), &seek),
            (Events{"0-0: 05 cue 8", "0-10: 90 3C 64", "0-0: 05 cue 4", "10-12: 90 3E 64",
                    "10-10: 05 cue 9"}));
  CSeekRecord stopOnly;
  stopOnly.SetStop(8);
  EXPECT_EQ(Stream(Hex("00 90 3C 64 0A 0A FF 00 00 FF 2F 00"), &stopOnly, nullptr, 6),
            (Events{"0-10: 90 3C 64", "10-10: 06 cue 9"}));
}

TEST(DecodeSequenceTrack5to6, StopPastAStreamWithoutEndComesAtTheFinalTick) {
  CSeekRecord seek;
  seek.SetStop(50);
  EXPECT_EQ(Stream(Hex("00 90 3C 64 0A 07 FF 00"), &seek),
            (Events{"0-10: 90 3C 64", "7-7: 05 cue 9"}));
}

TEST(DecodeSequenceTrack5to6, KeysOutsideTheKeyboardAreDropped) {
  EXPECT_EQ(Stream(Hex("00 90 80 64 0A 00 80 FF 0A 00 90 3C 64 01 00 FF 2F 00")),
            (Events{"0-1: 90 3C 64"}));
}

TEST(DecodeSequenceTrack5to6, EveryPrefixEndsCleanlyOrThrowsTruncated) {
  Bytes body = Hex("00 90 3C 64 0A 00 80 3C 0A 00 F0 09 43 79 06 7F 0B 01 00 00 F7"
                   " 81 00 E0 00 40 00 FF 01 02 AA BB 00 FF 2F 00");
  for (size_t n = 0; n <= body.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes prefix(body.begin(), body.begin() + static_cast<ptrdiff_t>(n));
    try {
      Stream(prefix);
    } catch (int e) {
      EXPECT_EQ(e, kErrEndOfData);
    }
  }
}

TEST(DecodeSequenceTrack1to4, DurationForms) {
  EXPECT_EQ(Compact(Hex("81 00 15 05 00 00 00 00")), (Events{"256-261: 90 35 64"}));
  EXPECT_EQ(Compact(Hex("80 80 00 15 05 00 00 00 00")), (Events{"16511-16516: 90 35 64"}));
}

TEST(DecodeSequenceTrack1to4, NoteOnTrackTwo) {
  EXPECT_EQ(Compact(Hex("00 15 05 00 00 00 00"), 2), (Events{"0-5: 94 35 64"}));
}

TEST(DecodeSequenceTrack1to4, ControlBytesAndTables) {
  EXPECT_EQ(Compact(Hex("00 00 43 00 00 5F 00 00 A2 00 00 B0 07 00 00 F7 64 00 00 3A 41 00 00 00 00")),
            (Events{"0-0: B1 0B 28", "0-0: E1 00 7F", "0-0: B2 01 08", "0-0: C2 07", "0-0: B3 07 64",
                    "0-0: B0 0A 41"}));
}

TEST(DecodeSequenceTrack1to4, OctaveShiftMovesAndCanDropNotes) {
  EXPECT_EQ(Compact(Hex("00 00 32 01 00 05 05 00 00 32 FF 00 05 05 00 00 00 00")),
            (Events{"0-5: 90 35 64"}));
  EXPECT_EQ(Compact(Hex("00 00 32 81 00 05 05 00 00 00 00")), (Events{"0-5: 90 1D 64"}));
}

TEST(DecodeSequenceTrack1to4, PairedDeviceMessagesAppendOneEvent) {
  EXPECT_EQ(Compact(Hex("00 FF F0 06 43 03 90 B1 20 F7 00 FF F0 06 43 03 90 01 30 F7 00 00 00 00")),
            (Events{"0-0: F1 F1 20 30"}));
  EXPECT_EQ(Compact(Hex("00 FF F0 06 43 03 91 10 55 F7 00 FF F0 06 43 03 91 21 66 F7 00 00 00 00"), 3),
            (Events{"0-0: F8 F0 55"}));
}

TEST(DecodeSequenceTrack1to4, DeviceValuesFollowTheirPriority) {
  Bytes body = Hex("00 FF F0 07 43 01 80 31 22 F7 00 FF F0 06 43 02 80 33 F7 00 00 00 00");
  CScoreSequenceChunk chunk(body.data(), static_cast<uint32_t>(body.size()));
  CEventList out;
  uint32_t value = 0;
  int priority = kDeviceValuePriority;
  DecodeSequenceTrack1to4(chunk, out, nullptr, 1, value, priority);
  EXPECT_EQ(value, 0u);
  priority = 1;
  DecodeSequenceTrack1to4(chunk, out, nullptr, 1, value, priority);
  EXPECT_EQ(value, 0x33u);
  EXPECT_EQ(priority, 2);
}

TEST(DecodeSequenceTrack1to4, HostileBytesNeverReadOutOfBounds) {
  for (const char* hex : {"00 00 32 7F 00 3F 05 00 00 00 00", "00 00 32 FF 00 05 05 00 00 00 00",
                          "00 FF F0 06 43 03 90", "00 FF F0 06 43 01 80 31", "FF FF FF FF FF"}) {
    SCOPED_TRACE(hex);
    try {
      Events events = Compact(Hex(hex));
      EXPECT_TRUE(events.empty());
    } catch (int e) {
      EXPECT_EQ(e, kErrEndOfData);
    }
  }
}

/// Encodes a varied list, decodes it plain and coded, and checks both against the events the
/// encoder keeps (in the form the decoder gives them).
TEST(ScoreRoundTrip, VariedListComesBackPlainAndCoded) {
  CEventList list;
  Events expected;
  auto add = [&](uint32_t tick, const Bytes& bytes, uint32_t end, uint32_t cue, bool kept) {
    CSeqEvent* e = Event(tick, bytes, end, cue);
    list.Add(e);
    if (kept) expected.push_back(Describe(*e));
  };
  auto expect = [&](uint32_t tick, const Bytes& bytes) {
    expected.push_back(Describe(CSeqEvent(tick, static_cast<uint32_t>(bytes.size()), bytes.data(), tick, 0)));
  };
  add(0, Hex("FF 07 05 53 54 41 52 54"), 0, kCueStart, false);
  add(0, Hex("F0 07 43 79 06 7F 00 64 F7"), 0, 0, true);
  for (uint8_t ch = 0; ch < 16; ++ch) {
    Bytes bank = {static_cast<uint8_t>(0xB0 | ch), 0x00, 0x7C};
    add(0, bank, 0, 0, false);
    expect(0, bank);  // written in front of its program
    add(0, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(ch + 1)}, 0, 0, true);
    add(0, {static_cast<uint8_t>(0xB0 | ch), 0x07, 100}, 0, 0, true);
  }
  for (const char* rpn : {"B2 65 00", "B2 64 00", "B2 06 0C"}) add(0, Hex(rpn), 0, 0, false);
  uint32_t tick = 0;
  for (int i = 0; i < 40; ++i) {
    tick += 7;
    auto ch = static_cast<uint8_t>(i % 16);
    add(tick, {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(40 + i), static_cast<uint8_t>(60 + i % 3)},
        tick + 5 + i, 0, true);
    if (i == 10) {
      for (const char* rpn : {"B2 65 00", "B2 64 00", "B2 06 0C"}) expect(tick, Hex(rpn));
      add(tick, Hex("E2 00 50"), tick, 0, true);
    }
    if (i == 12) add(tick, Hex("B5 0A 20"), tick, 0, true);
    if (i == 14) add(tick, Hex("F0 09 43 79 06 7F 0B 02 00 05 F7"), tick, 0, true);
    if (i == 20) add(tick, Hex("FF 07 07 30 31 4C 53 54 50 41"), tick, 3, false);
    if (i == 30) add(tick, Hex("FF 07 04 53 54 4F 50"), tick, kCueStop, false);
  }
  std::sort(expected.begin(), expected.end());
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress);
    CSeekRecord seek;
    CScoreSequenceChunk built(list, seek, compress, false);
    Bytes body(built.GetBody(), built.GetBody() + built.GetBodySize());
    if (compress) {
      Bytes plain(CHuffmanCoder::PeekCount(body.data(), static_cast<uint32_t>(body.size())));
      CHuffmanCoder coder;
      coder.Decode(body.data(), static_cast<uint32_t>(body.size()), plain.data(),
                   static_cast<uint32_t>(plain.size()));
      body = plain;
    }
    Events decoded = Stream(body, &seek);
    Events events;
    Events markers;
    for (const std::string& e : decoded) (e.find(" cue ") != std::string::npos ? markers : events).push_back(e);
    EXPECT_EQ(markers, (Events{"0-0: 05 cue 8", "147-147: 05 cue 3", "217-217: 05 cue 9"}));
    std::sort(events.begin(), events.end());
    EXPECT_EQ(events, expected);
  }
}

}  // namespace
}  // namespace velkgate
