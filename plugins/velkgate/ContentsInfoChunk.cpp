// "CNTI": the contents class, type, code type, copy status and count, and an option text.
#include "plugins/velkgate/ContentsInfoChunk.h"

#include "plugins/velkgate/ByteHelpers.h"

namespace velkgate {

void CContentsInfoChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_class).WriteByte(m_type).WriteByte(m_codeType);
  stream.WriteByte(static_cast<uint8_t>(m_copyStatus | kCopyStatusFixedBits)).WriteByte(m_copyCount);
  if (!m_optionText.empty())
    stream.Write(m_optionText.data(), static_cast<uint32_t>(m_optionText.size()));
}

void CContentsInfoChunk::ReadBody(CMemStream& stream) {
  stream.ReadByte(m_class).ReadByte(m_type).ReadByte(m_codeType).ReadByte(m_copyStatus);
  stream.ReadByte(m_copyCount);
  m_copyStatus |= kCopyStatusFixedBits;
  m_optionText.clear();
  uint32_t n = stream.RemainingBytes();
  if (n > 0) AppendBytes(m_optionText, stream.GetCurrent(), n);
}

}  // namespace velkgate
