// The "MMMG" chunk with its "INFO" and "SEQU" children.
#include "velk/MmmgChunk.h"

#include <algorithm>
#include <cstring>

CMmmgInfoChunk::CMmmgInfoChunk(CMemStream& stream) : CChunk(stream) {
  uint32_t n = std::min(GetBodySize(), kMaxText);
  if (n > 0) std::memcpy(m_text, GetBody(), n);
}

void CMmmgInfoChunk::WriteBody(CMemStream& stream) {
  stream.Write(m_text, static_cast<uint32_t>(std::strlen(m_text)));
}

CMmmgChunk::CMmmgChunk(CMemStream& stream) : CChunk(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_header[0]).ReadByte(m_header[1]);
  m_header[1] = kSecondHeaderByte;
  while (!body.AtEnd()) {
    uint32_t id = PeekChunkId(body);
    if (id == kIdINFO) {
      m_info = std::make_unique<CMmmgInfoChunk>(body);
    } else if (id == kIdVOIC) {
      m_voice = std::make_unique<CMmmgVoiceChunk>(body);
    } else if (id == kIdSEQU) {
      m_sequence = std::make_unique<CMmmgSequenceChunk>(body);
    } else {
      SkipChunk(body);
    }
  }
}

void CMmmgChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_header[0]).WriteByte(m_header[1]);
  if (m_info) m_info->Write(stream);
  if (m_voice) m_voice->Write(stream);
  if (m_sequence && m_sequence->GetBodySize() > 0) m_sequence->Write(stream);
}
