// Tests of the stream-PCM chunks "Mtsp" and "Mwa" + slot.
#include "plugins/velkgate/StreamPcmChunk.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SongSetup.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ToHex;
using testing::WriteChunk;

Bytes Wave(uint8_t n) {
  Bytes out(n);
  for (uint8_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(i * 3);
  return out;
}

TEST(CWaveDataChunk, WritesFormatRateAndBytes) {
  Bytes wave = Wave(100);
  CWaveDataChunk chunk(7, CWaveDataChunk::FormatByteOfCode(3), 8000, wave.data(), 100);
  Bytes image = WriteChunk(chunk);
  Bytes expected = Hex("4D776107 00000067 01 1F40");
  expected.insert(expected.end(), wave.begin(), wave.end());
  EXPECT_EQ(ToHex(image), ToHex(expected));

  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CWaveDataChunk back(in);
  EXPECT_EQ(back.GetSlot(), 7);
  EXPECT_EQ(CWaveDataChunk::CodeOfFormatByte(back.GetFormatByte()), 3);
  EXPECT_EQ(back.GetRate(), 8000);
  EXPECT_EQ(back.GetWave(), wave);
}

TEST(CWaveDataChunk, FormatCodesAndBytes) {
  EXPECT_EQ(CWaveDataChunk::FormatByteOfCode(0), 0x20);
  EXPECT_EQ(CWaveDataChunk::FormatByteOfCode(2), 0x11);
  EXPECT_EQ(CWaveDataChunk::FormatByteOfCode(3), 0x01);
  EXPECT_EQ(CWaveDataChunk::CodeOfFormatByte(0x20), 0);
  EXPECT_EQ(CWaveDataChunk::CodeOfFormatByte(0x11), 2);
  EXPECT_EQ(CWaveDataChunk::CodeOfFormatByte(0x01), 3);
  EXPECT_EQ(CWaveDataChunk::CodeOfFormatByte(0x70), 0);
}

TEST(CWaveDataChunk, BodyShorterThanItsHeaderThrows) {
  Bytes image = Hex("4D776101 00000002 011F");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  try {
    CWaveDataChunk chunk(in);
    FAIL();
  } catch (int e) {
    EXPECT_EQ(e, kErrEndOfData);
  }
}

TEST(CStreamPcmChunk, KeepsListOrderAndOnlyValidSlots) {
  COwnedList<CWaveDataChunk> waves;
  Bytes a = Wave(4);
  waves.Add(new CWaveDataChunk(3, 0x20, 12000, a.data(), 4));
  waves.Add(new CWaveDataChunk(1, 0x11, 8000, a.data(), 2));
  waves.Add(new CWaveDataChunk(33, 0x11, 8000, a.data(), 2));
  CStreamPcmChunk chunk(waves);
  Bytes image = WriteChunk(chunk);
  EXPECT_EQ(ToHex(image), ToHex(Hex("4D747370 0000001C"
                                    "4D776103 00000007 20 2EE0 00030609"
                                    "4D776101 00000005 11 1F40 0003")));

  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  CStreamPcmChunk back(in, &flags);
  std::vector<CWaveDataChunk*> items = back.GetWaves().Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]->GetSlot(), 3);
  EXPECT_EQ(items[1]->GetSlot(), 1);
  EXPECT_EQ(flags, 0u);
}

TEST(CStreamPcmChunk, SlotZeroIsSkippedWithAFlag) {
  Bytes image = Hex("4D747370 00000020"
                    "4D776100 00000004 01 1F40 00"
                    "58585858 00000000"
                    "4D776102 00000004 01 1F40 AA");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  CStreamPcmChunk chunk(in, &flags);
  EXPECT_EQ(flags, CNVF_LENGTH_OVER);
  ASSERT_EQ(chunk.GetWaves().GetCount(), 1);
  EXPECT_EQ(chunk.GetWaves().Items()[0]->GetSlot(), 2);
}

TEST(CStreamPcmChunk, TruncatedChildThrows) {
  Bytes image = Hex("4D747370 0000000C 4D776102 00000009 01 1F40 AA");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  EXPECT_THROW(CStreamPcmChunk chunk(in, &flags), int);
}

TEST(CStreamPcmChunk, TransfersWavesToTheSetup) {
  Bytes image = Hex("4D747370 0000000D 4D776102 00000005 11 1F40 AABB");
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CStreamPcmChunk chunk(in, nullptr);
  CSongSetup setup;
  chunk.TransferWaves(setup);
  CStreamPCMSlot* slot = setup.GetStreamPcmSlot(2);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->GetId(), 2);
  EXPECT_EQ(slot->GetFormat(), 2);
  EXPECT_EQ(slot->GetRate(), 8000);
  ASSERT_EQ(slot->GetDataSize(), 2u);
  EXPECT_EQ(slot->GetData()[1], 0xBB);
  ASSERT_NE(chunk.GetSlot(2), nullptr);
  EXPECT_NE(chunk.GetSlot(2), slot);
}

}  // namespace
}  // namespace velkgate
