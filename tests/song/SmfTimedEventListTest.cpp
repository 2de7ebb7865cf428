// The event-density curve: windows, byte counts, tempo changes and failures.
#include "song/SmfTimedEventList.h"

#include <gtest/gtest.h>

#include <vector>

#include "SmfTestImages.h"
#include "song/SmfDialect.h"
#include "song/SmfStreamReaders.h"

namespace {

using smftest::Bytes;
using smftest::Track;

struct Point {
  uint32_t ms, density, tick;
  bool operator==(const Point&) const = default;
};

std::vector<Point> PointsOf(const CSmfTimedEventList& list) {
  std::vector<Point> out;
  for (const CMsgKey& p : list.GetPoints()) out.push_back({p.GetFirst(), p.GetSecond(), p.GetThird()});
  return out;
}

// One tick = 1 ms at division 480: FF 51 1000 us per tick and 480000 us per quarter.
Track MillisecondTicks() {
  Track t;
  t.TickTempo(0, 1000).Event(0, MakeTempoMessage(480000));
  return t;
}

CSmfTimedEventList Analyse(const Track& t, uint32_t windowMs, uint16_t division = 480) {
  Bytes image = smftest::Image({t}, 0, division);
  CSmfTimedEventList list;
  EXPECT_EQ(list.AnalyseDensity(image.data(), static_cast<uint32_t>(image.size()), windowMs), 1);
  return list;
}

TEST(SmfTimedEventList, SongShorterThanHalfAWindowGivesTwoPoints) {
  Track t;
  t.TickTempo(0, 1042).Event(0, MakeTempoMessage(500000)).Event(0, {0x90, 60, 100})
      .Event(100, {0x80, 60, 0});
  CSmfTimedEventList list = Analyse(t, 1000);
  // A's window from 0 holds both notes; B's starts at 500 ms = tick 480 at 1042 us per tick.
  EXPECT_EQ(PointsOf(list), (std::vector<Point>{{0, 6, 0}, {500, 0, 480}}));
  EXPECT_EQ(list.GetMaxDensity(), 6u);
  EXPECT_EQ(list.GetMaxTime(), 0u);
  EXPECT_EQ(list.GetTotalBytes(), 6u);
  EXPECT_EQ(list.GetLength(), 104u);  // 100 ticks of 500000 / 480 = 1041 us
  EXPECT_EQ(list.GetAverageDensity(), 6000u / 104u);
}

TEST(SmfTimedEventList, RunOfEmptyWindowsKeepsItsFirstAndLastPoint) {
  Track t = MillisecondTicks();
  t.Event(0, {0x90, 60, 100})
      .Event(0, MakeMasterVolumeMessage(100))  // length 7: counts 8 bytes
      .Event(0, {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x00, 0xF7})  // not counted
      .Event(0, {0xA0, 60, 1})                                           // not counted
      .Event(2500, {0x80, 60, 0})
      .Event(0, {0xC0, 1});
  CSmfTimedEventList list = Analyse(t, 1000);
  // The empty window at 1000 ms lies inside the run from 500 to 1500 ms: the line drawn through
  // the points is the same without it.
  std::vector<Point> expected = {
      {0, 11, 0}, {500, 0, 500}, {1500, 0, 1500}, {2000, 5, 2000}, {2500, 5, 2500},
  };
  EXPECT_EQ(PointsOf(list), expected);
  EXPECT_EQ(list.GetMaxDensity(), 11u);
  EXPECT_EQ(list.GetTotalBytes(), 16u);
  EXPECT_EQ(list.GetLength(), 2500u);
  EXPECT_EQ(list.GetAverageDensity(), 6u);
}

TEST(SmfTimedEventList, TempoChangeMovesTimesAndStartTicks) {
  Track t = MillisecondTicks();
  t.Event(0, {0x90, 60, 100})
      .TickTempo(1000, 2000)
      .Event(0, MakeTempoMessage(960000))  // 2 ms per tick from tick 1000
      .Event(500, {0x80, 60, 0});
  CSmfTimedEventList list = Analyse(t, 1000);
  std::vector<Point> expected = {
      {0, 3, 0}, {500, 0, 500}, {1000, 0, 1000}, {1500, 3, 1250}, {2000, 3, 1500},
  };
  EXPECT_EQ(PointsOf(list), expected);
  EXPECT_EQ(list.GetLength(), 2000u);
  EXPECT_EQ(list.GetMaxTime(), 0u);  // an equal count keeps the earlier window
}

TEST(SmfTimedEventList, FF51ChangeInsideAWindowKeepsTheTimeOfTheTempoInForce) {
  // The division governs: 960000 us per quarter at 480 is 2 ms per tick, while FF 51 says 1 ms.
  // Up to a change of FF 51 at tick 300 the song has run 600 ms by the tempo in force; counting
  // those ticks at the old FF 51 value would say 300 ms and move every later event back.
  Track t;
  t.TickTempo(0, 1000).Event(0, MakeTempoMessage(960000)).Event(0, {0x90, 60, 100})
      .TickTempo(300, 3000)
      .Event(100, {0x80, 60, 0});
  CSmfTimedEventList list = Analyse(t, 1000);
  EXPECT_EQ(list.GetLength(), 800u);
  EXPECT_EQ(PointsOf(list), (std::vector<Point>{{0, 6, 0}, {500, 3, 500}}));
}

TEST(SmfTimedEventList, CurveFollowsTheEventsNotTheSongLength) {
  // One note 98 minutes in, 1 ms windows: 11.8 million windows, of which the curve keeps the
  // ones around the events.
  Track t;
  t.Event(0, {0x90, 60, 100}).Event(5648415, {0x80, 60, 0});
  Bytes image = smftest::Image({t});
  ASSERT_LT(image.size(), 40u);
  CSmfTimedEventList list;
  list.AnalyseDensity(image.data(), static_cast<uint32_t>(image.size()), 1);
  EXPECT_LE(list.GetPoints().size(), 8u);
  EXPECT_EQ(list.GetLength(), 5880000u);
  EXPECT_EQ(list.GetMaxDensity(), 3000u);
  EXPECT_EQ(list.GetPoints().back().GetSecond(), 3000u);

  // Three hours in is past the last allowed time: refused at once.
  Track late;
  late.Event(0, {0x90, 60, 100}).Event(10375000, {0x80, 60, 0});
  Bytes lateImage = smftest::Image({late});
  CSmfTimedEventList refused;
  EXPECT_THROW(refused.AnalyseDensity(lateImage.data(), static_cast<uint32_t>(lateImage.size()), 1), int);
  EXPECT_TRUE(refused.GetPoints().size() <= 8u);
}

TEST(SmfTimedEventList, EventsOfSeveralTracksShareTheWindows) {
  Track t0 = MillisecondTicks(), t1;
  t0.Event(0, {0x90, 60, 100}).Event(700, {0x80, 60, 0});
  t1.Event(600, {0xB1, 7, 100}).Event(0, {0xE1, 0, 64});
  Bytes image = smftest::Image({t0, t1});
  CSmfTimedEventList list;
  list.AnalyseDensity(image.data(), static_cast<uint32_t>(image.size()), 1000);
  // A [0, 1000) counts all 12 bytes, B [500, 1500) the 9 from 600 ms on.
  EXPECT_EQ(PointsOf(list), (std::vector<Point>{{0, 12, 0}, {500, 9, 500}}));
  EXPECT_EQ(list.GetMaxDensity(), 12u);
}

TEST(SmfTimedEventList, ZeroWindowAndZeroTempoDoNotDivideByZero) {
  Track t = MillisecondTicks();
  t.Event(0, {0x90, 60, 100}).Event(100, {0x80, 60, 0});
  CSmfTimedEventList zeroWindow = Analyse(t, 0);
  EXPECT_EQ(PointsOf(zeroWindow), (std::vector<Point>{{0, 12, 0}, {250, 0, 250}}));

  Track zeroTempo;
  zeroTempo.TickTempo(0, 0).Event(0, {0x90, 60, 100}).Event(100, {0x80, 60, 0});
  CSmfTimedEventList stopped = Analyse(zeroTempo, 1000, 0);  // division 0: FF 51 governs
  EXPECT_EQ(PointsOf(stopped), (std::vector<Point>{{0, 6, 0}, {500, 0, 0}}));
  EXPECT_EQ(stopped.GetLength(), 0u);
  EXPECT_EQ(stopped.GetAverageDensity(), 0u);
}

TEST(SmfTimedEventList, EventAfterTheLastAllowedTimeFails) {
  Track inTime = MillisecondTicks(), late = MillisecondTicks();
  inTime.Event(5999999, {0x90, 60, 1});
  late.Event(6000000, {0x90, 60, 1});
  EXPECT_EQ(Analyse(inTime, 60000).GetLength(), 5999999u);
  Bytes image = smftest::Image({late});
  CSmfTimedEventList list;
  EXPECT_THROW(list.AnalyseDensity(image.data(), static_cast<uint32_t>(image.size()), 60000), int);
}

TEST(SmfTimedEventList, CopyItemsOnlyIntoAnEmptyList) {
  Track t = MillisecondTicks();
  t.Event(0, {0x90, 60, 100});
  CSmfTimedEventList list = Analyse(t, 1000);
  std::vector<CMsgKey> target;
  EXPECT_EQ(list.CopyItems(target), 1);
  ASSERT_EQ(target.size(), 2u);
  EXPECT_EQ(target[1].GetFirst(), 500u);
  EXPECT_EQ(list.CopyItems(target), 0);
  EXPECT_EQ(target.size(), 2u);
}

TEST(SmfTimedEventList, CutImagesFail) {
  Track t = MillisecondTicks();
  t.Event(0, {0x90, 60, 100}).Event(10, {60, 0}).EndOfTrack();
  Bytes valid = smftest::Image({t});
  for (size_t n = 0; n < valid.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes cut(valid.begin(), valid.begin() + static_cast<ptrdiff_t>(n));
    CSmfTimedEventList list;
    EXPECT_THROW(list.AnalyseDensity(cut.data(), static_cast<uint32_t>(cut.size()), 1000), int);
  }
}

}  // namespace
