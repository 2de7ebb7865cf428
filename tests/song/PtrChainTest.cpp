// The list's index rules and its tail hint.
#include "song/PtrChain.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<CPtrChain::Value> Values(const CPtrChain& list) {
  std::vector<CPtrChain::Value> out;
  CPtrChainIter it(list);
  CPtrChain::Value v;
  while (it.Next(v)) out.push_back(v);
  return out;
}

TEST(PtrChain, RemovingTheTailThenAddingWalksFromTheHead) {
  CPtrChain list;
  list.AddTail(1);
  list.AddTail(2);
  list.AddTail(3);
  list.Remove(3);
  list.AddTail(4);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{1, 2, 4}));
  CPtrChain::Value v = 0;
  ASSERT_TRUE(list.GetAt(-1, v));
  EXPECT_EQ(v, 4u);
}

TEST(PtrChain, InsertAtPositions) {
  CPtrChain list;
  list.AddTail(1);
  list.InsertAt(2, 2);
  list.InsertAt(1, 0);
  list.InsertAt(0, 9);
  list.InsertAt(3, 5);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{0, 1, 5, 2, 9}));
  EXPECT_EQ(list.GetCount(), 5);
  list.AddTail(10);
  EXPECT_EQ(Values(list).back(), 10u);
}

TEST(PtrChain, GetAtBounds) {
  CPtrChain list;
  CPtrChain::Value v = 0;
  EXPECT_FALSE(list.GetAt(1, v));
  list.AddTail(7);
  list.AddTail(8);
  EXPECT_FALSE(list.GetAt(0, v));
  EXPECT_FALSE(list.GetAt(3, v));
  ASSERT_TRUE(list.GetAt(2, v));
  EXPECT_EQ(v, 8u);
}

}  // namespace
