// The base of every VELK chunk: a 4-byte id, a raw body and its size, framed big-endian.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "song/MemStream.h"

/// An id from its four characters; "MMMD" is 0x4D4D4D44.
constexpr uint32_t MakeChunkId(char a, char b, char c, char d) {
  return (uint32_t{static_cast<uint8_t>(a)} << 24) | (uint32_t{static_cast<uint8_t>(b)} << 16) |
         (uint32_t{static_cast<uint8_t>(c)} << 8) | uint32_t{static_cast<uint8_t>(d)};
}

/// An id of three characters and a number in the low byte ("MTR" + n).
constexpr uint32_t MakeNumberedChunkId(char a, char b, char c, uint8_t n) {
  return (MakeChunkId(a, b, c, '\0') & 0xFFFFFF00u) | n;
}

/// True when the top three bytes of the id are the three characters.
constexpr bool HasChunkPrefix(uint32_t id, char a, char b, char c) {
  return (id & 0xFFFFFF00u) == MakeChunkId(a, b, c, '\0');
}

/// The next chunk id, looked at in place. Throws -48 when fewer than four bytes are left.
uint32_t PeekChunkId(const CMemStream& stream);

class CChunk {
 public:
  /// An empty chunk to fill and write.
  explicit CChunk(uint32_t id);
  /// Reads id, size and body, kept raw. Throws -48 when the body runs past the stream (checked
  /// before anything is allocated), -108 when the body cannot be had.
  explicit CChunk(CMemStream& stream);
  CChunk(const CChunk&) = delete;
  CChunk& operator=(const CChunk&) = delete;
  virtual ~CChunk() = default;

  /// Id, a size placeholder, the body, then the size patched; the stream must be at its end.
  virtual void Write(CMemStream& stream);
  /// Reads id, size and body, then hands the body to ReadBody. Same errors as the constructor.
  virtual void Read(CMemStream& stream);
  /// Appends the body; the base writes the raw body buffer.
  virtual void WriteBody(CMemStream& stream);
  /// Takes the stream's buffer as the raw body.
  virtual void ReadBody(CMemStream& stream);

  /// Takes a std::malloc'ed buffer as the body; the chunk frees it.
  void SetBody(uint8_t* buffer, uint32_t size);
  /// Copies the bytes into a new body.
  void SetBodyCopy(const uint8_t* data, uint32_t size);

  uint32_t GetId() const { return m_id; }
  void SetId(uint32_t id) { m_id = id; }
  /// The number of an "MTR" + n style id: its low byte.
  uint8_t GetIdNumber() const { return static_cast<uint8_t>(m_id); }
  const uint8_t* GetBody() const { return m_body.get(); }
  uint8_t* GetBody() { return m_body.get(); }
  uint32_t GetBodySize() const { return m_bodySize; }

 protected:
  friend void SkipChunk(CMemStream& stream);
  /// Reads id and size and checks the size against the bytes left; returns the size.
  static uint32_t ReadHeader(CMemStream& stream, uint32_t& id);
  /// A std::malloc'ed copy of the next size bytes of the stream (null for 0).
  static uint8_t* ReadBodyBytes(CMemStream& stream, uint32_t size);

 protected:
  struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  /// A std::malloc'ed buffer, as bodies are.
  using BodyBuffer = std::unique_ptr<uint8_t, FreeDeleter>;

 private:
  uint32_t m_id;
  BodyBuffer m_body;
  uint32_t m_bodySize = 0;
};

/// Reads a chunk raw and drops it (used wherever a reader skips a chunk whole).
void SkipChunk(CMemStream& stream);
