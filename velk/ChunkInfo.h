// A wave chunk "Awa" + n of an audio track, and the wave record it is built from.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/Chunk.h"

class CChunkInfo : public CChunk {
 public:
  /// A wave record or chunk: id "Awa" + kind, body and data both a copy of the bytes.
  CChunkInfo(uint8_t kind, const uint8_t* data, uint32_t size);
  /// Reads "Awa" + n raw; the kind is the id's last byte. Throws -48 when it runs past the stream.
  explicit CChunkInfo(CMemStream& stream);

  uint8_t GetKind() const { return m_kind; }
  void SetKind(uint8_t kind) { m_kind = kind; }
  uint32_t GetSize() const { return m_size; }
  const CMemStream& GetData() const { return m_data; }

 private:
  uint8_t m_kind;
  uint32_t m_size;
  CMemStream m_data;
};
