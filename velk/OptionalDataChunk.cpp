// The "OPDA" chunk with its "Dch" and "Pro" children.
#include "velk/OptionalDataChunk.h"

#include <utility>

namespace {

constexpr uint8_t kProCode = 0x05;

void WriteStreamBytes(CMemStream& out, const CMemStream& data) {
  if (data.GetSize() > 0) out.Write(data.GetData(), static_cast<uint32_t>(data.GetSize()));
}

}  // namespace

CDataChunk::CDataChunk(uint8_t code) : CChunk(MakeNumberedChunkId('D', 'c', 'h', code)), m_code(code) {}

CDataChunk::CDataChunk(CMemStream& stream, uint8_t code) : CChunk(stream), m_code(code) {
  if (GetBodySize() > 0) m_data.Write(GetBody(), GetBodySize());
}

void CDataChunk::WriteBody(CMemStream& stream) { WriteStreamBytes(stream, m_data); }

CProChunk::CProChunk() : CChunk(MakeNumberedChunkId('P', 'r', 'o', kProCode)) {}

CProChunk::CProChunk(CMemStream& stream) : CChunk(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadBE32(m_values[0]).ReadBE32(m_values[1]).ReadBE32(m_values[2]);
  if (!body.AtEnd()) m_data.Write(body.GetCurrent(), body.RemainingBytes());
}

void CProChunk::WriteBody(CMemStream& stream) {
  for (uint32_t value : m_values) stream.WriteBE32(value);
  WriteStreamBytes(stream, m_data);
}

COptionalDataChunk::COptionalDataChunk() : CChunk(kIdOPDA) {}

void COptionalDataChunk::SetDataChunk(std::unique_ptr<CDataChunk> chunk) {
  if (chunk && chunk->GetCode() == 0xFF) {
    m_dataChunkFF = std::move(chunk);
  } else {
    m_dataChunk = std::move(chunk);
  }
}

void COptionalDataChunk::SetProChunk(std::unique_ptr<CProChunk> chunk) { m_proChunk = std::move(chunk); }

void COptionalDataChunk::Read(CMemStream& stream) {
  CChunk::Read(stream);
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  while (!body.AtEnd()) {
    uint32_t id = PeekChunkId(body);
    if (HasChunkPrefix(id, 'D', 'c', 'h')) {
      // A later data chunk replaces the earlier one of its slot, whatever its code.
      SetDataChunk(std::make_unique<CDataChunk>(body, static_cast<uint8_t>(id)));
    } else if (id == MakeNumberedChunkId('P', 'r', 'o', kProCode)) {
      m_proChunk = std::make_unique<CProChunk>(body);
    } else {
      SkipChunk(body);
    }
  }
}

void COptionalDataChunk::WriteBody(CMemStream& stream) {
  if (m_dataChunk) m_dataChunk->Write(stream);
  if (m_dataChunkFF) m_dataChunkFF->Write(stream);
  if (m_proChunk) m_proChunk->Write(stream);
}
