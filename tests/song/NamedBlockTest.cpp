// Named data blocks and the owned byte buffer.
#include "song/NamedBlock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "song/ByteBuffer.h"
#include "song/MemStream.h"

namespace {

TEST(NamedBlock, StartsEmpty) {
  CNamedBlock block;
  EXPECT_EQ(block.GetSize(), 0);
  EXPECT_EQ(block.GetData(), nullptr);
  EXPECT_STREQ(block.GetName(), "");
}

TEST(NamedBlock, SetNameKeepsAtMostSixteenCharacters) {
  struct Case {
    const char* text;
    const char* kept;
  };
  const Case cases[] = {
      {"", ""},
      {"Wave", "Wave"},
      {"fifteen chars!!", "fifteen chars!!"},
      {"sixteen chars!!!", "sixteen chars!!!"},
      {"twenty characters!!!", "twenty character"},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kept);
    CNamedBlock block;
    block.SetName("previous name");
    block.SetName(c.text);
    EXPECT_STREQ(block.GetName(), c.kept);
  }
}

TEST(NamedBlock, SetDataCopiesTheBytes) {
  uint8_t bytes[] = {1, 2, 3};
  CNamedBlock block;
  EXPECT_EQ(block.SetData(bytes, 3), 1);
  bytes[0] = 9;
  EXPECT_EQ(block.GetSize(), 3);
  EXPECT_EQ(block.GetData()[0], 1);
  EXPECT_EQ(block.GetData()[2], 3);
}

TEST(NamedBlock, RefusesDataItsSixteenBitSizeCannotHold) {
  std::string big(0x10000, 'x');
  uint8_t bytes[] = {7};
  CNamedBlock block;
  block.SetData(bytes, 1);
  EXPECT_EQ(block.SetData(reinterpret_cast<const uint8_t*>(big.data()), 0x10000), 0);
  EXPECT_EQ(block.GetSize(), 1);
  EXPECT_EQ(block.GetData()[0], 7);
  EXPECT_EQ(block.SetData(reinterpret_cast<const uint8_t*>(big.data()), 0xFFFF), 1);
  EXPECT_EQ(block.GetSize(), 0xFFFF);
}

TEST(NamedBlock, AssignmentCopiesSizeDataAndName) {
  uint8_t bytes[] = {4, 5};
  CNamedBlock source;
  source.SetData(bytes, 2);
  source.SetName("user wave");
  CNamedBlock target;
  target = source;
  EXPECT_EQ(target.GetSize(), 2);
  EXPECT_NE(target.GetData(), source.GetData());
  EXPECT_EQ(target.GetData()[1], 5);
  EXPECT_STREQ(target.GetName(), "user wave");
  target = CNamedBlock();
  EXPECT_EQ(target.GetSize(), 0);
  EXPECT_EQ(target.GetData(), nullptr);
  EXPECT_STREQ(target.GetName(), "");
}

TEST(ByteBuffer, OwnsWhatItAllocatesAndBorrowsWhatItIsLent) {
  CByteBuffer buffer(8);
  EXPECT_EQ(buffer.GetSize(), 8u);
  EXPECT_TRUE(buffer.OwnsData());
  ASSERT_NE(buffer.GetData(), nullptr);
  uint8_t lent[3] = {1, 2, 3};
  buffer.Attach(lent, 3, false);  // frees its own 8 bytes
  EXPECT_EQ(buffer.GetData(), lent);
  EXPECT_EQ(buffer.GetPosition(), 0u);
  auto* given = static_cast<uint8_t*>(std::malloc(2));
  buffer.Attach(given, 2, true);  // the sanitizer build reports a leak when this is not freed
  EXPECT_EQ(lent[2], 3);
  CByteBuffer empty;
  EXPECT_EQ(empty.GetData(), nullptr);
}

}  // namespace
