// A numbered wave chunk "Mwa" + n.
#include "velk/WaveDataChunk.h"

namespace {

constexpr uint32_t kHeaderBytes = 3;

}  // namespace

CWaveDataChunk::CWaveDataChunk(CMemStream& stream) : CChunk(stream) {
  // A body without its whole header would give a negative wave size: it holds no wave.
  if (GetBodySize() < kHeaderBytes) return;
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_format).ReadBE16(m_rate);
  m_waveSize = GetBodySize() - kHeaderBytes;
  if (m_waveSize > 0) m_wave.Write(body.GetCurrent(), m_waveSize);
}
