// The posting rules of the notification sink, through the fake that keeps them.
#include "platform/host/NotifySink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/host/HostServices.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using platform::FakeNotifySink;
using platform::RecordedPost;

TEST(NotifySink, CoalescedPostIsDroppedWhileOneOfItsKindWaits) {
  FakeNotifySink sink;
  EXPECT_TRUE(sink.Post(platform::kWmPlayPosition, 8, 0, true));
  EXPECT_TRUE(sink.IsPending(platform::kWmPlayPosition));
  EXPECT_FALSE(sink.Post(platform::kWmPlayPosition, 8, 1, true));
  // Other kinds and uncoalesced posts go through meanwhile.
  EXPECT_TRUE(sink.Post(platform::kWmPlaySecond, 10, 0, true));
  EXPECT_TRUE(sink.Post(platform::kWmPlayPosition, 8, 2));
  std::vector<RecordedPost> taken = sink.TakeAll();
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken[0], (RecordedPost{platform::kWmPlayPosition, 8, 0}));
  EXPECT_EQ(taken[2], (RecordedPost{platform::kWmPlayPosition, 8, 2}));
  EXPECT_FALSE(sink.IsPending(platform::kWmPlayPosition));
  EXPECT_TRUE(sink.Post(platform::kWmPlayPosition, 8, 3, true));
  EXPECT_EQ(sink.PostsOf(platform::kWmPlayPosition).size(), 3u);
}

TEST(NotifySink, PostsWithoutAMainWindowAreDropped) {
  FakeNotifySink sink;
  sink.Post(platform::kWmBoardMonitor, 1, 0, true);
  sink.SetMainWindow(false);
  EXPECT_FALSE(sink.IsPending(platform::kWmBoardMonitor)) << "the waiting message went with the window";
  EXPECT_FALSE(sink.PostCommand(platform::kStopCommand));
  EXPECT_FALSE(sink.Post(platform::kWmBoardEvent, 9, 0));
  EXPECT_EQ(sink.Posts().size(), 1u);
  sink.SetMainWindow(true);
  EXPECT_TRUE(sink.Post(platform::kWmBoardMonitor, 1, 0, true));
}

TEST(NotifySink, CommandsAreNeverCoalesced) {
  FakeNotifySink sink;
  EXPECT_TRUE(sink.PostCommand(platform::kStopCommand));
  EXPECT_TRUE(sink.Post(platform::kWmCommand, platform::kStopCommand, 0, true));
  std::vector<RecordedPost> posts = sink.Posts();
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[0], (RecordedPost{platform::kWmCommand, platform::kStopCommand, 0}));
}

TEST(NotifySink, ManyThreadsLeaveOneCoalescedPostWaiting) {
  FakeNotifySink sink;
  std::atomic<int> accepted{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i)
        if (sink.Post(platform::kWmPlayPosition, 8, i, true)) ++accepted;
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(accepted.load(), 1);
  EXPECT_EQ(sink.TakeAll().size(), 1u);
}

TEST(NotifySink, HostDefaultHasNoMainWindowAndFakeHostInstallsItsSink) {
  EXPECT_FALSE(platform::notify().PostCommand(platform::kStopCommand));
  platform::FakeHost host;
  ASSERT_EQ(&platform::notify(), &host.notify);
  EXPECT_TRUE(platform::notify().PostCommand(platform::kStopCommand));
  EXPECT_TRUE(host.notify.WaitForPosts(1, 0));
}

}  // namespace
