// "Mtsp": the stream-PCM waves of a score track, one "Mwa" chunk each.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/velkgate/OwnedList.h"
#include "plugins/velkgate/WaveDataChunk.h"
#include "song/Chunk.h"
#include "song/StreamPCMSlot.h"

class CSongSetup;

namespace velkgate {

class CStreamPcmChunk : public CChunk {
 public:
  /// Builds "Mtsp" from copies of the waves whose slot is 1..32, in list order.
  explicit CStreamPcmChunk(const COwnedList<CWaveDataChunk>& waves);
  /// Reads and parses "Mtsp"; an "Mwa" of slot 0 or above 32 is skipped and sets 0x02000000
  /// in flags when given. Throws -48 when truncated, -108 without memory.
  CStreamPcmChunk(CMemStream& stream, uint32_t* flags);

  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;

  /// Creates a stream-PCM slot record per wave and gives it to the setup under its slot
  /// (the setup is made to own its objects); the chunk keeps a copy of each under the slot.
  void TransferWaves(CSongSetup& setup);

  const COwnedList<CWaveDataChunk>& GetWaves() const { return m_waves; }
  /// The record made for a slot by TransferWaves, or null.
  const CStreamPCMSlot* GetSlot(int slot) const;

 private:
  COwnedList<CWaveDataChunk> m_waves;
  std::unique_ptr<CStreamPCMSlot> m_slots[CWaveDataChunk::kLastSlot + 1];
  uint32_t* m_flags = nullptr;
};

}  // namespace velkgate
