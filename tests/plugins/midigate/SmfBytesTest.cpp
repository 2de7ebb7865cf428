// The byte helpers of the plug-in: VLQ, packing, tempo rounding, QX fields, SysEx envelope.
#include "plugins/midigate/SmfBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfFixture.h"
#include "app/CnvParam.h"
#include "plugins/midigate/Failure.h"
#include "song/MemStream.h"

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
    EXPECT_EQ(midigate::VarLenSize(c.value), c.bytes.size());
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
  CMemStream out;
  const uint8_t plain[7] = {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
  midigate::WritePacked(out, plain, 7);
  // header byte: bit 6 = bit 7 of the first byte; then the bytes with bit 7 cleared
  EXPECT_EQ(Hex(StreamBytes(out)), "40 00 00 00 00 00 00 01");

  for (auto [plainSize, packedSize] : {std::pair{5u, 6}, {31u, 36}, {0u, 0}, {16u, 19}}) {
    SCOPED_TRACE(plainSize);
    CMemStream packed;
    packed.WriteByte(0xAA);  // packing appends behind what is there
    std::vector<uint8_t> bytes(plainSize, 0xFF);
    midigate::WritePacked(packed, bytes.data(), plainSize);
    EXPECT_EQ(packed.GetSize(), packedSize + 1);
    EXPECT_EQ(packed.GetData()[0], 0xAA);
  }
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

TEST(SmfBytes, WritesTheSysExEnvelope) {
  CMemStream out;
  midigate::WriteSysExEnvelope(out, 3, midigate::kGroupSong, 0x10);
  // F0, length 9 = 5 head bytes + 3 payload + F7, maker 43, 79 06, group, command
  EXPECT_EQ(Hex(StreamBytes(out)), "F0 09 43 79 06 7D 10");

  CMemStream longOut;
  midigate::WriteSysExEnvelope(longOut, 200, midigate::kGroupDevice, 0x03);
  EXPECT_EQ(Hex(StreamBytes(longOut)), "F0 81 4E 43 79 06 7F 03");
}
