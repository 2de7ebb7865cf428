// The variable-length number writer.
#include "velk/VarLen.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Bytes;

TEST(VarLen, WritesOneToFiveBytes) {
  struct Case {
    uint32_t value;
    Bytes expected;
  };
  const Case cases[] = {
      {0, {0x00}},
      {127, {0x7F}},
      {128, {0x81, 0x00}},
      {16383, {0xFF, 0x7F}},
      {16384, {0x81, 0x80, 0x00}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
      {0xFFFFFFFF, {0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    CMemStream s;
    WriteVarLen(s, c.value);
    EXPECT_EQ(velktest::ToBytes(s), c.expected);
  }
}

TEST(VarLen, AppendsAtThePosition) {
  CMemStream s;
  s.WriteByte(0xAA);
  WriteVarLen(s, 128);
  EXPECT_EQ(velktest::ToBytes(s), (Bytes{0xAA, 0x81, 0x00}));
}

TEST(VarLen, ReadsWhatWasWritten) {
  for (uint32_t v : {0u, 1u, 127u, 128u, 16383u, 16384u, 0x0FFFFFFFu, 0xFFFFFFFFu}) {
    SCOPED_TRACE(v);
    CMemStream s;
    WriteVarLen(s, v);
    s.WriteByte(0x55);
    s.SeekToBegin();
    uint32_t value = 1;
    ReadVarLen(s, value);
    EXPECT_EQ(value, v);
    EXPECT_EQ(s.RemainingBytes(), 1u);
  }
}

TEST(VarLen, ReadHasNoByteLimitButKeepsThirtyTwoBits) {
  Bytes bytes = {0x81, 0x80, 0x80, 0x80, 0x80, 0x00};  // 2^35 as six bytes
  CMemStream s = velktest::ReadStream(bytes);
  uint32_t value = 1;
  ReadVarLen(s, value);
  EXPECT_EQ(value, 0u);
  EXPECT_TRUE(s.AtEnd());
}

TEST(VarLen, ReadRunningOffTheEndThrows) {
  Bytes bytes = {0x81, 0x80};
  CMemStream s = velktest::ReadStream(bytes);
  uint32_t value = 0;
  EXPECT_EQ(velktest::ThrownCode([&] { ReadVarLen(s, value); }), kErrEndOfData);
}

}  // namespace
