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

TEST(PtrChain, InsertAtOneMakesTheHeadAndKeepsTheTail) {
  CPtrChain list;
  list.AddTail(1);
  list.AddTail(2);
  list.AddTail(3);
  list.InsertAt(1, 0);
  list.AddTail(4);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{0, 1, 2, 3, 4}));
}

TEST(PtrChain, InsertAtOutOfRangeAppendsAsTheTail) {
  for (int32_t position : {0, -3, 4, 99}) {
    SCOPED_TRACE(position);
    CPtrChain list;
    list.AddTail(1);
    list.AddTail(2);
    list.InsertAt(position, 7);
    list.AddTail(8);
    EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{1, 2, 7, 8}));
    EXPECT_EQ(list.GetCount(), 4);
  }
}

TEST(PtrChain, InsertIntoAnEmptyListMakesHeadAndTail) {
  CPtrChain list;
  list.InsertAt(5, 3);
  list.AddTail(4);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{3, 4}));
}

TEST(PtrChain, InsertAfterARemovedTailWalksToTheEnd) {
  CPtrChain list;
  list.AddTail(1);
  list.AddTail(2);
  list.Remove(2);
  list.InsertAt(0, 5);
  list.AddTail(6);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{1, 5, 6}));
}

TEST(PtrChain, RemoveTakesTheFirstMatchOnly) {
  CPtrChain list;
  for (CPtrChain::Value v : {5, 6, 5, 7}) list.AddTail(v);
  list.Remove(5);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{6, 5, 7}));
  list.Remove(42);  // absent: nothing happens
  EXPECT_EQ(list.GetCount(), 3);
  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_TRUE(Values(list).empty());
  list.AddTail(1);
  EXPECT_EQ(Values(list), (std::vector<CPtrChain::Value>{1}));
}

TEST(PtrChain, GetAtIndexTable) {
  CPtrChain list;
  list.AddTail(10);
  list.AddTail(20);
  list.AddTail(30);
  struct Case {
    int32_t index;
    bool found;
    CPtrChain::Value value;
  };
  const Case cases[] = {{1, true, 10}, {3, true, 30}, {-1, true, 30}, {-7, true, 30},
                        {0, false, 0}, {4, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    CPtrChain::Value v = 0;
    EXPECT_EQ(list.GetAt(c.index, v), c.found);
    if (c.found) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(PtrChain, HoldsPointerSizedValues) {
  int object = 0;
  CPtrChain list;
  list.AddTail(reinterpret_cast<CPtrChain::Value>(&object));
  CPtrChain::Value v = 0;
  ASSERT_TRUE(list.GetAt(1, v));
  EXPECT_EQ(reinterpret_cast<int*>(v), &object);
  static_assert(sizeof(CPtrChain::Value) == sizeof(void*));
}

TEST(PtrChainIter, ResetStartsAgainFromTheHead) {
  CPtrChain list;
  list.AddTail(1);
  list.AddTail(2);
  CPtrChainIter it(list);
  CPtrChain::Value v = 0;
  ASSERT_TRUE(it.Next(v));
  ASSERT_TRUE(it.Next(v));
  EXPECT_FALSE(it.Next(v));
  it.Reset();
  ASSERT_TRUE(it.Next(v));
  EXPECT_EQ(v, 1u);
}

}  // namespace
