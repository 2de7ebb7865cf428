// Number forms and tables of generation-1/2 sequence data.
#include "velk/SequenceNumbers.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Bytes;
using velktest::ThrownCode;

TEST(SequenceNumbers, ReadSeqNumberForms) {
  struct Case {
    Bytes bytes;
    uint32_t value;
  };
  const Case cases[] = {
      {{0x00}, 0},
      {{0x7F}, 127},
      {{0x80, 0x00}, 128},
      {{0x81, 0x00}, 256},
      {{0xFF, 0x7F}, 16511},
      {{0x80, 0x80, 0x00}, 16511},  // the three-byte form adds 16511, not 16512
      {{0x81, 0x80, 0x00}, 32895},
      {{0xFF, 0xFF, 0xFF}, 0x1FFFFF + 16511},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(velktest::Hex(c.bytes));
    Bytes bytes = c.bytes;
    bytes.push_back(0x55);  // the next byte is not taken
    CMemStream s = velktest::ReadStream(bytes);
    EXPECT_EQ(ReadSeqNumber(s), c.value);
    EXPECT_EQ(s.RemainingBytes(), 1u);
  }
}

TEST(SequenceNumbers, ReadSeqNumberCutShortThrows) {
  for (Bytes bytes : {Bytes{}, Bytes{0x80}, Bytes{0x80, 0x80}}) {
    SCOPED_TRACE(bytes.size());
    CMemStream s = velktest::ReadStream(bytes);
    EXPECT_EQ(ThrownCode([&] { ReadSeqNumber(s); }), kErrEndOfData);
  }
}

TEST(SequenceNumbers, TimeNumbersAndLongDeltas) {
  struct Case {
    uint32_t delta;
    Bytes expected;
  };
  const Case cases[] = {
      {0, {0x00}},
      {127, {0x7F}},
      {128, {0x80, 0x00}},
      {16511, {0xFF, 0x7F}},
      {16512, {0xFF, 0x7F, 0xFF, 0x00, 0x01}},            // 16511, no-operation, 1
      {33022, {0xFF, 0x7F, 0xFF, 0x00, 0xFF, 0x7F}},      // 16511, no-operation, 16511
      {33023, {0xFF, 0x7F, 0xFF, 0x00, 0xFF, 0x7F, 0xFF, 0x00, 0x01}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delta);
    CMemStream s;
    WriteTimeDelta(s, c.delta);
    EXPECT_EQ(velktest::ToBytes(s), c.expected);
  }
}

TEST(SequenceNumbers, TimeNumbersReadBackThroughReadSeqNumber) {
  for (uint32_t v : {0u, 1u, 127u, 128u, 129u, 255u, 256u, 5000u, 16510u, 16511u}) {
    SCOPED_TRACE(v);
    CMemStream s;
    WriteTimeNumber(s, v);
    s.SeekToBegin();
    EXPECT_EQ(ReadSeqNumber(s), v);
    EXPECT_TRUE(s.AtEnd());
  }
}

TEST(SequenceNumbers, TimeBaseCodes) {
  struct Case {
    uint8_t code;
    uint32_t ms;
  };
  const Case cases[] = {{0x00, 1},  {0x01, 2},  {0x02, 4},  {0x03, 5},  {0x10, 10}, {0x11, 20},
                        {0x12, 40}, {0x13, 50}, {0x14, 1},  {0x04, 1},  {0xFF, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    EXPECT_EQ(TimeBaseCodeToMs(c.code), c.ms);
  }
}

TEST(SequenceNumbers, NoteFromByte) {
  struct Case {
    uint8_t noteByte;
    int shift;
    int note;
  };
  const Case cases[] = {
      {0x15, 0, 53},   // block 1, key 5
      {0x01, 0, 37},   // lowest note of the window
      {0x0C, 0, 48},
      {0x3C, 0, 84},   // highest note of the window
      {0x41, 0, 37},   // channel bits are not part of the note
      {0x01, 1, 49},
      {0x01, -3, 1},
      {0x0C, -4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.noteByte));
    EXPECT_EQ(NoteFromByte(c.noteByte, c.shift), c.note);
  }
}

TEST(SequenceNumbers, LookupByteTableQuantizesVolumes) {
  struct Case {
    int key;
    uint8_t value;
  };
  const Case cases[] = {
      {0, 8},    {8, 8},    {9, 9},    {29, 29},  {30, 31},  {31, 31},  {32, 32},  {34, 33},
      {35, 35},  {37, 36},  {39, 40},  {42, 41},  {52, 51},  {53, 54},  {57, 56},  {59, 58},
      {60, 61},  {65, 64},  {70, 69},  {74, 72},  {84, 82},  {91, 90},  {100, 98}, {104, 102},
      {109, 107}, {114, 112}, {119, 116}, {124, 122}, {125, 127}, {127, 127}, {-1, 0}, {128, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(LookupByteTable(c.key), c.value);
  }
}

TEST(SequenceNumbers, LookupByteTableNeverRisesAboveTheNextKeysValue) {
  uint8_t previous = 0;
  for (int key = 0; key < 128; ++key) {
    SCOPED_TRACE(key);
    EXPECT_GE(LookupByteTable(key), previous);
    previous = LookupByteTable(key);
  }
}

}  // namespace
