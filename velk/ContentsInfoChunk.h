// The "CNTI" chunk: five header bytes and the option text of tagged items ("ST:title,").
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/Chunk.h"

class CContentsInfo;

inline constexpr uint32_t kIdCNTI = MakeChunkId('C', 'N', 'T', 'I');

/// Thrown (as an int) by ParseBody for an item tagged K3, DV or with an unknown tag.
inline constexpr int kErrUnknownContentsItem = -1;

class CContentsInfoChunk : public CChunk {
 public:
  /// Longest value the parser keeps, in bytes.
  static constexpr uint32_t kMaxValue = 255;

  CContentsInfoChunk();

  /// Reads the chunk whatever its id; the option text is replaced by the bytes behind the
  /// header. Throws -48 for a body shorter than five bytes.
  void Read(CMemStream& stream) override;
  void WriteBody(CMemStream& stream) override;

  /// Below 0x30 the type's low nibble + 1, from 0x30 on 3.
  int GetGeneration() const;
  /// 0 below 0x30, else the type's low nibble.
  int GetTypeIndex() const;
  /// The type's high nibble below 0x30, else that nibble less 0x30.
  int GetTypeGroup() const;

  /// Fills the record from the header and the option text. Throws -1 at an item tagged K3, DV
  /// or with an unknown tag (the record keeps what was stored before it).
  void ParseBody(CContentsInfo& record) const;
  /// Sets the header from the record and, when any text is set, a new option text with
  /// ',' and '\' escaped.
  void BuildBody(const CContentsInfo& record);

  /// The index of a two-letter tag in the tag table, -1 when absent.
  static int LookupTag(uint8_t first, uint8_t second);

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
