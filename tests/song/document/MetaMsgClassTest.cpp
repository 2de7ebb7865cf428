// Classes of the song's tempo, marker, time-signature, device and note messages.
#include <gtest/gtest.h>

#include <vector>

#include "song/MidiMsg.h"
#include "song/document/MetaMsgClass.h"
#include "song/document/TempoTable.h"

namespace {

TEST(ClassifyMetaMsg, TableOfMessages) {
  struct Case {
    std::vector<uint8_t> bytes;
    int expected;
  };
  const Case cases[] = {
      {{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 1},
      {{0xFF, 0x51, 0x03}, 1},
      {{0xFF, 0x51}, 0},
      {{0xFF, 0x06, 0x03, 'Q', '0', 'F'}, 5},
      {{0xFF, 0x06, 0x03, 'Q', '0', '0'}, 4},
      {{0xFF, 0x06, 0x03, 'Q', '0', 'G'}, 0},
      {{0xFF, 0x06, 0x04, 'Q', '0', 'F', 'X'}, 0},
      {{0xFF, 0x58, 0x04, 4, 2, 24, 8}, 10},
      {{0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x0B, 1, 0, 0, 0xF7}, 6},
      {{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 100, 0xF7}, 7},
      {{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x08, 0, 0xF7}, 2},
      {{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7D, 0x10, 0, 0xF7}, 3},
      {{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x09, 0, 0xF7}, 0},
      {{0xF0, 0x07, 0x7D, 0x79, 0x06, 0x7F, 0x00, 0, 0xF7}, 0},
      {{0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F}, 0},
      {{0x90, 0x3C, 0x00}, 8},
      {{0x9F}, 8},
      {{0x80, 0x3C, 0x00}, 0},
      {{}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyMetaMsg(c.bytes.data(), static_cast<uint32_t>(c.bytes.size())), c.expected)
        << "first byte " << (c.bytes.empty() ? -1 : c.bytes[0]) << " length " << c.bytes.size();
  }
  const uint8_t note[] = {0x91, 60, 1};
  EXPECT_EQ(ClassifyMetaMsg(CMidiMsg(0, 0, 3, note, 0)), 8);
}

TEST(TempoTable, FallsStrictlyFrom1092To9ThenZero) {
  const auto& t = TempoTable();
  ASSERT_EQ(t.size(), 84u);
  EXPECT_EQ(t[0], 1092);
  EXPECT_EQ(t[1], 728);
  EXPECT_EQ(t[2], 546);
  EXPECT_EQ(t[3], 437);
  EXPECT_EQ(t[4], 416);
  EXPECT_EQ(t[5], 396);
  EXPECT_EQ(t[6], 377);
  EXPECT_EQ(t[79], 12);
  EXPECT_EQ(t[80], 11);
  EXPECT_EQ(t[81], 10);
  EXPECT_EQ(t[82], 9);
  EXPECT_EQ(t[83], 0);
  for (int i = 0; i + 1 < kTempoTableSize; ++i) EXPECT_GT(t[i], t[i + 1]) << i;
}

}  // namespace
