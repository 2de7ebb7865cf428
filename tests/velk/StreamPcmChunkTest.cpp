// Stream-PCM chunks and their numbered wave chunks.
#include "velk/StreamPcmChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"
#include "velk/ChunkFields.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

const Bytes kWave = {0x01,        // format
                     0x1F, 0x40,  // rate 8000
                     0x10, 0x20, 0x30};

using velktest::Written;

std::vector<int> Numbers(const CStreamPcmChunk& chunk) {
  std::vector<int> out;
  CWaveDataChunk* wave = nullptr;
  for (CWaveDataIter it(chunk.GetWaves()); it.Next(wave);) out.push_back(wave->GetNumber());
  return out;
}

TEST(StreamPcmChunk, KeepsWaveNumbersOneToThirtyTwo) {
  struct Case {
    const char* name;
    Bytes body;
    std::vector<int> kept;
    uint32_t report;
  };
  const Case cases[] = {
      {"Mwa+1, another id, Mwa+0",
       Builder().Chunk("Mwa", 1, kWave).Chunk("Xtra", {1}).Chunk("Mwa", 0, kWave), {1}, 0x02000000},
      {"Mwa+32 kept, Mwa+33 dropped", Builder().Chunk("Mwa", 32, kWave).Chunk("Mwa", 33, kWave),
       {32}, 0x02000000},
      {"two out of range set the bit once", Builder().Chunk("Mwa", 0, {}).Chunk("Mwa", 0xFF, {}), {},
       0x02000000},
      {"file order kept", Builder().Chunk("Mwa", 7, kWave).Chunk("Mwa", 2, kWave), {7, 2}, 0},
      {"empty body", {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = Builder().Chunk("Mtsp", c.body);
    for (bool withReport : {true, false}) {
      CMemStream s = velktest::ReadStream(bytes);
      uint32_t report = 0x5;
      CStreamPcmChunk chunk(s, withReport ? &report : nullptr);
      EXPECT_TRUE(s.AtEnd());
      EXPECT_EQ(Numbers(chunk), c.kept);
      EXPECT_EQ(report, withReport ? (0x5 | c.report) : 0x5u);
    }
  }
}

TEST(StreamPcmChunk, WritesTheKeptWavesBackWithARecomputedSize) {
  Bytes bytes = Builder().Chunk("Mtsp", Builder().Chunk("Mwa", 1, kWave).Chunk("Mwa", 40, {1}).Chunk(
                                            "Mwa", 9, {0x02, 0x3E, 0x80}));
  CMemStream s = velktest::ReadStream(bytes);
  CStreamPcmChunk chunk(s, nullptr);
  EXPECT_EQ(Written(chunk),
            Builder().Chunk("Mtsp", Builder().Chunk("Mwa", 1, kWave).Chunk("Mwa", 9, {0x02, 0x3E, 0x80})).Get());
}

TEST(StreamPcmChunk, WaveRunningPastTheBodyThrows) {
  Bytes bytes = Builder().Chunk("Mtsp", Builder().Text("Mwa").Raw({1}).BE32(50).Raw(kWave));
  CMemStream s = velktest::ReadStream(bytes);
  EXPECT_EQ(ThrownCode([&] { CStreamPcmChunk chunk(s, nullptr); }), kErrEndOfData);
}

TEST(WaveDataChunk, ReadsFormatRateAndWaveBytes) {
  Bytes bytes = Builder().Chunk("Mwa", 4, kWave);
  CMemStream s = velktest::ReadStream(bytes);
  CWaveDataChunk wave(s);
  EXPECT_EQ(wave.GetFormat(), 1);
  EXPECT_EQ(wave.GetRate(), 8000);
  EXPECT_EQ(wave.GetWaveSize(), 3u);
  EXPECT_EQ(velktest::ToBytes(wave.GetWaveData()), (Bytes{0x10, 0x20, 0x30}));
  EXPECT_EQ(Written(wave), bytes);
}

TEST(WaveDataChunk, SetByteField16SetsTheNumberOrTheKind) {
  Bytes bytes = Builder().Chunk("Mwa", 4, kWave);
  CMemStream s = velktest::ReadStream(bytes);
  CWaveDataChunk wave(s);
  SetByteField16(wave, 9);
  EXPECT_EQ(wave.GetNumber(), 9);
  const uint8_t data[] = {1, 2};
  CChunkInfo record(3, data, 2);
  SetByteField16(record, 7);
  EXPECT_EQ(record.GetKind(), 7);
}

TEST(WaveDataChunk, BodyShorterThanItsHeaderIsEmptyAndKeptAsItWas) {
  for (size_t n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    Bytes bytes = Builder().Chunk("Mwa", 1, Bytes(kWave.begin(), kWave.begin() + static_cast<long>(n)));
    CMemStream s = velktest::ReadStream(bytes);
    CWaveDataChunk wave(s);
    EXPECT_EQ(wave.GetWaveSize(), 0u);
    EXPECT_EQ(wave.GetRate(), 0);
    EXPECT_EQ(wave.GetWaveData().GetSize(), 0);
    EXPECT_EQ(Written(wave), bytes);
  }
}

}  // namespace
