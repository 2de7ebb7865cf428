// Insertion into the pointer vector.
#include "song/PtrVector.h"

#include <gtest/gtest.h>

namespace {

void* P(uintptr_t v) { return reinterpret_cast<void*>(v); }

TEST(PtrVector, InsertMovesLaterEntriesUp) {
  CPtrVector v(2);
  v.InsertAt(0, P(1));  // at the count: appended
  v.InsertAt(5, P(3));
  EXPECT_EQ(v.InsertAt(1, P(2)), 3u);
  EXPECT_EQ(v.InsertAt(0, P(0)), 4u);
  for (uintptr_t i = 0; i < 4; ++i) EXPECT_EQ(v.GetAt(static_cast<uint32_t>(i)), P(i));
  EXPECT_EQ(v.InsertAt(-3, P(9)), 5u);  // a negative index appends
  EXPECT_EQ(v.GetAt(4), P(9));
}

TEST(PtrVector, InsertGrowsWhenTheArrayWouldFill) {
  CPtrVector v(3);
  v.InsertAt(0, P(1));
  v.InsertAt(1, P(2));
  EXPECT_EQ(v.GetCapacity(), 3u);
  v.InsertAt(0, P(0));  // count + 1 reaches the capacity: grows by 100 first
  EXPECT_EQ(v.GetCapacity(), 103u);
  EXPECT_EQ(v.GetAt(2), P(2));
}

}  // namespace
