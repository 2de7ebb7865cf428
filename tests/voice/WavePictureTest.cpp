// The wave pictures' columns and point columns.
#include "voice/WavePicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace voiceedit;

TEST(WavePicture, ColumnsTakeMinimumAndMaximumOfTheirRange) {
  const std::vector<int16_t> s = {0, 32767, -32768, 0};
  const auto cols = WaveColumns(s.data(), 4, 2, 100);
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[0].top, 0);       // max 32767
  EXPECT_EQ(cols[0].bottom, 51);   // min 0
  EXPECT_EQ(cols[1].top, 50);      // max 0
  EXPECT_EQ(cols[1].bottom, 101);  // min -32768
}

TEST(WavePicture, FewerSamplesThanColumnsDrawEachSample) {
  const std::vector<int16_t> s = {16384, -16384};
  const auto cols = WaveColumns(s.data(), 2, 5, 100);
  ASSERT_EQ(cols.size(), 5u);
  // Columns 0..2 start at sample 0, 3..4 at sample 1; none is left empty.
  for (int x : {0, 1, 2}) {
    EXPECT_EQ(cols[static_cast<size_t>(x)].top, 25);
    EXPECT_EQ(cols[static_cast<size_t>(x)].bottom, 26);
  }
  EXPECT_EQ(cols[4].top, 75);
  EXPECT_TRUE(WaveColumns(s.data(), 0, 5, 100).empty());
}

TEST(WavePicture, ColumnOfSample) {
  EXPECT_EQ(ColumnOfSample(0, 1000, 100), 0);
  EXPECT_EQ(ColumnOfSample(9, 1000, 100), 0);
  EXPECT_EQ(ColumnOfSample(10, 1000, 100), 1);
  EXPECT_EQ(ColumnOfSample(999, 1000, 100), 99);
  EXPECT_EQ(ColumnOfSample(1000, 1000, 100), -1);
  EXPECT_EQ(ColumnOfSample(1, 2, 5), 4);
}

TEST(WavePicture, SamplesFromBigEndian) {
  const uint8_t b[] = {0x12, 0x34, 0xFF, 0x00, 0x7F};
  EXPECT_EQ(SamplesFromBigEndian(b, 5), (std::vector<int16_t>{0x1234, -256}));
}

}  // namespace
