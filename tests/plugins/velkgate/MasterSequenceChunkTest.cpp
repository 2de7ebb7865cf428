// Tests of the master track: the "Mssq" encoder and decoder, "MSTR" and "MMMG".
#include "plugins/velkgate/MasterSequenceChunk.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/MasterTrackChunk.h"
#include "plugins/velkgate/MmmgChunk.h"
#include "plugins/velkgate/TempoMessage.h"
#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Event;
using testing::Hex;
using testing::ToHex;

struct Master {
  CEventList list;
  Master& Add(uint32_t tick, const Bytes& bytes) {
    list.Add(Event(tick, bytes));
    return *this;
  }
  std::string Encoded() {
    CMasterSequenceChunk chunk(list);
    return ToHex(Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize()));
  }
};

std::vector<std::string> Decode(const Bytes& body) {
  CMasterSequenceChunk chunk;
  chunk.SetBodyCopy(body.data(), static_cast<uint32_t>(body.size()));
  CEventList out;
  chunk.DecodeMasterSequence(out);
  std::vector<std::string> events;
  for (CSeqEvent* e : out.Items())
    events.push_back(std::to_string(e->GetTick()) + ": " + ToHex(testing::EventBytes(*e)));
  return events;
}

using Events = std::vector<std::string>;

TEST(CMasterSequenceChunk, EmptyListEncodesDefaults) {
  EXPECT_EQ(Master().Encoded(), "00 F0 9E C2 20 00 BA 04 00 00 00 00");
}

TEST(CMasterSequenceChunk, RepeatedTempoOrTimeSignatureIsNotWrittenAgain) {
  Master m;
  m.Add(0, MakeTempoMessage(500000))
      .Add(0, Hex("FF 58 04 03 02 18 08"))
      .Add(10, MakeTempoMessage(500000))
      .Add(20, Hex("FF 58 04 03 02 18 08"))
      .Add(30, MakeTempoMessage(400000));
  EXPECT_EQ(m.Encoded(), "00 F0 9E C2 20 00 BA 03 1E F0 98 B5 00 00 00 00 00");
}

TEST(CMasterSequenceChunk, ThreeFlatsEncodeAndDecode) {
  Master m;
  m.Add(0, Hex("FF 59 02 FD 00"));
  EXPECT_EQ(m.Encoded(), "00 F0 9E C2 20 00 BA 04 00 B8 0D 00 00 00 00");
  EXPECT_EQ(Decode(Hex("00 B8 0D 00 00 00 00")), (Events{"0: FF 59 02 FD 00"}));
  EXPECT_EQ(Decode(Hex("05 B8 13")), (Events{"5: FF 59 02 03 01"}));
}

TEST(CMasterSequenceChunk, ChordWithoutBassTakesTwoBytes) {
  Master m;
  m.Add(4, Hex("FF 7F 07 43 7B 01 23 05 7F 7F"));
  EXPECT_EQ(m.Encoded(), "00 F0 9E C2 20 00 BA 04 04 93 05 00 00 00 00");
  EXPECT_EQ(Decode(Hex("04 93 05")), (Events{"4: FF 7F 07 43 7B 01 23 05 7F 7F"}));
}

TEST(CMasterSequenceChunk, ChordWithBassRoundTrips) {
  Master m;
  m.Add(0, Hex("FF 7F 07 43 7B 01 11 02 65 22"));
  EXPECT_EQ(m.Encoded(), "00 F0 9E C2 20 00 BA 04 00 89 82 B5 22 00 00 00 00");
  EXPECT_EQ(Decode(Hex("00 89 82 B5 22")), (Events{"0: FF 7F 07 43 7B 01 11 02 65 22"}));
}

TEST(CMasterSequenceChunk, OutOfRangeEventsAreLeftOut) {
  Master m;
  m.Add(0, Hex("FF 58 04 41 02 18 08"))        // numerator 65
      .Add(0, Hex("FF 59 02 08 00"))           // eight sharps
      .Add(0, Hex("FF 7F 07 43 7B 01 18 05 7F 7F"))  // note 8
      .Add(0, Hex("FF 7F 07 43 7B 01 11 23 7F 7F"))  // type 35
      .Add(0, Hex("FF 7F 07 7D 7B 01 11 02 7F 7F"))  // another maker
      .Add(0, Hex("90 3C 64"));
  EXPECT_EQ(m.Encoded(), "00 F0 9E C2 20 00 BA 04 00 00 00 00");
  EXPECT_EQ(Decode(Hex("00 B8 20 00 BD 41 00 89 23 00 89 82 B8 00 00 00 00 00")), Events{});
}

