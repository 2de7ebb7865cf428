// "Mwa" + slot: one stream-PCM wave with its format byte and sampling rate.
#include "plugins/velkgate/WaveDataChunk.h"

#include "plugins/velkgate/ByteHelpers.h"

namespace velkgate {

CWaveDataChunk::CWaveDataChunk(CMemStream& stream) : CChunk(uint32_t{0}) { Read(stream); }

CWaveDataChunk::CWaveDataChunk(uint8_t slot, uint8_t formatByte, uint16_t rate,
                               const uint8_t* bytes, uint32_t n)
    : CChunk(IdOfSlot(slot)), m_formatByte(formatByte), m_rate(rate) {
  if (n > 0) AppendBytes(m_wave, bytes, n);
}

CWaveDataChunk::CWaveDataChunk(uint8_t slot, const CWaveDataChunk& other)
    : CWaveDataChunk(slot, other.m_formatByte, other.m_rate, other.m_wave.data(),
                     static_cast<uint32_t>(other.m_wave.size())) {}

uint32_t CWaveDataChunk::IdOfSlot(uint8_t slot) { return MakeNumberedChunkId('M', 'w', 'a', slot); }

uint8_t CWaveDataChunk::FormatByteOfCode(uint8_t code) {
  switch (code) {
    case 0: return 0x20;
    case 2: return 0x11;
    default: return 0x01;
  }
}

uint8_t CWaveDataChunk::CodeOfFormatByte(uint8_t formatByte) {
  switch ((formatByte >> 4) & 0x07) {
    case 0: return 3;
    case 1: return 2;
    default: return 0;
  }
}

void CWaveDataChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_formatByte);
  stream.WriteBE16(m_rate);
  if (!m_wave.empty()) stream.Write(m_wave.data(), static_cast<uint32_t>(m_wave.size()));
}

void CWaveDataChunk::ReadBody(CMemStream& stream) {
  stream.ReadByte(m_formatByte).ReadBE16(m_rate);
  m_wave.clear();
  uint32_t n = stream.RemainingBytes();
  if (n > 0) AppendBytes(m_wave, stream.GetCurrent(), n);
}

}  // namespace velkgate
