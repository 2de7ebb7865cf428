// The fake MIDI backend that the thru, engine and board tests drive: its log, answers and
// failures, and the input rules every backend shares (forwarding, nothing after close).
#include "platform/midi/testing/FakeMidiBackend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using ::testing::ElementsAre;
using Message = std::vector<uint8_t>;

class FakeMidiBackendTest : public ::testing::Test {
 protected:
  platform::FakeMidiBackend backend{{"Out A", "Out B"}, {"In A", "In B"}};
  std::mutex mutex;
  std::vector<Message> received;

  platform::MidiCallback Collect() {
    return [this](const uint8_t* d, size_t n) {
      std::lock_guard<std::mutex> lock(mutex);
      received.emplace_back(d, d + n);
    };
  }
};

using FakeMidiBackend = FakeMidiBackendTest;
using MidiInputDispatch = FakeMidiBackendTest;
using MidiOutput = FakeMidiBackendTest;

TEST_F(FakeMidiBackend, LogsOpensSendsConnectsAndCloses) {
  auto out = backend.OpenOutput(1);
  auto in = backend.OpenInput(0, nullptr);
  ASSERT_TRUE(out && in);
  EXPECT_EQ(out->Name(), "Out B");
  EXPECT_TRUE(out->Send({0x90, 0x3C, 0x40}));
  EXPECT_TRUE(in->Connect(out));
  EXPECT_TRUE(in->Disconnect());
  in->Close();
  out->Close();
  out->Close();
  EXPECT_FALSE(out->Send({0x80, 0x3C, 0x00}));
  EXPECT_THAT(backend.Log(), ElementsAre("open out 1", "open in 0", "send out 1: 90 3C 40", "connect in 0 -> out 1",
                                         "disconnect in 0", "close in 0", "close out 1"));
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(backend.OpenInputCount(), 0);
}

TEST_F(FakeMidiBackend, FailsOpensAndConnectsOnDemand) {
  backend.FailOpenOutput(0);
  backend.FailOpenInput(1);
  EXPECT_EQ(backend.OpenOutput(0), nullptr);
  EXPECT_EQ(backend.OpenInput(1, nullptr), nullptr);
  EXPECT_EQ(backend.OpenOutput(2), nullptr) << "no such device";
  backend.FailConnect(true);
  auto out = backend.OpenOutput(1);
  auto in = backend.OpenInput(0, nullptr);
  EXPECT_FALSE(in->Connect(out));
  EXPECT_THAT(backend.Log(), ElementsAre("open out 0 failed", "open in 1 failed", "open out 2 failed", "open out 1",
                                         "open in 0", "connect in 0 -> out 1 failed"));
}

TEST_F(FakeMidiBackend, AnswersAtOnceAndFromAThread) {
  backend.AddAnswer({{0xF0, 0x43, 0x79, 0x06, 0x7E, 0x04}, 1, {0xF0, 0x01, 0xF7}, false, 0});
  backend.AddAnswer({{0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05}, 1, {0xF0, 0x02, 0xF7}, true, 5});
  auto out = backend.OpenOutput(0);
  auto in = backend.OpenInput(1, Collect());
  out->Send({0xF0, 0x43, 0x79, 0x06, 0x7E, 0x04, 0xF7});
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_THAT(received, ElementsAre(Message{0xF0, 0x01, 0xF7}));
  }
  out->Send({0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05, 0xF7});
  out->Send({0xF0, 0x43, 0x79, 0x06, 0x7E, 0x06, 0xF7});
  backend.WaitForThreads();
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_THAT(received, ElementsAre(Message{0xF0, 0x01, 0xF7}, Message{0xF0, 0x02, 0xF7}));
}

TEST_F(MidiInputDispatch, ForwardsEveryMessageInOrderWhileConnected) {
  auto out = backend.OpenOutput(0);
  auto in = backend.OpenInput(1, Collect());
  EXPECT_TRUE(backend.Feed(1, {0x90, 0x40, 0x7F}));
  ASSERT_TRUE(in->Connect(out));
  const std::vector<Message> played = {{0xB0, 0x07, 0x64}, {0xC0, 0x05}, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}};
  for (const Message& m : played) EXPECT_TRUE(backend.Feed(1, m));
  in->Disconnect();
  backend.Feed(1, {0x80, 0x40, 0x00});
  EXPECT_EQ(backend.Sent(0), played);
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(received.size(), 5u) << "the callback runs whether or not the input forwards";
}

TEST_F(MidiInputDispatch, NothingArrivesOnceCloseHasReturned) {
  std::atomic<int> calls{0};
  std::atomic<bool> inside{false};
  auto in = backend.OpenInput(0, [&](const uint8_t*, size_t) {
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++calls;
    inside = false;
  });
  for (int i = 0; i < 50; ++i) backend.FeedFromThread(0, {0xF8}, i);
  while (calls == 0) std::this_thread::yield();
  in->Close();
  EXPECT_FALSE(inside.load());
  int atClose = calls;
  backend.WaitForThreads();
  EXPECT_EQ(calls.load(), atClose);
  EXPECT_FALSE(backend.Feed(0, {0xF8}));
  EXPECT_FALSE(in->Connect(backend.OpenOutput(0))) << "a closed input connects nothing";
}

TEST_F(MidiOutput, ResetSendsAllNotesOffAndAllSoundOffOnEveryChannel) {
  auto out = backend.OpenOutput(0);
  EXPECT_TRUE(out->Reset());
  std::vector<Message> sent = backend.Sent(0);
  ASSERT_EQ(sent.size(), 32u);
  for (uint8_t ch = 0; ch < 16; ++ch) {
    EXPECT_EQ(sent[ch * 2u], (Message{static_cast<uint8_t>(0xB0 | ch), 123, 0}));
    EXPECT_EQ(sent[ch * 2u + 1], (Message{static_cast<uint8_t>(0xB0 | ch), 120, 0}));
  }
  out->Close();
  EXPECT_FALSE(out->Reset());
}

}  // namespace
