// "CNTI": the contents class, type, code type, copy status and count, and an option text.
#pragma once

#include <cstdint>
#include <vector>

#include "song/Chunk.h"

namespace velkgate {

class CContentsInfoChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('C', 'N', 'T', 'I');
  /// Bits the copy status always carries when read or written.
  static constexpr uint8_t kCopyStatusFixedBits = 0xF8;

  /// Class 0, type 0, code type 0, copy status 0xFF, copy count 0, no option text.
  CContentsInfoChunk() : CChunk(kId) {}

  void WriteBody(CMemStream& stream) override;
  /// Throws -48 for a body shorter than its five header bytes.
  void ReadBody(CMemStream& stream) override;

  uint8_t GetContentsClass() const { return m_class; }
  void SetContentsClass(uint8_t v) { m_class = v; }
  uint8_t GetContentsType() const { return m_type; }
  void SetContentsType(uint8_t v) { m_type = v; }
  uint8_t GetCodeType() const { return m_codeType; }
  void SetCodeType(uint8_t v) { m_codeType = v; }
  uint8_t GetCopyStatus() const { return m_copyStatus; }
  void SetCopyStatus(uint8_t v) { m_copyStatus = v; }
  uint8_t GetCopyCount() const { return m_copyCount; }
  void SetCopyCount(uint8_t v) { m_copyCount = v; }
  const std::vector<uint8_t>& GetOptionText() const { return m_optionText; }
  void SetOptionText(std::vector<uint8_t> text) { m_optionText = std::move(text); }

 private:
  uint8_t m_class = 0;
  uint8_t m_type = 0;
  uint8_t m_codeType = 0;
  uint8_t m_copyStatus = 0xFF;
  uint8_t m_copyCount = 0;
  std::vector<uint8_t> m_optionText;
};

}  // namespace velkgate