TEST(CMasterSequenceChunk, SmallTempoRoundTrips) {
  Master m;
  m.Add(0, MakeTempoMessage(10000));
  std::string coded = m.Encoded();
  // The defaults come first; the tempo takes two bytes.
  EXPECT_EQ(coded, "00 BA 04 00 F0 CE 10 00 00 00 00");
  Events events = Decode(Hex(coded));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], "0: FF 58 04 04 02 18 08");
  EXPECT_EQ(events[1], "0: " + ToHex(MakeTempoMessage(10000)));
}

TEST(CMasterSequenceChunk, LargeTempoUsesFourGroups) {
  Events events = Decode(Hex("00 F0 81 80 80 00"));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], "0: F0 0A 43 79 06 7D 10 01 00 00 00 F7");
  uint32_t tempo = 0;
  Bytes message = MakeTempoMessage(0x200000);
  EXPECT_TRUE(ReadTempoMessage(message.data(), static_cast<uint32_t>(message.size()), tempo));
  EXPECT_EQ(tempo, 0x200000u);
}

TEST(CMasterSequenceChunk, EventCutOffThrows) {
  for (const char* body : {"00 B8", "00 F0 81", "00 BA", "00 89 82 B5", "80"}) {
    SCOPED_TRACE(body);
    EXPECT_THROW(Decode(Hex(body)), int);
  }
}

TEST(CMasterTrackChunk, ReadsItsSequenceAndSkipsOthers) {
  Bytes image = Hex("4D535452 0000001D 00 00 02 02 AABB"
                    "58585858 00000000"
                    "4D737371 00000007 00 B8 0D 00000000");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CMasterTrackChunk track(in);
  EXPECT_EQ(track.GetData(), Hex("AABB"));
  ASSERT_NE(track.GetSequence(), nullptr);
  EXPECT_EQ(track.GetSequence()->GetBodySize(), 7u);
  CMemStream out;
  track.Write(out);
  EXPECT_EQ(ToHex(testing::StreamBytes(out)),
            ToHex(Hex("4D535452 00000015 00 00 02 02 AABB 4D737371 00000007 00 B8 0D 00000000")));

  Bytes other = image;
  other[8] = 1;  // a non-zero format skips every child
  CMemStream in2(other.data(), static_cast<int32_t>(other.size()), false);
  CMasterTrackChunk skipped(in2);
  EXPECT_EQ(skipped.GetSequence(), nullptr);
}

TEST(CMmmgChunk, ReadsAndWritesBackItsChildren) {
  Bytes image = Hex("4D4D4D47 00000041 01 07"
                    "494E464F 00000004 41420043"                     // "INFO": "AB"
                    "564F4943 00000023"                              // "VOIC"
                    "  4445564F 00000001 05"                         // "DEVO"
                    "  4558564F 00000008 FF F0 05 43 04 01 11 F7"    // "EXVO" kept
                    "  4558564F 00000002 FF F1"                      // dropped
                    "53455155 00000000");                            // "SEQU" empty
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CMmmgChunk chunk(in);
  ASSERT_NE(chunk.GetInfo(), nullptr);
  EXPECT_EQ(chunk.GetInfo()->GetText(), "AB");
  ASSERT_NE(chunk.GetVoice(), nullptr);
  EXPECT_EQ(chunk.GetVoice()->GetDeviceByte(), 5);
  ASSERT_EQ(chunk.GetVoice()->GetVoices().size(), 1u);
  EXPECT_EQ(chunk.GetVoice()->GetVoices()[0], Hex("11"));
  CMemStream out;
  chunk.Write(out);
  EXPECT_EQ(ToHex(testing::StreamBytes(out)),
            ToHex(Hex("4D4D4D47 0000002D 01 14 494E464F 00000002 4142"
                      "564F4943 00000019 4445564F 00000001 05"
                      "4558564F 00000008 FF F0 05 43 04 01 11 F7")));
}

TEST(CMmmgChunk, RejectsAnotherFirstByte) {
  Bytes image = Hex("4D4D4D47 00000002 02 14");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  try {
    CMmmgChunk chunk(in);
    FAIL();
  } catch (int e) {
    EXPECT_EQ(e, kErrRejected);
  }
  Bytes emptyDevice = Hex("4D4D4D47 00000012 01 14 564F4943 00000008 4445564F 00000000");
  CMemStream in2(emptyDevice.data(), static_cast<int32_t>(emptyDevice.size()), false);
  EXPECT_THROW(CMmmgChunk chunk(in2), int);
}

}  // namespace
}  // namespace velkgate
