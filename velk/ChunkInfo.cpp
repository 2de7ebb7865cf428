// A wave chunk "Awa" + n of an audio track.
#include "velk/ChunkInfo.h"

CChunkInfo::CChunkInfo(uint8_t kind, const uint8_t* data, uint32_t size)
    : CChunk(MakeNumberedChunkId('A', 'w', 'a', kind)), m_kind(kind), m_size(size) {
  SetBodyCopy(data, size);
  if (size > 0) m_data.Write(data, size);
}

CChunkInfo::CChunkInfo(CMemStream& stream)
    : CChunk(stream), m_kind(GetIdNumber()), m_size(GetBodySize()) {
  if (m_size > 0) m_data.Write(GetBody(), m_size);
}
