// Tests of the converter's MIDI list: merging, repeated pans, tags, entry values and density.
#include "plugins/velkgate/MidiList.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/SmfTrackWalker.h"
#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Event;
using testing::Hex;
using testing::Smf;

TEST(CMidiList, MergeTakesMainEventsFirstAtEqualTicks) {
  CEventList main;
  CEventList stream;
  CSeqEvent* main0 = Event(0, Hex("C0 01"));
  CSeqEvent* main10 = Event(10, Hex("C0 02"));
  CSeqEvent* stream0 = Event(0, Hex("C1 01"));
  CSeqEvent* stream5 = Event(5, Hex("C1 02"));
  main.Add(main0);
  main.Add(main10);
  stream.Add(stream0);
  stream.Add(stream5);
  CEventArray out;
  CMidiList::MergeEventLists(main, stream, out);
  ASSERT_EQ(out.GetCount(), 4);
  EXPECT_EQ(out[0], main0);
  EXPECT_EQ(out[1], stream0);
  EXPECT_EQ(out[2], stream5);
  EXPECT_EQ(out[3], main10);
}

TEST(CMidiList, MergeKeepsTheSecondListAfterTheFirstEnds) {
  CEventList first;
  CEventList second;
  first.Add(Event(4, Hex("FF 58 04 04 02 18 08")));
  for (uint32_t tick : {0u, 4u, 9u, 12u}) second.Add(Event(tick, Hex("90 3C 40")));
  CEventArray out;
  CMidiList::MergeEvents(first.Items(), second.Items(), out);
  std::vector<CSeqEvent*> expected = {second.Items()[0], first.Items()[0], second.Items()[1],
                                      second.Items()[2], second.Items()[3]};
  EXPECT_EQ(std::vector<CSeqEvent*>(out.begin(), out.end()), expected);
}

TEST(CMidiList, MergeGrowsTheArrayInSteps) {
  CEventList main;
  for (uint32_t i = 0; i < 250; ++i) main.Add(Event(i, Hex("C0 01")));
  CEventList stream;
  CEventArray out;
  CMidiList::MergeEventLists(main, stream, out);
  EXPECT_EQ(out.GetCount(), 250);
  EXPECT_EQ(out.GetCapacity(), 300);
}

TEST(CMidiList, CheckMarksAllButTheLastOfRepeatedPans) {
  CEventList list;
  CEventArray events;
  for (const char* hex : {"B0 0A 40", "B0 0A 40", "B0 0A 40", "B0 0A 41"}) {
    CSeqEvent* e = Event(7, Hex(hex));
    list.Add(e);
    events.Add(e);
  }
  CSeqEvent* later = Event(8, Hex("B0 0A 41"));
  list.Add(later);
  events.Add(later);
  CMidiList::checkMidiList(events);
  EXPECT_TRUE(events[0]->IsDropped());
  EXPECT_TRUE(events[1]->IsDropped());
  EXPECT_FALSE(events[2]->IsDropped());
  EXPECT_FALSE(events[3]->IsDropped());  // its repeat lies on a later tick
  EXPECT_FALSE(events[4]->IsDropped());
}

TEST(CMidiList, FindTagGivesTheTableIndex) {
  EXPECT_EQ(CMidiList::FindTag("DV"), 19);
  EXPECT_EQ(CMidiList::FindTag("ES"), 18);
  EXPECT_EQ(CMidiList::FindTag("ST"), 0);
  EXPECT_EQ(CMidiList::FindTag("XX"), -1);
  EXPECT_EQ(CMidiList::FindTag("T"), -1);
}

TEST(CMidiList, StreamPcmRatesAreStepsOf375From4125) {
  EXPECT_FALSE(IsValidStreamPcmRate(8000));
  EXPECT_TRUE(IsValidStreamPcmRate(8250));
  EXPECT_TRUE(IsValidStreamPcmRate(4125));
  EXPECT_TRUE(IsValidStreamPcmRate(48000));
  EXPECT_FALSE(IsValidStreamPcmRate(48375));
  EXPECT_FALSE(IsValidStreamPcmRate(3750));
  int count = 0;
  for (uint32_t rate = 0; rate <= 50000; ++rate) count += IsValidStreamPcmRate(rate);
  EXPECT_EQ(count, 118);
  EXPECT_EQ(GetChipGeneration(), 3);
}

TEST(CMidiList, ConstructsWithItsDefaults) {
  CMidiList list;
  EXPECT_EQ(list.GetDivision(), 480u);
  EXPECT_EQ(list.GetValue120(), 120u);
  EXPECT_TRUE(list.GetRamCheck());
  EXPECT_EQ(list.GetConversionKind(), 2);
  EXPECT_EQ(list.GetDensityWindowMs(), 1000u);
  EXPECT_EQ(list.GetContentsInfo().GetContentsType(), 0x32);
  EXPECT_EQ(list.ChannelTable(15, 3), 0xFF);
}

