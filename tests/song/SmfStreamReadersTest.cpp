// Byte readers and variable-length numbers of SMF images.
#include "song/SmfStreamReaders.h"

#include <gtest/gtest.h>

#include <vector>

#include "song/MemStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(SmfStreamReaders, VarLenRoundTripsAtGroupEdges) {
  struct Case {
    uint32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x00}},
      {0x7F, {0x7F}},
      {0x80, {0x81, 0x00}},
      {0x3FFF, {0xFF, 0x7F}},
      {0x4000, {0x81, 0x80, 0x00}},
      {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
      {0x200000, {0x81, 0x80, 0x80, 0x00}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    CMemStream s;
    WriteStreamVarLen(s, c.value);
    EXPECT_EQ(Bytes(s.GetData(), s.GetData() + s.GetSize()), c.bytes);
    EXPECT_EQ(VarLenSize(c.value), c.bytes.size());
    const uint8_t* p = c.bytes.data();
    EXPECT_EQ(ReadVarLen(&p, c.bytes.data() + c.bytes.size()), c.value);
    EXPECT_EQ(p, c.bytes.data() + c.bytes.size());
  }
}

TEST(SmfStreamReaders, WriterUsesFiveBytesAboveTwentyEightBits) {
  Bytes out;
  AppendVarLen(out, 0xFFFFFFFF);
  EXPECT_EQ(out, (Bytes{0x8F, 0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(SmfStreamReaders, ReadVarLenRefusesFiveBytesAndTheEnd) {
  Bytes five = {0x81, 0x80, 0x80, 0x80, 0x00};
  const uint8_t* p = five.data();
  EXPECT_THROW(ReadVarLen(&p, five.data() + 5), int);
  EXPECT_EQ(p, five.data());  // left where it was
  Bytes open = {0x81, 0x80};
  p = open.data();
  EXPECT_THROW(ReadVarLen(&p, open.data() + 2), int);
  p = open.data();
  EXPECT_THROW(ReadVarLen(&p, open.data()), int);
  int thrown = -1;
  try {
    ReadVarLen(&p, open.data() + 1);
  } catch (int e) {
    thrown = e;
  }
  EXPECT_EQ(thrown, kSmfMalformed);
}

TEST(SmfStreamReaders, BigEndianReadersAndTheirBounds) {
  Bytes b = {0x12, 0x34, 0x56, 0x78};
  const uint8_t* end = b.data() + b.size();
  EXPECT_EQ(GetU8(b.data() + 3, end), 0x78);
  EXPECT_EQ(GetBE16(b.data() + 2, end), 0x5678);
  EXPECT_EQ(GetBE32(b.data(), end), 0x12345678u);
  EXPECT_THROW(GetBE32(b.data() + 1, end), int);
  EXPECT_THROW(GetBE16(b.data() + 3, end), int);
  EXPECT_THROW(GetU8(end, end), int);
}

}  // namespace
