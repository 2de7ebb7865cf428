// Tests of the Qt side of the notification sink: posts from other threads reach the main
// window's handler on the user-interface thread, coalesced as the core rules say.
#include "uikit/QtNotifySink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <thread>
#include <vector>

namespace {

using platform::kWmPlayPosition;
using platform::kWmPlaySecond;

struct Taken {
  uint32_t message;
  intptr_t wParam;
  intptr_t lParam;
  bool onGuiThread;
};

class QtNotifySinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sink.Attach([this](uint32_t m, intptr_t w, intptr_t l) {
      taken.push_back({m, w, l, QThread::currentThread() == QCoreApplication::instance()->thread()});
    });
  }
  ui::QtNotifySink sink;
  std::vector<Taken> taken;
};

TEST_F(QtNotifySinkTest, PostsFromAnotherThreadReachTheHandlerOnTheGuiThread) {
  std::thread worker([this] {
    sink.Post(kWmPlayPosition, 8, 42, true);
    sink.PostCommand(1391);
  });
  worker.join();
  EXPECT_TRUE(taken.empty());  // nothing runs until the event loop takes it
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].message, kWmPlayPosition);
  EXPECT_EQ(taken[0].wParam, 8);
  EXPECT_EQ(taken[0].lParam, 42);
  EXPECT_TRUE(taken[0].onGuiThread);
  EXPECT_EQ(taken[1].message, platform::kWmCommand);
  EXPECT_EQ(taken[1].wParam, 1391);
}

TEST_F(QtNotifySinkTest, AFloodLeavesOneWaitingAndTheNextPostAfterTakingGoesThrough) {
  std::thread worker([this] {
    for (int i = 0; i < 1000; ++i) sink.Post(kWmPlayPosition, 8, i, true);
  });
  worker.join();
  EXPECT_TRUE(sink.IsPending(kWmPlayPosition));
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].lParam, 0);  // the first one waited; the rest were dropped
  EXPECT_FALSE(sink.IsPending(kWmPlayPosition));
  EXPECT_TRUE(sink.Post(kWmPlayPosition, 8, 7, true));
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[1].lParam, 7);
}

TEST_F(QtNotifySinkTest, APostMadeWhileTheHandlerRunsWaitsForTheNextTurn) {
  ui::QtNotifySink reentrant;
  int calls = 0;
  reentrant.Attach([&](uint32_t, intptr_t, intptr_t) {
    if (++calls == 1) {
      EXPECT_TRUE(reentrant.Post(kWmPlayPosition, 8, 2, true));
    }
  });
  reentrant.Post(kWmPlayPosition, 8, 1, true);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(calls, 2);
}

TEST_F(QtNotifySinkTest, RemovePostedDropsAWaitingMessage) {
  sink.Post(kWmPlaySecond, 10, 0, false);
  sink.Post(kWmPlaySecond, 10, 0, false);
  sink.Post(kWmPlayPosition, 8, 0, true);
  sink.RemovePosted(kWmPlaySecond);
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].message, kWmPlayPosition);
}

TEST_F(QtNotifySinkTest, DetachedSinkDropsPostsAndForgetsWaitingOnes) {
  sink.Post(kWmPlayPosition, 8, 1, true);
  sink.Detach();
  EXPECT_FALSE(sink.IsPending(kWmPlayPosition));
  EXPECT_FALSE(sink.Post(kWmPlayPosition, 8, 2, true));
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(taken.empty());
}

}  // namespace
