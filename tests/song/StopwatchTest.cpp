// The step stopwatch over a manual clock.
#include "song/Stopwatch.h"

#include <gtest/gtest.h>

#include "platform/sys/Clock.h"

namespace {

TEST(Stopwatch, AccumulatesEveryStartStopPair) {
  platform::ManualClock clock;
  platform::ScopedClock scope(clock);
  clock.Set(5000);
  CStopwatch watch("checkMidiList");
  EXPECT_EQ(watch.GetName(), "checkMidiList");
  EXPECT_EQ(watch.GetCreationTick(), 5000u);
  EXPECT_EQ(watch.GetAccumulated(), 0u);
  clock.Advance(10);
  EXPECT_EQ(watch.Start(), 5010u);
  clock.Advance(30);
  watch.Stop();
  clock.Advance(100);  // not running
  watch.Start();
  clock.Advance(12);
  watch.Stop();
  EXPECT_EQ(watch.GetAccumulated(), 42u);
  watch.ClearCreationTick();
  EXPECT_EQ(watch.GetCreationTick(), 0u);
}

TEST(Stopwatch, SurvivesTheTickCountWrapping) {
  platform::ManualClock clock;
  platform::ScopedClock scope(clock);
  clock.Set(0xFFFFFFF0u);
  CStopwatch watch("mMidiList.AddItem");
  watch.Start();
  clock.Advance(0x20);
  watch.Stop();
  EXPECT_EQ(watch.GetAccumulated(), 0x20u);
}

}  // namespace
