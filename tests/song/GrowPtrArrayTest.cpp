// The growable pointer array.
#include "song/GrowPtrArray.h"

#include <gtest/gtest.h>

namespace {

void* P(uintptr_t v) { return reinterpret_cast<void*>(v); }

TEST(GrowPtrArray, HundredAndFirstPointerGrowsTo200) {
  CGrowPtrArray array(100);
  for (uintptr_t i = 1; i <= 100; ++i) EXPECT_EQ(array.Add(P(i)), i);
  EXPECT_EQ(array.GetCapacity(), 100u);
  EXPECT_EQ(array.Add(P(101)), 101u);
  EXPECT_EQ(array.GetCapacity(), 200u);
  EXPECT_EQ(array.GetAt(0), P(1));
  EXPECT_EQ(array.GetAt(100), P(101));
  EXPECT_EQ(array.GetAt(101), nullptr);
}

TEST(GrowPtrArray, RemoveAtClosesTheGapAndIgnoresOtherIndexes) {
  CGrowPtrArray array(0);
  for (uintptr_t i = 1; i <= 4; ++i) array.Add(P(i));
  array.RemoveAt(4);
  array.RemoveAt(-1);
  EXPECT_EQ(array.GetCount(), 4u);
  array.RemoveAt(1);
  ASSERT_EQ(array.GetCount(), 3u);
  EXPECT_EQ(array.GetAt(0), P(1));
  EXPECT_EQ(array.GetAt(1), P(3));
  EXPECT_EQ(array.GetAt(2), P(4));
  array.RemoveAll();
  EXPECT_EQ(array.GetCount(), 0u);
  EXPECT_EQ(array.GetAt(0), nullptr);
}

}  // namespace
