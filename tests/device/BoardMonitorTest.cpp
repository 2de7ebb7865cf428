// Tests of the serial board's monitor: its rounds on a manual clock and its thread.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>

#include "device/AppPlayState.h"
#include "device/BoardMonitor.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/sys/Clock.h"

namespace {

using platform::RecordedPost;

class BoardMonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock.Set(1000);
    appPlayState().suppressPositionPosts = false;
  }
  void TearDown() override { appPlayState().suppressPositionPosts = false; }

  /// Status answers in turn (a negative one fails the poll); handshakes answer `handshakeOk`.
  BoardMonitorPolls Polls() {
    BoardMonitorPolls polls;
    polls.queryStatus = [this](uint32_t* value) {
      ++queries;
      const int answer = statuses.empty() ? 0 : statuses.front();
      if (!statuses.empty()) statuses.pop_front();
      if (answer < 0) return 0;
      *value = static_cast<uint32_t>(answer);
      return 1;
    };
    polls.handshake = [this](char answer[2]) {
      ++handshakes;
      answer[0] = '1';
      answer[1] = '2';
      return handshakeOk ? 1 : 0;
    };
    return polls;
  }

  platform::FakeNotifySink sink;
  platform::ManualClock clock;
  platform::ScopedClock useClock{clock};
  std::deque<int> statuses;
  bool handshakeOk = true;
  int queries = 0;
  int handshakes = 0;
};

TEST_F(BoardMonitorTest, PollsOnlyAfterThePeriodInTheModeOfItsFlags) {
  CBoardMonitor monitor(300000, Polls(), &sink, false);
  EXPECT_TRUE(monitor.Round());
  clock.Advance(300000);
  EXPECT_TRUE(monitor.Round());
  EXPECT_EQ(handshakes, 0) << "the poll comes once the period has passed";
  clock.Advance(1);
  EXPECT_TRUE(monitor.Round());
  EXPECT_EQ(handshakes, 1);
  EXPECT_THAT(sink.Posts(), ::testing::IsEmpty()) << "a good handshake posts nothing";

  monitor.SetFlags(CBoardMonitor::kStatusMode);
  monitor.SetPeriod(20);
  clock.Advance(21);
  statuses = {7};
  EXPECT_TRUE(monitor.Round());
  EXPECT_EQ(queries, 1);
  EXPECT_EQ(monitor.GetParam(), 7u);
  monitor.ClearFlags(CBoardMonitor::kStatusMode);
  EXPECT_EQ(monitor.GetFlags(), 0u);
}

TEST_F(BoardMonitorTest, NewValuesCarryTheMonitorAndTheSixthRepeatCarriesNone) {
  CBoardMonitor monitor(20, Polls(), &sink, false);
  monitor.SetFlags(CBoardMonitor::kStatusMode);
  statuses = {5, 5, 5, 5, 5, 5, 5, 9};
  for (int i = 0; i < 8; ++i) {
    clock.Advance(21);
    EXPECT_TRUE(monitor.Round());
  }
  const auto self = reinterpret_cast<intptr_t>(&monitor);
  const uint32_t m = platform::kWmBoardMonitor;
  EXPECT_THAT(sink.Posts(), ::testing::ElementsAre(RecordedPost{m, 1, self}, RecordedPost{m, 1, self},
                                                    RecordedPost{m, 1, self}, RecordedPost{m, 1, self},
                                                    RecordedPost{m, 1, self}, RecordedPost{m, 1, 0},
                                                    RecordedPost{m, 1, 0}, RecordedPost{m, 1, self}));
  EXPECT_EQ(monitor.GetParam(), 9u);
}

TEST_F(BoardMonitorTest, SuppressionFlagHoldsBackNormalReportsOnly) {
  CBoardMonitor monitor(20, Polls(), &sink, false);
  monitor.SetFlags(CBoardMonitor::kStatusMode);
  appPlayState().suppressPositionPosts = true;
  statuses = {3};
  clock.Advance(21);
  EXPECT_TRUE(monitor.Round());
  EXPECT_THAT(sink.Posts(), ::testing::IsEmpty());
  EXPECT_EQ(monitor.GetParam(), 3u) << "the value is stored all the same";
  statuses = {-1};
  clock.Advance(21);
  EXPECT_FALSE(monitor.Round());
  EXPECT_THAT(sink.Posts(), ::testing::ElementsAre(RecordedPost{platform::kWmBoardMonitor, 0,
                                                                reinterpret_cast<intptr_t>(&monitor)}));
}

TEST_F(BoardMonitorTest, FailedPollPostsZeroAndEndsTheThread) {
  handshakeOk = false;
  CBoardMonitor monitor(0, Polls(), &sink);
  for (int i = 0; i < 200 && monitor.IsRunning(); ++i) {
    clock.Advance(10);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(monitor.IsRunning());
  EXPECT_TRUE(monitor.IsAlive()) << "the thread ended by itself, not by Terminate";
  EXPECT_THAT(sink.Posts(), ::testing::ElementsAre(RecordedPost{platform::kWmBoardMonitor, 0,
                                                                reinterpret_cast<intptr_t>(&monitor)}));
}

TEST_F(BoardMonitorTest, TerminateReturnsPromptly) {
  platform::SteadyClock steady;
  platform::ScopedClock useSteady(steady);
  auto monitor = std::make_unique<CBoardMonitor>(CBoardMonitor::kIdlePeriodMs, Polls(), &sink);
  EXPECT_TRUE(monitor->IsRunning());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const auto start = std::chrono::steady_clock::now();
  monitor->Terminate();
  EXPECT_FALSE(monitor->IsAlive());
  monitor.reset();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(500));
  EXPECT_EQ(handshakes, 0) << "no poll before the idle period";
}

}  // namespace
