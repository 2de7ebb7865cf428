// The "CNTI" chunk, raw layer.
#include "velk/ContentsInfoChunk.h"

CContentsInfoChunk::CContentsInfoChunk() : CChunk(kIdCNTI) {}

int CContentsInfoChunk::GetGeneration() const {
  return m_contentsType < 0x30 ? (m_contentsType & 0x0F) + 1 : 3;
}

int CContentsInfoChunk::GetTypeIndex() const {
  return m_contentsType < 0x30 ? 0 : m_contentsType & 0x0F;
}

int CContentsInfoChunk::GetTypeGroup() const {
  return m_contentsType < 0x30 ? m_contentsType & 0xF0 : (m_contentsType & 0xF0) - 0x30;
}

uint8_t CContentsInfoChunk::CopyStatusFixedBits() const {
  return GetGeneration() == 3 ? 0xF8 : 0xFC;
}

void CContentsInfoChunk::Read(CMemStream& stream) {
  CChunk::Read(stream);
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  body.ReadByte(m_contentsClass).ReadByte(m_contentsType).ReadByte(m_codeType);
  body.ReadByte(m_copyStatus);
  m_copyStatus |= CopyStatusFixedBits();
  body.ReadByte(m_copyCount);
  if (!body.AtEnd()) m_optionText.Write(body.GetCurrent(), body.RemainingBytes());
}

void CContentsInfoChunk::WriteBody(CMemStream& stream) {
  stream.WriteByte(m_contentsClass).WriteByte(m_contentsType).WriteByte(m_codeType);
  stream.WriteByte(static_cast<uint8_t>(m_copyStatus | CopyStatusFixedBits()));
  stream.WriteByte(m_copyCount);
  if (m_optionText.GetSize() > 0) {
    stream.Write(m_optionText.GetData(), static_cast<uint32_t>(m_optionText.GetSize()));
  }
}
