// A user-wave or wave block.
#include "song/NamedBlock.h"

#include <cstring>

#include "platform/mem/ZeroedBlock.h"
#include "song/MemStream.h"

CNamedBlock::CNamedBlock() = default;

CNamedBlock::CNamedBlock(const CNamedBlock& other) { *this = other; }

CNamedBlock& CNamedBlock::operator=(const CNamedBlock& other) {
  if (this == &other) return *this;
  if (other.m_data) {
    SetData(other.m_data.get(), other.m_size);
  } else {
    m_data.reset();
    m_size = 0;
  }
  std::memcpy(m_name, other.m_name, sizeof m_name);
  return *this;
}

int CNamedBlock::SetData(const uint8_t* bytes, uint32_t size) {
  if (size > kMaxSize) return 0;
  std::unique_ptr<uint8_t[]> block = platform::TryAllocZeroed(size);
  if (!block) throw kErrOutOfMemory;
  if (bytes && size > 0) std::memcpy(block.get(), bytes, size);
  m_data = std::move(block);
  m_size = static_cast<uint16_t>(size);
  return 1;
}

void CNamedBlock::SetName(const char* text) {
  std::memset(m_name, 0, sizeof m_name);
  if (!text) return;
  size_t n = std::strlen(text);
  std::memcpy(m_name, text, n < kNameLength ? n : kNameLength);
}
