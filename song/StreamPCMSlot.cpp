// The stream-PCM slot record.
#include "song/StreamPCMSlot.h"

#include <cstring>

CStreamPCMSlot& CStreamPCMSlot::operator=(const CStreamPCMSlot& other) {
  if (this == &other) return *this;
  m_data = other.m_data;
  m_id = other.m_id;
  m_bankMsb = other.m_bankMsb;
  m_bankLsb = other.m_bankLsb;
  m_program = other.m_program;
  m_note = other.m_note;
  m_waveBlock = other.m_waveBlock;
  m_rate = other.m_rate;
  m_flag = other.m_flag;
  m_format = other.m_format;
  m_marked = other.m_marked;
  m_index = other.m_index;
  std::memcpy(m_name, other.m_name, sizeof m_name);
  return *this;
}

void CStreamPCMSlot::SetWaveData(const uint8_t* bytes, uint32_t n) {
  if (n == 0 || !bytes) {
    m_data.clear();
    m_data.shrink_to_fit();
    return;
  }
  m_data.assign(bytes, bytes + n);
}

void CStreamPCMSlot::SetName(const char* text) {
  std::memset(m_name, 0, sizeof m_name);
  if (text) std::memcpy(m_name, text, strnlen(text, kNameSize));
}

bool CStreamPCMSlot::IsSameAs(const CStreamPCMSlot& other) const {
  return m_bankMsb == other.m_bankMsb && m_bankLsb == other.m_bankLsb &&
         m_program == other.m_program && m_data == other.m_data &&
         m_waveBlock.HoldsSameData(other.m_waveBlock);
}

bool CStreamPCMSlot::IsDefault() const {
  const CStreamPCMSlot fresh;
  return IsSameAs(fresh);
}
