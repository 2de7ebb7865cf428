// The stream-PCM slot's wave block.
#include "song/WaveBlock.h"

#include <gtest/gtest.h>

namespace {

TEST(WaveBlock, StartsEmptyAndFreesItsData) {
  CWaveBlock w;
  for (int i = 0; i < CWaveBlock::kHeaderWords; ++i) EXPECT_EQ(w.GetEmbeddedObject()[i], 0u);
  EXPECT_EQ(w.GetSize(), 0u);
  EXPECT_EQ(w.GetData(), nullptr);
  EXPECT_EQ(w.GetWord(1), 0u);
  const uint8_t bytes[] = {1, 2, 3};
  w.SetData(bytes, 3);
  EXPECT_EQ(w.GetSize(), 3u);
  w.FreeData();
  EXPECT_EQ(w.GetSize(), 0u);
  EXPECT_EQ(w.GetData(), nullptr);
}

TEST(WaveBlock, CopiesHeaderDataAndWords) {
  CWaveBlock a;
  const uint8_t bytes[] = {4, 5};
  a.SetData(bytes, 2);
  a.GetEmbeddedObject()[5] = 9;
  a.SetWord(1, 77);
  a.SetAttribute(0xBEEF);
  CWaveBlock b;
  b = a;
  EXPECT_NE(b.GetData(), a.GetData());
  EXPECT_EQ(b.GetData()[1], 5);
  EXPECT_EQ(b.GetEmbeddedObject()[5], 9u);
  EXPECT_EQ(b.GetWord(1), 77u);
  EXPECT_TRUE(b.HoldsSameData(a));
  b.SetAttribute(1);
  EXPECT_FALSE(b.HoldsSameData(a));
}

}  // namespace
