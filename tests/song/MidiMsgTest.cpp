// The event record: inline or heap data, copies and moves.
#include "song/MidiMsg.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>
#include <vector>

namespace {

std::vector<uint8_t> Counting(uint32_t n) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), uint8_t{1});
  return bytes;
}

bool PointsInside(const CMidiMsg& msg, const uint8_t* p) {
  auto* begin = reinterpret_cast<const uint8_t*>(&msg);
  return p >= begin && p < begin + sizeof msg;
}

TEST(MidiMsg, KeepsUpToTwentyBytesInlineAndMoreOnTheHeap) {
  struct Case {
    uint32_t length;
    bool inlineData;
  };
  const Case cases[] = {{0, true}, {3, true}, {20, true}, {21, false}, {300, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::vector<uint8_t> bytes = Counting(c.length);
    CMidiMsg msg(480, 960, c.length, bytes.data(), 7);
    EXPECT_EQ(msg.GetLength(), c.length);
    EXPECT_EQ(PointsInside(msg, msg.GetData()), c.inlineData);
    EXPECT_EQ(std::vector<uint8_t>(msg.GetData(), msg.GetData() + c.length), bytes);
    if (c.length > 0) {
      EXPECT_EQ(msg.GetByte(c.length - 1), bytes.back());
    }
    EXPECT_EQ(msg.GetTick(), 480u);
    EXPECT_EQ(msg.GetEndTick(), 960u);
    EXPECT_EQ(msg.GetExtra(), 7u);
  }
}

TEST(MidiMsg, CopiesOwnTheirHeapData) {
  std::vector<uint8_t> bytes = Counting(25);
  CMidiMsg original(1, 2, 25, bytes.data(), 0);
  CMidiMsg copy(original);
  EXPECT_NE(copy.GetData(), original.GetData());
  copy.GetData()[0] = 0xEE;
  EXPECT_EQ(original.GetByte(0), 1);

  CMidiMsg assigned(0, 0, 2, bytes.data(), 0);
  assigned = original;
  EXPECT_EQ(assigned.GetLength(), 25u);
  EXPECT_EQ(assigned.GetByte(24), 25);
  EXPECT_NE(assigned.GetData(), original.GetData());
}

TEST(MidiMsg, MovingLeavesTheSourceEmpty) {
  std::vector<uint8_t> bytes = Counting(30);
  CMidiMsg source(5, 6, 30, bytes.data(), 9);
  const uint8_t* heap = source.GetData();
  CMidiMsg moved(std::move(source));
  EXPECT_EQ(moved.GetData(), heap);
  EXPECT_EQ(moved.GetExtra(), 9u);
  EXPECT_EQ(source.GetLength(), 0u);  // NOLINT(bugprone-use-after-move)
}

}  // namespace
