// Typed chunk lists, their iterators and the owning list.
#include "velk/ChunkList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Counted {
  explicit Counted(int v) : value(v) { ++alive; }
  ~Counted() { --alive; }
  int value;
  static int alive;
};
int Counted::alive = 0;

TEST(ChunkList, TypedWrappersKeepTheListRules) {
  Counted a(1), b(2), c(3);
  TChunkList<Counted> list;
  list.AddItem(&a);
  list.AddItem(&b);
  list.AddItem(&c);
  EXPECT_EQ(list.GetItem(2), &b);
  EXPECT_EQ(list.GetItem(-1), &c);
  EXPECT_EQ(list.GetItem(0), nullptr);
  EXPECT_EQ(list.GetItem(4), nullptr);
  list.RemoveItem(&b);
  std::vector<int> seen;
  Counted* item = nullptr;
  for (TChunkListIter<Counted> it(list); it.Next(item);) seen.push_back(item->value);
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
}

TEST(ChunkList, OwnedListDeletesItsElements) {
  Counted::alive = 0;
  {
    TOwnedChunkList<Counted> list;
    list.AddOwned(std::make_unique<Counted>(1));
    list.AddOwned(std::make_unique<Counted>(2));
    EXPECT_EQ(Counted::alive, 2);
  }
  EXPECT_EQ(Counted::alive, 0);
}

}  // namespace
