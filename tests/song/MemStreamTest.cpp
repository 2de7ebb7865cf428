// Edges of the memory stream that the file readers and writers rely on.
#include "song/MemStream.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(MemStream, SmallWritesOverwriteABorrowedBufferInPlaceAndCopyItOnlyToGrow) {
  uint8_t data[] = {9, 9, 9, 9, 9, 9, 9};
  CMemStream s(data, 6, false);
  s.Seek(0, 1);
  s.WriteBE32(0x01020304);
  s.WriteByte(5);
  EXPECT_EQ(s.GetData(), data);
  EXPECT_EQ(s.GetSize(), 6);
  s.WriteBE16(0x0607);  // one byte past the end: the stream moves to its own copy
  EXPECT_NE(s.GetData(), data);
  EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{9, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ((std::vector<uint8_t>(data, data + 7)), (std::vector<uint8_t>{9, 1, 2, 3, 4, 5, 9}));
  // Appending within the spare room of its own buffer, then overwriting behind the position.
  for (uint8_t v = 10; v < 70; ++v) s.WriteByte(v);
  s.Seek(0, 1);
  s.WriteBE32(0xA1A2A3A4);
  EXPECT_EQ(s.GetSize(), 68);
  EXPECT_EQ(s.GetPosition(), 5);
  EXPECT_EQ(Bytes(s)[4], 0xA4);
  EXPECT_EQ(Bytes(s)[67], 69);
}

TEST(MemStream, HelpersWriteBigEndianAndChain) {
  CMemStream s;
  s.WriteByte(0x01).PutBE16(0x0203).PutBE32(0x04050607).WriteByte(0x08);
  s.WriteBE32(0xA0B0C0D0);
  s.WriteText("MThd");
  EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 0xA0, 0xB0, 0xC0, 0xD0, 'M',
                                            'T', 'h', 'd'}));
  s.SeekToBegin();
  uint8_t b = 0;
  uint16_t w = 0;
  uint32_t d = 0;
  s.ReadByte(b).ReadBE16(w).ReadBE32(d);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(w, 0x0203);
  EXPECT_EQ(d, 0x04050607u);
}

TEST(MemStream, FailedGrowthLeavesTheStreamAsItWas) {
  CMemStream s(3);
  s.Seek(0, 1);
  const uint8_t* data = s.GetData();
  uint8_t byte = 0;
  try {
    s.Write(&byte, 0xFFFFFFFFu);
    FAIL() << "expected -108";
  } catch (int e) {
    EXPECT_EQ(e, kErrOutOfMemory);
  }
  EXPECT_EQ(s.GetSize(), 3);
  EXPECT_EQ(s.GetPosition(), 1);
  EXPECT_EQ(s.GetData(), data);
}

TEST(MemStream, NegativeSizeIsRefusedAsOutOfMemory) {
  try {
    CMemStream s(-1);
    FAIL() << "expected -108";
  } catch (int e) {
    EXPECT_EQ(e, kErrOutOfMemory);
  }
}

TEST(MemStream, PeekLooksWithoutTaking) {
  uint8_t data[] = {0x42};
  CMemStream s(data, 1, false);
  EXPECT_EQ(s.PeekByte(), 0x42);
  EXPECT_EQ(s.GetPosition(), 0);
  EXPECT_EQ(s.GetCurrent(), data);
  s.Seek(2, 0);
  try {
    s.PeekByte();
    FAIL() << "expected -48";
  } catch (int e) {
    EXPECT_EQ(e, kErrEndOfData);
  }
}

TEST(MemStream, DetachHandsTheBufferOverAndAttachTakesOne) {
  CMemStream s;
  s.WriteText("abc");
  uint8_t* buffer = s.Detach();
  EXPECT_EQ(s.GetSize(), 0);
  EXPECT_EQ(s.GetData(), nullptr);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer[2], 'c');

  CMemStream other;
  other.WriteByte(9);
  other.Attach(buffer, 3);  // frees the old buffer, owns this one
  EXPECT_EQ(other.GetPosition(), 0);
  EXPECT_EQ(Bytes(other), (std::vector<uint8_t>{'a', 'b', 'c'}));
  other.Seek(2, 0);
  other.WriteByte('d');
  EXPECT_EQ(Bytes(other), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
}

TEST(MemStream, CopyingItsOwnBytesSurvivesGrowth) {
  CMemStream s;
  for (int i = 0; i < 64; ++i) s.WriteByte(static_cast<uint8_t>(i));
  // Appending the whole data to itself forces the buffer to move while the source is read.
  s.Write(s.GetData(), static_cast<uint32_t>(s.GetSize()));
  ASSERT_EQ(s.GetSize(), 128);
  EXPECT_EQ(s.GetData()[64], 0);
  EXPECT_EQ(s.GetData()[127], 63);
}

TEST(MemStream, OwnedAttachedBufferIsFreedAndBorrowedOneIsNot) {
  auto* owned = static_cast<uint8_t*>(std::malloc(4));
  { CMemStream s(owned, 4, true); }  // the sanitizer build reports a leak when this is not freed
  uint8_t borrowed[4] = {1, 2, 3, 4};
  { CMemStream s(borrowed, 4, false); }
  EXPECT_EQ(borrowed[3], 4);
}

}  // namespace

TEST(MemStream, SetCopyTakesAnOwnedCopyAtPositionZero) {
  uint8_t borrowed[4] = {1, 2, 3, 4};
  CMemStream s(borrowed, 4, false);
  s.Seek(0, 3);
  const uint8_t bytes[3] = {7, 8, 9};
  s.SetCopy(bytes, 3);
  EXPECT_TRUE(s.OwnsData());
  EXPECT_EQ(s.GetSize(), 3);
  EXPECT_EQ(s.GetPosition(), 0);
  EXPECT_NE(s.GetData(), bytes);
  EXPECT_EQ(s.GetData()[2], 9);
  EXPECT_EQ(borrowed[0], 1);  // the borrowed buffer is left alone
  s.SetCopy(nullptr, 0);
  EXPECT_EQ(s.GetSize(), 0);
  EXPECT_EQ(s.GetData(), nullptr);
  EXPECT_THROW(s.SetCopy(bytes, -1), int);
}
