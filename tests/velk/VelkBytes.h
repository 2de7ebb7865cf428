// Test helpers: byte vectors from streams, streams over byte vectors, hex dumps for failures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "song/Chunk.h"
#include "song/MemStream.h"

namespace velktest {

using Bytes = std::vector<uint8_t>;

inline Bytes ToBytes(const CMemStream& s) {
  if (s.GetSize() == 0) return {};
  return Bytes(s.GetData(), s.GetData() + s.GetSize());
}

/// The bytes a chunk writes, header and size included.
inline Bytes Written(CChunk& chunk) {
  CMemStream out;
  chunk.Write(out);
  return ToBytes(out);
}

/// A stream that reads the given bytes (the vector must outlive it).
inline CMemStream ReadStream(Bytes& bytes) {
  return CMemStream(bytes.data(), static_cast<int32_t>(bytes.size()), false);
}

inline std::string Hex(const Bytes& bytes) {
  std::string out;
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    if (i > 0) out += (i % 16 == 0) ? "\n" : " ";
    out += buf;
  }
  return out;
}

/// Concatenates pieces: an id text, raw bytes, a big-endian 32-bit size.
class Builder {
 public:
  Builder& Text(const char* text) {
    while (*text) m_bytes.push_back(static_cast<uint8_t>(*text++));
    return *this;
  }
  Builder& Raw(std::initializer_list<uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes);
    return *this;
  }
  Builder& Raw(const Bytes& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Builder& BE32(uint32_t v) {
    return Raw({static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
  }
  /// A whole chunk: the 4-character id, the body's size and the body.
  Builder& Chunk(const char* id, const Bytes& body) {
    Text(id);
    BE32(static_cast<uint32_t>(body.size()));
    return Raw(body);
  }
  /// A chunk whose id is three characters and a number.
  Builder& Chunk(const char* id3, uint8_t n, const Bytes& body) {
    Text(id3);
    Raw({n});
    BE32(static_cast<uint32_t>(body.size()));
    return Raw(body);
  }
  Bytes Get() const { return m_bytes; }
  operator Bytes() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

inline constexpr int kNoThrow = 0x7FFFFFFF;

/// Runs f and returns the integer it threw, or kNoThrow when it threw nothing.
template <class F>
int ThrownCode(F&& f) {
  try {
    f();
  } catch (int e) {
    return e;
  }
  return kNoThrow;
}

}  // namespace velktest
