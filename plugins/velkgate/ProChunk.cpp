// "Pro" + 5: three 32-bit values and raw data, kept and written back as read.
#include "plugins/velkgate/ProChunk.h"

#include "plugins/velkgate/ByteHelpers.h"

namespace velkgate {

CProChunk::CProChunk(CMemStream& stream) : CChunk(kId) { Read(stream); }

void CProChunk::WriteBody(CMemStream& stream) {
  for (uint32_t v : m_values) stream.WriteBE32(v);
  if (!m_data.empty()) stream.Write(m_data.data(), static_cast<uint32_t>(m_data.size()));
}

void CProChunk::ReadBody(CMemStream& stream) {
  for (uint32_t& v : m_values) stream.ReadBE32(v);
  m_data.clear();
  uint32_t n = stream.RemainingBytes();
  if (n > 0) AppendBytes(m_data, stream.GetCurrent(), n);
}

}  // namespace velkgate
