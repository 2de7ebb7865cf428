// "OPDA": the data chunk with a text code, the data chunk 0xFF and the "Pro" chunk.
#include "plugins/velkgate/OptionalDataChunk.h"

namespace velkgate {

void COptionalDataChunk::WriteBody(CMemStream& stream) {
  if (m_coded) m_coded->Write(stream);
  if (m_fixed) m_fixed->Write(stream);
  if (m_pro) m_pro->Write(stream);
}

void COptionalDataChunk::ReadBody(CMemStream& stream) {
  while (!stream.AtEnd()) {
    uint32_t id = PeekChunkId(stream);
    if (CDataChunk::IsDataChunkId(id)) {
      auto chunk = std::make_unique<CDataChunk>(stream);
      bool fixed = chunk->GetCode() == CDataChunk::kFixedCode;
      SetDataChunk(fixed, std::move(chunk));
    } else if (id == CProChunk::kId) {
      m_pro = std::make_unique<CProChunk>(stream);
    } else {
      SkipChunk(stream);
    }
  }
}

void COptionalDataChunk::SetDataChunk(bool fixed, std::unique_ptr<CDataChunk> chunk) {
  (fixed ? m_fixed : m_coded) = std::move(chunk);
}

}  // namespace velkgate
