// An owned or borrowed byte buffer.
#include "song/ByteBuffer.h"

#include <cstdlib>

#include "song/MemStream.h"

CByteBuffer::CByteBuffer(uint32_t n) {
  if (n != 0) {
    m_data = static_cast<uint8_t*>(std::malloc(n));
    if (!m_data) throw kErrOutOfMemory;
  }
  m_size = n;
}

CByteBuffer::~CByteBuffer() { Release(); }

void CByteBuffer::Release() {
  if (m_owns && m_data) std::free(m_data);
  m_data = nullptr;
}

void CByteBuffer::Attach(uint8_t* bytes, uint32_t size, bool owns) {
  if (bytes != m_data) Release();
  m_data = bytes;
  m_size = bytes ? size : 0;
  m_position = 0;
  m_owns = owns;
}
