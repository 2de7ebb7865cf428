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

TEST(TempoTable, HoldsEveryTempoAFileCanHoldThenZero) {
  // The tempos of the tempo bytes 1 to 255 from 1092 down to 47, then every integer to 9.
  std::vector<int> expected = {1092, 728, 546, 437, 364, 312, 273, 243, 218, 199, 182, 168, 156,
                               146,  137, 129, 121, 115, 109, 104, 99,  95,  91,  87,  84,  81,
                               78,   75,  73,  70,  68,  66,  64,  62,  61,  59,  57,  56,  55,
                               53,   52,  51,  50,  49};
  for (int tempo = 47; tempo >= 9; --tempo) expected.push_back(tempo);
  expected.push_back(0);
  const auto& t = TempoTable();
  ASSERT_EQ(expected.size(), 84u);
  EXPECT_EQ(std::vector<int>(t.begin(), t.end()), expected);
}

}  // namespace
