// Tests of the score-stream encoder and its chunk.
#include "plugins/velkgate/ScoreSequenceChunk.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "song/SmfDialectText.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Event;
using testing::Hex;
using testing::ToHex;

/// A score list built in order and encoded.
struct Score {
  CEventList list;
  CSeekRecord seek;
  Score& Add(uint32_t tick, const char* hex, uint32_t end = UINT32_MAX) {
    list.Add(Event(tick, Hex(hex), end));
    return *this;
  }
  Score& Marker(uint32_t tick, uint32_t cue) {
    list.Add(Event(tick, Hex("FF 07 05 53 54 41 52 54"), tick, cue));
    return *this;
  }
  Score& Note(uint32_t tick, uint32_t duration, const char* hex = "90 3C 64") {
    return Add(tick, hex, tick + duration);
  }
  std::string Stream(bool classOne = false) {
    CScoreSequenceChunk chunk(list, seek, false, classOne);
    length = chunk.GetSequenceLength();
    masterByte = chunk.GetMasterByte();
    return ToHex(Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize()));
  }
  uint32_t length = 0;
  uint8_t masterByte = 0;
};

TEST(CScoreSequenceChunk, OneNote) {
  Score s;
  s.Note(0, 10);
  EXPECT_EQ(s.Stream(), "00 90 3C 64 0A 0A FF 2F 00");
  EXPECT_EQ(s.length, 10u);
  EXPECT_EQ(s.masterByte, 100);
  EXPECT_FALSE(s.seek.HasPoints());
}

TEST(CScoreSequenceChunk, StartMarkerBecomesANop) {
  Score s;
  s.Marker(0, kCueStart).Note(0, 10);
  EXPECT_EQ(s.Stream(), "00 FF 00 00 90 3C 64 0A 0A FF 2F 00");
  ASSERT_TRUE(s.seek.HasStart());
  EXPECT_EQ(s.seek.GetStart(), 3u);
}

TEST(CScoreSequenceChunk, StopAtTheEndClosesWithoutTail) {
  Score s;
  s.Note(0, 10).Marker(10, kCueStop);
  EXPECT_EQ(s.Stream(), "00 90 3C 64 0A 0A FF 00 00 FF 00 00 FF 2F 00");
  EXPECT_EQ(s.seek.GetStop(), 8u);
  EXPECT_EQ(s.seek.GetEnd(), 8u);
}

TEST(CScoreSequenceChunk, PhrasesCloseWithTailAndNop) {
  Score s;
  s.Marker(0, 3).Note(0, 10);
  EXPECT_EQ(s.Stream(), "00 FF 00 00 90 3C 64 0A 0A FF 00 00 FF 00 00 FF 2F 00");
  ASSERT_EQ(s.seek.GetPhrases().size(), 1u);
  EXPECT_EQ(s.seek.GetPhrases()[0].letter, 'A');
  EXPECT_EQ(s.seek.GetPhrases()[0].start, 3u);
  EXPECT_EQ(s.seek.GetEnd(), 11u);
}

TEST(CScoreSequenceChunk, BankIsWrittenBeforeItsProgram) {
  Score s;
  s.Add(0, "B0 00 7C").Add(0, "B0 20 01").Add(0, "C0 05");
  EXPECT_EQ(s.Stream(), "00 B0 00 7C 00 B0 20 01 00 C0 05 00 FF 2F 00");
}

TEST(CScoreSequenceChunk, BendRangeTripletIsWrittenOncePerRange) {
  Score s;
  s.Add(0, "B0 65 00").Add(0, "B0 64 00").Add(0, "B0 06 0C").Add(10, "E0 00 40").Add(20, "E0 10 50");
  EXPECT_EQ(s.Stream(), "0A B0 65 00 00 B0 64 00 00 B0 06 0C 00 E0 00 40 0A E0 10 50 00 FF 2F 00");
}

TEST(CScoreSequenceChunk, RangeNeedsRegisteredParameterZero) {
  Score s;
  s.Add(0, "B0 65 00").Add(0, "B0 64 01").Add(0, "B0 06 0C").Add(10, "E0 00 40");
  EXPECT_EQ(s.Stream(), "0A E0 00 40 00 FF 2F 00");
  Score wide;
  wide.Add(0, "B0 65 00").Add(0, "B0 64 00").Add(0, "B0 06 19").Add(10, "E0 00 40");
  EXPECT_EQ(wide.Stream(), "0A E0 00 40 00 FF 2F 00");
}

TEST(CScoreSequenceChunk, EmptyListEndsAtOnce) {
  Score s;
  EXPECT_EQ(s.Stream(), "00 FF 2F 00");
  CSeekRecord seek;
  CEventList none;
  CScoreSequenceChunk coded(none, seek, true, false);
  EXPECT_EQ(ToHex(Bytes(coded.GetBody(), coded.GetBody() + coded.GetBodySize())),
            "00 00 00 04 C5 EF F0 05 20");
}