TEST(CMidiList, ReadTagValueUnescapesAndStopsAtItsEnd) {
  CMidiList list;
  Bytes text = {'a', '\\', ',', 'b', '\\', '\\', 'c', ',', 'n', 'e', 'x', 't'};
  const uint8_t* p = text.data();
  std::string value;
  EXPECT_EQ(list.ReadTagValue(p, text.data() + text.size(), value), 1);
  EXPECT_EQ(value, "a,b\\c");
  EXPECT_EQ(p, text.data() + 8);
  // The last value has no ',' and a dangling backslash: the read ends at the end.
  Bytes tail = {'x', 'y', '\\'};
  p = tail.data();
  EXPECT_EQ(list.ReadTagValue(p, tail.data() + tail.size(), value), 1);
  EXPECT_EQ(value, "xy");
  EXPECT_EQ(p, tail.data() + tail.size());
  Bytes empty = {','};
  p = empty.data();
  EXPECT_EQ(list.ReadTagValue(p, empty.data() + 1, value), 0);
}

TEST(CMidiList, ReadTagValueCutsToTheMaximum) {
  CMidiList list;
  Bytes text(300, 'q');
  const uint8_t* p = text.data();
  std::string value;
  list.ReadTagValue(p, text.data() + text.size(), value);
  EXPECT_EQ(value.size(), 255u);
  p = text.data();
  list.ReadTagValue(p, text.data() + text.size(), value, 10);
  EXPECT_EQ(value, std::string(10, 'q'));
}

TEST(CMidiList, ReadEntryValueThrowsForALengthPastItsEnd) {
  CMidiList list;
  Bytes entry = Hex("0004 41 42 43");
  const uint8_t* p = entry.data();
  std::string value;
  EXPECT_THROW(
      {
        try {
          list.ReadEntryValue(p, entry.data() + entry.size(), value);
        } catch (int e) {
          EXPECT_EQ(e, kErrEndOfData);
          throw;
        }
      },
      int);
  Bytes good = Hex("0003 41 42 43 FF");
  p = good.data();
  EXPECT_EQ(list.ReadEntryValue(p, good.data() + good.size(), value), 1);
  EXPECT_EQ(value, "ABC");
  EXPECT_EQ(p, good.data() + 5);
}

TEST(CMidiList, ReadEntryValueOfUtf8KeepsWithinTheMaximum) {
  CMidiList list;
  list.SetTextCodeType(0x23);
  Bytes entry = {0x02, 0x58};
  entry.resize(2 + 600, 'u');
  const uint8_t* p = entry.data();
  std::string value;
  EXPECT_EQ(list.ReadEntryValue(p, entry.data() + entry.size(), value), 1);
  EXPECT_EQ(value, std::string(255, 'u'));
  EXPECT_EQ(p, entry.data() + entry.size());
}

TEST(CMidiList, WriteEntryValueConvertsAndFailsOnNothing) {
  Bytes out;
  EXPECT_EQ(CMidiList::WriteEntryValue(out, "Song", 4, 0x23, true), 1);
  EXPECT_EQ(out, Hex("0004 536F6E67"));
  out.clear();
  EXPECT_EQ(CMidiList::WriteEntryValue(out, "ab", 2, 0x20, true), 1);
  EXPECT_EQ(out, Hex("0004 6100 6200"));
  out.clear();
  EXPECT_EQ(CMidiList::WriteEntryValue(out, "", 0, 0x23, true), 0);
  EXPECT_EQ(CMidiList::WriteEntryValue(out, "", 0, 0x01, true), 1);
  EXPECT_EQ(out, Hex("0000"));
}

TEST(CMidiList, DensityOfNineNotesHalfASecondApart) {
  // Division 480 and no tempo: 500000 us a quarter, so 480 ticks are 500 ms.
  Bytes track;
  uint32_t delta = 720;
  for (int i = 0; i < 9; ++i) {
    AppendVlq(track, delta);
    AppendBytes(track, Hex("90 3C 64").data(), 3);
    delta = 480;
  }
  AppendBytes(track, Hex("00 FF 2F 00").data(), 4);
  Bytes smf = Smf(480, {track});
  CMidiList list;
  ASSERT_TRUE(list.ComputeDensity(smf.data(), static_cast<uint32_t>(smf.size())));
  const DensityResult& r = list.GetDensity();
  EXPECT_EQ(r.totalBytes, 27u);
  EXPECT_EQ(r.totalMs, 4750u);
  EXPECT_EQ(r.averageBytesPerSecond, 5u);
  EXPECT_EQ(r.peakBytesPerSecond, 6u);
  EXPECT_FALSE(list.DensityScanFailed());
  ASSERT_FALSE(list.GetDensityPoints().empty());
  // The first window ends at 1000 ms: tick 960.
  EXPECT_EQ(list.GetDensityPoints()[0].endTick, 960u);
}

