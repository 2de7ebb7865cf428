// The stream-PCM chunk "Mtsp" of a score track: its wave chunks "Mwa" + 1..32.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/Chunk.h"
#include "velk/ChunkList.h"
#include "velk/WaveDataChunk.h"

inline constexpr uint32_t kIdMtsp = MakeChunkId('M', 't', 's', 'p');
/// Report bit: a wave chunk whose number lies outside 1..32 was dropped.
inline constexpr uint32_t kReportWaveOutOfRange = 0x02000000;

using CWaveDataList = TChunkList<CWaveDataChunk>;
using CWaveDataIter = TChunkListIter<CWaveDataChunk>;

class CStreamPcmChunkBase : public CChunk {
 public:
  explicit CStreamPcmChunkBase(CMemStream& stream) : CChunk(stream) {}
};

class CStreamPcmChunk : public CStreamPcmChunkBase {
 public:
  /// Reads the chunk and keeps "Mwa" + 1..32 in file order; other chunks are dropped, and a
  /// wave number out of range sets kReportWaveOutOfRange in the report word when one is given.
  CStreamPcmChunk(CMemStream& stream, uint32_t* report);

  /// Every kept wave chunk, in order.
  void WriteBody(CMemStream& stream) override;

  const CWaveDataList& GetWaves() const { return m_waves; }

 private:
  TOwnedChunkList<CWaveDataChunk> m_waves;
};
