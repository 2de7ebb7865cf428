// The raw chunk: the body lives in the chunk's own stream.
#include "song/RawChunk.h"

CRawChunk::CRawChunk(CMemStream& stream) : CChunk(0u) { Read(stream); }

void CRawChunk::WriteBody(CMemStream& stream) {
  if (m_bodyStream.GetSize() > 0)
    stream.Write(m_bodyStream.GetData(), static_cast<uint32_t>(m_bodyStream.GetSize()));
}

void CRawChunk::ReadBody(CMemStream& stream) {
  int32_t size = stream.GetSize();
  m_bodyStream.Attach(stream.Detach(), size);
}
