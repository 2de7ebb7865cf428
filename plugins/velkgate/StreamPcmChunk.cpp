// "Mtsp": the stream-PCM waves of a score track, one "Mwa" chunk each.
#include "plugins/velkgate/StreamPcmChunk.h"

#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SongSetup.h"

namespace velkgate {

namespace {

bool IsWaveSlot(uint8_t slot) {
  return slot >= CWaveDataChunk::kFirstSlot && slot <= CWaveDataChunk::kLastSlot;
}

}  // namespace

CStreamPcmChunk::CStreamPcmChunk(const COwnedList<CWaveDataChunk>& waves)
    : CChunk(MakeChunkId('M', 't', 's', 'p')) {
  for (CWaveDataChunk* wave : waves.Items())
    if (IsWaveSlot(wave->GetSlot())) m_waves.Add(new CWaveDataChunk(wave->GetSlot(), *wave));
}

CStreamPcmChunk::CStreamPcmChunk(CMemStream& stream, uint32_t* flags)
    : CChunk(uint32_t{0}), m_flags(flags) {
  Read(stream);
  m_flags = nullptr;
}

void CStreamPcmChunk::WriteBody(CMemStream& stream) {
  for (CWaveDataChunk* wave : m_waves.Items()) wave->Write(stream);
}

void CStreamPcmChunk::ReadBody(CMemStream& stream) {
  while (!stream.AtEnd()) {
    uint32_t id = PeekChunkId(stream);
    if (!HasChunkPrefix(id, 'M', 'w', 'a')) {
      SkipChunk(stream);
    } else if (!IsWaveSlot(static_cast<uint8_t>(id))) {
      if (m_flags) *m_flags |= CNVF_LENGTH_OVER;
      SkipChunk(stream);
    } else {
      m_waves.Add(new CWaveDataChunk(stream));
    }
  }
}

void CStreamPcmChunk::TransferWaves(CSongSetup& setup) {
  setup.SetOwnsObjects(1);
  for (CWaveDataChunk* wave : m_waves.Items()) {
    uint8_t slot = wave->GetSlot();
    auto record = std::make_unique<CStreamPCMSlot>();
    record->SetId(slot);
    record->SetFormat(CWaveDataChunk::CodeOfFormatByte(wave->GetFormatByte()));
    record->SetRate(wave->GetRate());
    record->SetWaveData(wave->GetWave().data(), static_cast<uint32_t>(wave->GetWave().size()));
    setup.SetStreamPcmSlot(slot, new CStreamPCMSlot(*record));
    m_slots[slot] = std::move(record);
  }
}

const CStreamPCMSlot* CStreamPcmChunk::GetSlot(int slot) const {
  return (slot >= 0 && slot <= CWaveDataChunk::kLastSlot) ? m_slots[slot].get() : nullptr;
}

}  // namespace velkgate
