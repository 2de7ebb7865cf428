// A byte buffer with a position, read and written big-endian.
#include "song/MemStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

CMemStream::CMemStream(int32_t n) {
  if (n < 0) throw kErrOutOfMemory;
  if (n > 0) {
    m_data = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(n), 1));
    if (!m_data) throw kErrOutOfMemory;
    m_capacity = n;
  }
  m_size = n;
}

CMemStream::CMemStream(uint8_t* data, int32_t size, bool owns)
    : m_data(data), m_size(size < 0 ? 0 : size), m_owns(owns), m_capacity(m_size) {}

CMemStream::~CMemStream() {
  if (m_owns && m_data) std::free(m_data);
}

void CMemStream::Seek(int origin, int32_t offset) {
  int64_t pos = m_position;
  switch (origin) {
    case 0:
      pos = offset;
      break;
    case 1:
      pos = static_cast<int64_t>(m_position) + offset;
      break;
    case 2:
      pos = static_cast<int64_t>(m_size) - offset;
      break;
    default:
      return;
  }
  m_position = static_cast<int32_t>(std::clamp<int64_t>(pos, 0, m_size));
}

void CMemStream::Read(void* destination, uint32_t n) {
  uint32_t left = RemainingBytes();
  if (n <= left) {
    if (n > 0) std::memcpy(destination, m_data + m_position, n);
    m_position += static_cast<int32_t>(n);
    return;
  }
  if (left > 0) std::memcpy(destination, m_data + m_position, left);
  m_position = m_size;
  throw kErrEndOfData;
}

CMemStream& CMemStream::ReadBE16(uint16_t& out) {
  uint8_t b[2];
  if (m_size - m_position >= 2) {
    b[0] = m_data[m_position];
    b[1] = m_data[m_position + 1];
    m_position += 2;
  } else {
    Read(b, 2);
  }
  out = static_cast<uint16_t>((b[0] << 8) | b[1]);
  return *this;
}

CMemStream& CMemStream::ReadBE32(uint32_t& out) {
  uint8_t b[4];
  if (m_size - m_position >= 4) {
    std::memcpy(b, m_data + m_position, 4);
    m_position += 4;
  } else {
    Read(b, 4);
  }
  out = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
  return *this;
}

void CMemStream::Reserve(int64_t needed) {
  if (needed <= m_capacity && (m_owns || needed <= m_size)) return;
  int64_t capacity = std::max<int64_t>(
      needed, std::min<int64_t>(m_capacity * 2, std::numeric_limits<int32_t>::max()));
  capacity = std::max<int64_t>(capacity, 64);
  uint8_t* grown;
  if (m_owns) {
    grown = static_cast<uint8_t*>(std::realloc(m_data, static_cast<size_t>(capacity)));
  } else {
    // A borrowed buffer is never resized in place: the stream moves to its own copy.
    grown = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    if (grown && m_size > 0) std::memcpy(grown, m_data, static_cast<size_t>(m_size));
  }
  if (!grown) throw kErrOutOfMemory;
  m_data = grown;
  m_capacity = capacity;
  m_owns = true;
}

void CMemStream::Write(const void* source, uint32_t n) {
  if (n > 0 && FitsInPlace(n)) {
    std::memmove(m_data + m_position, source, n);
    Advance(n);
    return;
  }
  int64_t end = static_cast<int64_t>(m_position) + n;
  if (end > std::numeric_limits<int32_t>::max()) throw kErrOutOfMemory;
  // A source inside our own buffer must survive the buffer moving when it grows.
  const auto* src = static_cast<const uint8_t*>(source);
  bool inside = m_data && n > 0 && src >= m_data && src < m_data + m_capacity;
  int64_t sourceOffset = inside ? src - m_data : 0;
  if (end > m_size) {
    Reserve(end);
    m_size = static_cast<int32_t>(end);
  }
  if (inside) src = m_data + sourceOffset;
  if (n > 0) std::memmove(m_data + m_position, src, n);
  m_position = static_cast<int32_t>(end);
}

CMemStream& CMemStream::PutBE16(uint16_t value) {
  WriteBE16(value);
  return *this;
}

CMemStream& CMemStream::PutBE32(uint32_t value) {
  WriteBE32(value);
  return *this;
}

void CMemStream::WriteText(const char* text) {
  Write(text, static_cast<uint32_t>(std::strlen(text)));
}

uint8_t CMemStream::PeekByte() const {
  if (m_position >= m_size) throw kErrEndOfData;
  return m_data[m_position];
}

void CMemStream::Attach(uint8_t* data, int32_t size) {
  if (m_owns && m_data && m_data != data) std::free(m_data);
  m_data = data;
  m_size = data && size > 0 ? size : 0;
  m_capacity = m_size;
  m_position = 0;
  m_owns = true;
}

void CMemStream::SetCopy(const uint8_t* bytes, int32_t n) {
  if (n < 0) throw kErrOutOfMemory;
  uint8_t* copy = nullptr;
  if (n > 0) {
    copy = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(n)));
    if (!copy) throw kErrOutOfMemory;
    if (bytes)
      std::memcpy(copy, bytes, static_cast<size_t>(n));
    else
      std::memset(copy, 0, static_cast<size_t>(n));
  }
  if (m_owns && m_data) std::free(m_data);
  m_data = copy;
  m_size = n;
  m_position = 0;
  m_capacity = n;
  m_owns = true;
}

uint8_t* CMemStream::Detach() {
  uint8_t* data = m_data;
  m_data = nullptr;
  m_size = 0;
  m_position = 0;
  m_capacity = 0;
  m_owns = true;
  return data;
}
