// Edges of the memory stream that the file readers and writers rely on.
#include "song/MemStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Bytes(const CMemStream& s) {
  return std::vector<uint8_t>(s.GetData(), s.GetData() + s.GetSize());
}

TEST(MemStream, SeekClampsToTheData) {
  CMemStream s(8);
  s.Seek(2, 0);
  EXPECT_EQ(s.GetPosition(), 8);
  s.Seek(0, 3);
  s.Seek(1, -5);
  EXPECT_EQ(s.GetPosition(), 0);
  s.Seek(0, 18);
  EXPECT_EQ(s.GetPosition(), 8);
  s.Seek(7, 2);  // unknown origin leaves the position
  EXPECT_EQ(s.GetPosition(), 8);
}

TEST(MemStream, ReadPastEndCopiesRestThenThrows) {
  uint8_t data[] = {1, 2, 3, 4, 5};
  CMemStream s(data, 5, false);
  s.Seek(0, 2);
  uint8_t out[4] = {0, 0, 0, 0};
  try {
    s.Read(out, 4);
    FAIL() << "expected -48";
  } catch (int e) {
    EXPECT_EQ(e, kErrEndOfData);
  }
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[2], 5);
  EXPECT_EQ(out[3], 0);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_NO_THROW(s.Read(out, 0));
}

TEST(MemStream, WriteOverwritesInsideAndGrowsExactly) {
  CMemStream s(4);
  s.Seek(0, 1);
  uint8_t two[] = {0xAA, 0xBB};
  s.Write(two, 2);
  EXPECT_EQ(s.GetSize(), 4);
  EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{0, 0xAA, 0xBB, 0}));
  s.Seek(0, 2);
  uint8_t four[] = {1, 2, 3, 4};
  s.Write(four, 4);
  EXPECT_EQ(s.GetSize(), 6);
  EXPECT_EQ(s.GetPosition(), 6);
}

TEST(MemStream, EmptyStreamAllocatesOnFirstWrite) {
  CMemStream s(0);
  EXPECT_EQ(s.GetData(), nullptr);
  s.WriteBE16(0x1234);
  EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{0x12, 0x34}));
}

TEST(MemStream, ReadsBigEndian) {
  uint8_t data[] = {0x00, 0x00, 0x01, 0xE0};
  CMemStream s(data, 4, false);
  uint32_t v = 0;
  s.ReadBE32(v);
  EXPECT_EQ(v, 480u);
}

TEST(MemStream, GrowingABorrowedBufferCopiesIt) {
  uint8_t data[] = {9, 9};
  CMemStream s(data, 2, false);
  s.Seek(2, 0);
  s.WriteByte(7);
  EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{9, 9, 7}));
  EXPECT_NE(s.GetData(), data);
}

}  // namespace
