// The song's tick and millisecond conversion.
#include <gtest/gtest.h>

#include "song/document/TempoMap.h"

namespace {

CTempoMap ListA(uint32_t rate) {
  CTempoMap map;
  map.Reset(rate, 0);
  return map;
}

TEST(TempoMap, OnePointConvertsBothWays) {
  const CTempoMap map = ListA(2000);
  EXPECT_EQ(map.TickToMs(480, 0, 1, 0), 960u);
  EXPECT_EQ(map.MsToTick(960, 0), 480u);
}

TEST(TempoMap, RoundingOfAFractionalMillisecond) {
  const CTempoMap map = ListA(1001);  // tick 1 lies at 1.001 ms
  EXPECT_EQ(map.TickToMs(1, CTempoMap::kUp, 1, 0), 2u);
  EXPECT_EQ(map.TickToMs(1, CTempoMap::kDown, 1, 0), 1u);
  EXPECT_EQ(map.TickToMs(1, CTempoMap::kNearest, 1, 0), 1u);
  EXPECT_EQ(map.TickToMs(1, 7, 1, 0), 1u) << "other values round to nearest";
}

TEST(TempoMap, QuantisesToMultiples) {
  const CTempoMap map = ListA(1000);  // one millisecond per tick
  struct Row { uint32_t tick; int rounding; int quantum; uint32_t want; };
  const Row rows[] = {
      {14, 0, 10, 10}, {15, 0, 10, 20}, {15, 2, 10, 10}, {15, 1, 10, 20}, {11, 1, 10, 20},
      {20, 1, 10, 20}, {7, 0, 0, 7},    {7, 0, -3, 7},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.tick << " r" << r.rounding << " q" << r.quantum);
    EXPECT_EQ(map.TickToMs(r.tick, r.rounding, r.quantum, 0), r.want);
  }
}

TEST(TempoMap, LimitKeepsRoundingUpOnlyWithinTheLimitsTime) {
  const CTempoMap map = ListA(1000);
  EXPECT_EQ(map.TickToMs(15, 0, 10, 20), 20u);
  EXPECT_EQ(map.TickToMs(15, 0, 10, 17), 10u);
  EXPECT_EQ(map.TickToMs(15, 1, 10, 15), 10u) << "the section's own end is not passed";
}

TEST(TempoMap, LongSongsDoNotOverflow) {
  const CTempoMap map = ListA(1042);
  EXPECT_EQ(map.TickToMs(4606525, 0, 1, 0), 4799999u);
  EXPECT_EQ(map.MsToTick(4799999, 0), 4606525u);
}

TEST(TempoMap, AddTempoTimesLongSpansIn64Bits) {
  CTempoMap map = ListA(1042);
  map.AddTempo(4606525, 500);
  ASSERT_EQ(map.GetPoints(CTempoMap::kListA).size(), 2u);
  EXPECT_EQ(map.GetPoints(CTempoMap::kListA)[1].GetTime(), 4799999u);
  EXPECT_EQ(map.TickToMs(4606525 + 1000, 0, 1, 0), 4799999u + 500u);
  EXPECT_EQ(map.MsToTick(4799999 + 500, 0), 4606525u + 1000u);
}

TEST(TempoMap, TempoChangesSplitTheSong) {
  CTempoMap map = ListA(1000);
  map.AddTempo(100, 2000);  // at 100 ms, then 2 ms per tick
  EXPECT_EQ(map.TickToMs(150, 0, 1, 0), 200u);
  EXPECT_EQ(map.MsToTick(200, 0), 150u);
  EXPECT_EQ(map.MsToTick(50, 0), 50u);
}

TEST(TempoMap, RateZeroPointHoldsItsTick) {
  CTempoMap map = ListA(1000);
  map.AddTempo(100, 0);
  EXPECT_EQ(map.MsToTick(500, 0), 100u);
}

TEST(TempoMap, ListBUsesTheResolutionInSinglePrecision) {
  CTempoMap map;
  map.Reset(1000, 480);
  EXPECT_EQ(map.AddSmfTempo(100, 500000), 1);
  EXPECT_EQ(map.TickToMs(50, 0, 1, 0), 0u) << "before the first list-B point";
  EXPECT_EQ(map.TickToMs(580, 0, 1, 0), 500u);
  EXPECT_EQ(map.MsToTick(500, 0), 500u) << "MsToTick reads list A only";
  map.AddSmfTempo(580, 1000000);
  EXPECT_EQ(map.GetPoints(CTempoMap::kListB)[1].GetTime(), 499u) << "a point's time truncates";
}

TEST(TempoMap, ResetAndEmptyLists) {
  CTempoMap map;
  EXPECT_EQ(map.IsEmpty(CTempoMap::kListA), 1);
  EXPECT_EQ(map.TickToMs(100, 0, 1, 0), 0u);
  EXPECT_EQ(map.TickToMs(14, 0, 10, 0), 0u);
  EXPECT_EQ(map.MsToTick(100, 0), 0u);
  EXPECT_EQ(map.AddSmfTempo(0, 500000), 0) << "list B is off without a resolution";
  map.Reset(1000, 480);
  EXPECT_EQ(map.IsEmpty(CTempoMap::kListA), 0);
  EXPECT_EQ(map.GetResolution(), 480u);
  map.Reset(0, 0);
  EXPECT_EQ(map.IsEmpty(CTempoMap::kListA), 1);
  EXPECT_EQ(map.GetResolution(), 0u);
}

TEST(TempoMap, PointsAddedOutOfOrderAreSearchedFromTheEnd) {
  CTempoMap map = ListA(1000);
  map.AddTempo(200, 2000);
  map.AddTempo(100, 3000);  // its time follows from tick 200 with no span: 200 ms
  EXPECT_EQ(map.TickToMs(150, 0, 1, 0), 350u) << "the last point not above 150 is (100, 3000)";
  EXPECT_EQ(map.TickToMs(250, 0, 1, 0), 650u) << "the last point added wins from the end";
}

}  // namespace
