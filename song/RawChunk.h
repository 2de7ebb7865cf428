// A chunk kept as bytes: its body in a memory stream and a 32-bit value beside it.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/Chunk.h"

class CRawChunk : public CChunk {
 public:
  /// An empty chunk to fill and write.
  explicit CRawChunk(uint32_t id) : CChunk(id) {}
  /// Reads id, size and body (same errors as CChunk::Read).
  explicit CRawChunk(CMemStream& stream);

  void WriteBody(CMemStream& stream) override;
  /// Takes the body into the chunk's own stream.
  void ReadBody(CMemStream& stream) override;

  uint32_t GetValue() const { return m_value; }
  void SetValue(uint32_t value) { m_value = value; }
  /// The body as a stream: read it, or append to it before Write.
  CMemStream& GetBody() { return m_bodyStream; }
  const CMemStream& GetBody() const { return m_bodyStream; }

 private:
  uint32_t m_value = 0;
  CMemStream m_bodyStream;
};