TEST(CScoreSequenceChunk, OneNoteCoded) {
  CEventList list;
  list.Add(Event(0, Hex("90 3C 64"), 10));
  CSeekRecord seek;
  CScoreSequenceChunk chunk(list, seek, true, false);
  EXPECT_EQ(ToHex(Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize())),
            "00 00 00 09 E3 C7 F8 2B 32 24 22 F0 07 A2 29 DC");
}

TEST(CScoreSequenceChunk, EqualVelocityLeavesItOut) {
  Score s;
  s.Note(0, 5).Note(5, 5).Note(10, 5, "90 3C 50");
  EXPECT_EQ(s.Stream(), "00 90 3C 64 05 05 80 3C 05 05 90 3C 50 05 05 FF 2F 00");
}

TEST(CScoreSequenceChunk, ResetAllControllersOutsideClassOneForgetsTheVelocity) {
  Score s;
  s.Note(0, 5).Add(5, "B0 79 00").Note(6, 5);
  EXPECT_EQ(s.Stream(), "00 90 3C 64 05 05 B0 79 00 01 90 3C 64 05 05 FF 2F 00");
}

TEST(CScoreSequenceChunk, ResetAllControllersInClassOneWritesSixMessages) {
  Score s;
  s.Note(0, 5).Add(5, "B0 79 00").Note(6, 5).Note(12, 5);
  EXPECT_EQ(s.Stream(true),
            "00 90 3C 64 05 05 B0 01 00 00 B0 0B 7F 00 B0 40 00 00 B0 64 7F 00 B0 65 7F 00 E0 00 40"
            " 01 90 3C 40 05 06 80 3C 05 05 FF 2F 00");
  Score other;
  other.Note(0, 5).Add(5, "B0 79 00").Note(6, 5, "90 3C 50");
  EXPECT_EQ(other.Stream(true),
            "00 90 3C 64 05 05 B0 01 00 00 B0 0B 7F 00 B0 40 00 00 B0 64 7F 00 B0 65 7F 00 E0 00 40"
            " 01 90 3C 50 05 05 FF 2F 00");
}

TEST(CScoreSequenceChunk, EventsItCannotCarryAreLeftOut) {
  Score s;
  s.Add(0, "B0 00 7C")                                     // a bank MSB with no program
      .Add(0, "90 3C 64", 0)                               // a zero-length note
      .Add(0, "F0 09 43 79 06 7F 08 00 00 05 F7")          // kind 8, slot 0
      .Add(0, "F0 09 43 79 06 7F 0B 21 00 00 F7")          // kind 11, slot 33
      .Add(0, "F0 07 43 79 06 7F 05 01 F7")                // another kind
      .Add(0, "F0 07 43 79 06 7D 10 01 F7")                // another group
      .Add(0, "FF 51 03 07 A1 20")                         // a meta event
      .Add(0, "80 3C 00")                                  // a note-off
      .Add(0, "B0 78 01")                                  // mode message with a value
      .Add(0, "B0 0C 01");                                 // a controller not carried
  EXPECT_EQ(s.Stream(), "00 FF 2F 00");
}

TEST(CScoreSequenceChunk, DeviceMessagesItCarries) {
  Score s;
  s.Add(0, "F0 07 43 79 06 7F 00 50 F7")
      .Add(1, "F0 07 43 79 06 7F 00 60 F7")
      .Add(2, "F0 09 43 79 06 7F 08 00 01 02 F7")
      .Add(3, "F0 09 43 79 06 7F 0B 20 00 00 F7")
      .Add(4, "F0 07 43 79 06 7F 10 03 F7");
  EXPECT_EQ(s.Stream(),
            "00 F0 07 43 79 06 7F 00 50 F7 01 F0 07 43 79 06 7F 00 60 F7 01 F0 09 43 79 06 7F 08"
            " 00 01 02 F7 01 F0 09 43 79 06 7F 0B 20 00 00 F7 01 F0 07 43 79 06 7F 10 03 F7 00 FF 2F 00");
  EXPECT_EQ(s.masterByte, 0x50);
}

TEST(CScoreSequenceChunk, LatestEndCountsLeftOutEvents) {
  Score s;
  s.Note(0, 10).Add(30, "FF 2F 00");
  EXPECT_EQ(s.Stream(), "00 90 3C 64 0A 1E FF 2F 00");
  EXPECT_EQ(s.length, 30u);
}

TEST(CScoreSequenceChunk, ReadingConstructorKeepsTheBody) {
  Bytes image = Hex("4D747371 00000004 00 FF 2F 00");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CScoreSequenceChunk chunk(in);
  EXPECT_EQ(chunk.GetMasterByte(), 100);
  EXPECT_EQ(chunk.GetProgram(0), 0xFF);
  EXPECT_EQ(chunk.GetBodySize(), 4u);
}

}  // namespace
}  // namespace velkgate
