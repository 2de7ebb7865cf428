// The master track "MSTR".
#include "velk/MasterTrackChunk.h"

CMasterTrackChunk::CMasterTrackChunk(CMemStream& stream) : CChunk(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_format).ReadByte(m_byte1).ReadByte(m_byte2).ReadByte(m_extraCount);
  if (m_extraCount > 0) {
    if (m_extraCount > body.RemainingBytes()) throw kErrEndOfData;
    m_extra.Write(body.GetCurrent(), m_extraCount);
    body.Seek(1, m_extraCount);
  }
  while (!body.AtEnd()) {
    if (m_format == 0 && PeekChunkId(body) == kIdMssq) {
      m_sequence = std::make_unique<CMasterSequenceChunk>(body);
    } else {
      SkipChunk(body);
    }
  }
}

void CMasterTrackChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_format).WriteByte(m_byte1).WriteByte(m_byte2).WriteByte(m_extraCount);
  if (m_extra.GetSize() > 0) stream.Write(m_extra.GetData(), static_cast<uint32_t>(m_extra.GetSize()));
  if (m_sequence) m_sequence->Write(stream);
}