TEST(CMidiList, DensityWithAZeroTempoDoesNotDivideByZero) {
  Bytes track = Hex("00 F0 08 43 79 06 7D 10 00 00 00 F7  00 FF 51 03 00 00 00  60 90 3C 64  00 FF 2F 00");
  for (uint16_t division : {uint16_t{480}, uint16_t{0}}) {
    SCOPED_TRACE(division);
    Bytes smf = Smf(division, {track});
    CMidiList list;
    EXPECT_TRUE(list.ComputeDensity(smf.data(), static_cast<uint32_t>(smf.size())));
    EXPECT_EQ(list.GetDensity().totalBytes, 3u);
  }
}

TEST(CMidiList, DensityFailureKeepsTheEarlierResults) {
  Bytes track = Hex("00 90 3C 64 00 FF 2F 00");
  Bytes smf = Smf(480, {track});
  CMidiList list;
  ASSERT_TRUE(list.ComputeDensity(smf.data(), static_cast<uint32_t>(smf.size())));
  Bytes broken = Hex("4D546864 00000006");
  EXPECT_FALSE(list.ComputeDensity(broken.data(), static_cast<uint32_t>(broken.size())));
  EXPECT_TRUE(list.DensityScanFailed());
  EXPECT_EQ(list.GetDensity().totalBytes, 3u);
}

TEST(CMidiList, DensityFailsForASongOverTheLimit) {
  // 0x0FFFFFFF ticks at 1042 us a tick (division 0) is far beyond 5,999,999 ms.
  Bytes smf = Smf(0, {Hex("FF FF FF 7F 90 3C 64 00 FF 2F 00")});
  CMidiList list;
  EXPECT_FALSE(list.ComputeDensity(smf.data(), static_cast<uint32_t>(smf.size())));
}

TEST(CSmfTrackWalker, MergesByTickThenTrack) {
  Bytes smf = Smf(480, {Hex("0A C0 01 00 FF 2F 00"), Hex("00 C1 02 0A C1 03 00 FF 2F 00")});
  CSmfTrackWalker walker(smf.data(), static_cast<uint32_t>(smf.size()));
  std::vector<std::pair<uint32_t, int>> order;
  SmfWalkEvent e;
  while (walker.Next(e)) order.emplace_back(e.tick, e.track);
  std::vector<std::pair<uint32_t, int>> expected = {{0, 1}, {10, 0}, {10, 0}, {10, 1}, {10, 1}};
  EXPECT_EQ(order, expected);
}

TEST(CSmfTrackWalker, LongSilencesCostRoundsByEventNotByTick) {
  Bytes track;
  for (int i = 0; i < 20; ++i) AppendBytes(track, Hex("FF FF FF 7F 90 3C 64").data(), 7);
  AppendBytes(track, Hex("00 FF 2F 00").data(), 4);
  Bytes smf = Smf(480, {track, track});
  CSmfTrackWalker walker(smf.data(), static_cast<uint32_t>(smf.size()));
  SmfWalkEvent e;
  int events = 0;
  while (walker.Next(e)) ++events;
  EXPECT_EQ(events, 42);
  EXPECT_LE(walker.GetRounds(), 2u * 42u);
  // After one track ends the other still jumps.
  Bytes shortTrack = Hex("00 FF 2F 00");
  Bytes smf2 = Smf(480, {shortTrack, track});
  CSmfTrackWalker walker2(smf2.data(), static_cast<uint32_t>(smf2.size()));
  events = 0;
  while (walker2.Next(e)) ++events;
  EXPECT_EQ(events, 22);
  EXPECT_LE(walker2.GetRounds(), 44u);
}

int WalkError(const Bytes& smf) {
  try {
    CSmfTrackWalker walker(smf.data(), static_cast<uint32_t>(smf.size()));
    SmfWalkEvent e;
    while (walker.Next(e)) {
    }
  } catch (int error) {
    return error;
  }
  return 1;
}

TEST(CSmfTrackWalker, RejectsBrokenFilesWithoutReadingPastThem) {
  Bytes good = Smf(480, {Hex("00 90 3C 64 00 FF 05 03 41 42 43 00 FF 2F 00")});
  EXPECT_EQ(WalkError(good), 1);
  for (size_t n = 0; n < good.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes prefix(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
    int error = WalkError(prefix);
    // A prefix ending between events is a track that ends early, which walks cleanly.
    EXPECT_TRUE(error == kErrEndOfData || error == kErrNotSmf || error == 1) << error;
  }
  EXPECT_EQ(WalkError(Smf(480, {Hex("00 3C 64")})), kErrNotSmf);  // no running status
  EXPECT_EQ(WalkError(Smf(480, {Hex("00 FF 05 09 41")})), kErrEndOfData);
  Bytes format2 = Smf(480, {Hex("00 FF 2F 00")});
  format2[9] = 2;
  EXPECT_EQ(WalkError(format2), kErrNotSmf);
  Bytes badTrack = Smf(480, {Hex("00 FF 2F 00")});
  badTrack[14] = 'X';
  EXPECT_EQ(WalkError(badTrack), kErrNotSmf);
}

}  // namespace
}  // namespace velkgate
