// The tick count and its replaceable clock.
#include "platform/sys/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(Clock, SteadyTicksNeverGoBack) {
  uint32_t first = platform::GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  uint32_t second = platform::GetTickCount();
  EXPECT_GE(static_cast<uint32_t>(second - first), 4u);
  EXPECT_LT(static_cast<uint32_t>(second - first), 60000u);
}

TEST(Clock, ScopedClockInstallsAndRestores) {
  platform::ManualClock manual;
  manual.Set(1000);
  {
    platform::ScopedClock scope(manual);
    EXPECT_EQ(platform::GetTickCount(), 1000u);
    manual.Advance(250);
    EXPECT_EQ(platform::GetTickCount(), 1250u);
  }
  EXPECT_NE(&platform::clock(), &manual);
}

TEST(Clock, SleepOnAManualClockMovesItWithoutWaiting) {
  platform::ManualClock manual;
  manual.Set(500);
  platform::ScopedClock scope(manual);
  for (int i = 0; i < 6000; ++i) platform::SleepMs(10);
  EXPECT_EQ(platform::GetTickCount(), 60500u);
}

TEST(Clock, ManualClockTakesMovesFromSeveralThreads) {
  platform::ManualClock manual;
  std::thread other([&] {
    for (int i = 0; i < 10000; ++i) manual.Advance(1);
  });
  for (int i = 0; i < 10000; ++i) manual.Sleep(1);
  other.join();
  EXPECT_EQ(manual.NowMs(), 20000u);
}

}  // namespace
