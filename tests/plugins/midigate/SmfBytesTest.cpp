// The byte helpers of the plug-in: VLQ, packing, tempo rounding and QX fields.
#include "plugins/midigate/SmfBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfFixture.h"
#include "app/CnvParam.h"
#include "plugins/midigate/Failure.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"

using midigate::testing::Bytes;
using midigate::testing::Hex;

namespace {

Bytes StreamBytes(const CMemStream& s) { return Bytes(s.GetData(), s.GetData() + s.GetSize()); }

uint32_t FailureOf(const Bytes& bytes) {
  const uint8_t* p = bytes.data();
  return midigate::GuardedConvert([&] { return midigate::ReadVarLen(p, bytes.data() + bytes.size()); });
}

}  // namespace

TEST(SmfBytes, WritesAndReadsVarLenVectors) {
  struct Case {
    uint32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x00}},
      {127, {0x7F}},
      {128, {0x81, 0x00}},
      {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    CMemStream out;
    midigate::WriteVarLen(out, c.value);
    EXPECT_EQ(Hex(StreamBytes(out)), Hex(c.bytes));
    const uint8_t* p = c.bytes.data();
    EXPECT_EQ(midigate::ReadVarLen(p, p + c.bytes.size()), c.value);
    EXPECT_EQ(p, c.bytes.data() + c.bytes.size());
  }
}

TEST(SmfBytes, ReadVarLenFailsPastItsEndOrAfterFourBytes) {
  EXPECT_EQ(FailureOf({}), CNVERR_FAILED);
  EXPECT_EQ(FailureOf({0x81}), CNVERR_FAILED);
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 0xFF}), CNVERR_FAILED);
  EXPECT_EQ(FailureOf({0x81, 0x80, 0x80, 0x80, 0x00}), CNVERR_FAILED);
  EXPECT_EQ(FailureOf({0x81, 0x80, 0x80, 0x00}), 0x00200000u);
}

TEST(SmfBytes, PacksSevenInEightThroughTheDialect) {
  const uint8_t plain[7] = {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
  uint8_t packed[8] = {};
  EXPECT_EQ(Pack7In8(plain, 7, packed), 8u);
  // header byte: bit 6 = bit 7 of the first byte; then the bytes with bit 7 cleared
  EXPECT_EQ(Hex(Bytes(packed, packed + 8)), "40 00 00 00 00 00 00 01");
  EXPECT_EQ(PackedSize7In8(5), 6u);
  EXPECT_EQ(PackedSize7In8(31), 36u);
}

TEST(SmfBytes, RoundsTempoPerTickInSinglePrecision) {
  struct Case {
    uint32_t tempo, division, perTick;
  } cases[] = {
      {500000, 480, 1042},  // 1041.67
      {500000, 96, 5208},   // 5208.33
      {500000, 48, 10417},  // 10416.67
      {60000, 65535, 1},    // 0.92
      {6000000, 1, 6000000},
      {1000, 400, 3},       // 2.5 rounds half up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.tempo) + "/" + std::to_string(c.division));
    EXPECT_EQ(midigate::RoundTempoPerTick(c.tempo, c.division), c.perTick);
  }
}

TEST(SmfBytes, SplitsInfoFieldsAtColons) {
  char field[midigate::kInfoFieldSize];
  const std::string text = "abc:def";
  EXPECT_EQ(midigate::SplitInfoField(reinterpret_cast<const uint8_t*>(text.data()), text.size(), field), 4u);
  EXPECT_STREQ(field, "abc");
  EXPECT_EQ(midigate::SplitInfoField(reinterpret_cast<const uint8_t*>(text.data()) + 4, 3, field), 3u);
  EXPECT_STREQ(field, "def");
  EXPECT_EQ(midigate::SplitInfoField(reinterpret_cast<const uint8_t*>(text.data()), 0, field), 0u);
  EXPECT_STREQ(field, "");

  std::string longField(300, 'x');
  longField += ":y";
  EXPECT_EQ(midigate::SplitInfoField(reinterpret_cast<const uint8_t*>(longField.data()), longField.size(), field),
            301u);
  EXPECT_EQ(std::string(field), std::string(255, 'x'));
}
