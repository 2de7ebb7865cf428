// The stream-PCM slot's wave block.
#include "song/WaveBlock.h"

void CWaveBlock::SetData(const uint8_t* bytes, uint32_t n) {
  if (n == 0 || !bytes) {
    FreeData();
    return;
  }
  m_data.assign(bytes, bytes + n);
}

bool CWaveBlock::HoldsSameData(const CWaveBlock& other) const {
  return m_data == other.m_data && GetAttribute() == other.GetAttribute();
}
