// The "CNTI" chunk: five header bytes and the option text of tagged items, kept raw.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "velk/Chunk.h"

inline constexpr uint32_t kIdCNTI = MakeChunkId('C', 'N', 'T', 'I');

class CContentsInfoChunk : public CChunk {
 public:
  CContentsInfoChunk();

  /// Reads the chunk whatever its id; throws -48 for a body shorter than five bytes.
  void Read(CMemStream& stream) override;
  void WriteBody(CMemStream& stream) override;

  /// Below 0x30 the type's low nibble + 1, from 0x30 on 3.
  int GetGeneration() const;
  /// 0 below 0x30, else the type's low nibble.
  int GetTypeIndex() const;
  /// The type's high nibble below 0x30, else that nibble less 0x30.
  int GetTypeGroup() const;

  uint8_t GetContentsClass() const { return m_contentsClass; }
  void SetContentsClass(uint8_t value) { m_contentsClass = value; }
  uint8_t GetContentsType() const { return m_contentsType; }
  void SetContentsTypeByte(uint8_t value) { m_contentsType = value; }
  uint8_t GetCodeType() const { return m_codeType; }
  void SetCodeType(uint8_t value) { m_codeType = value; }
  uint8_t GetCopyStatus() const { return m_copyStatus; }
  void SetCopyStatus(uint8_t value) { m_copyStatus = value; }
  uint8_t GetCopyCount() const { return m_copyCount; }
  void SetCopyCount(uint8_t value) { m_copyCount = value; }
  CMemStream& GetOptionText() { return m_optionText; }
  const CMemStream& GetOptionText() const { return m_optionText; }

 private:
  /// The bits that are always set in the stored copy status of this generation.
  uint8_t CopyStatusFixedBits() const;

  uint8_t m_contentsClass = 0;
  uint8_t m_contentsType = 0;
  uint8_t m_codeType = 0;
  uint8_t m_copyStatus = 0xFF;
  uint8_t m_copyCount = 0;
  CMemStream m_optionText;
};
