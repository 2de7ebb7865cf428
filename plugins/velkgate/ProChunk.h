// "Pro" + 5: three 32-bit values and raw data, kept and written back as read.
#pragma once

#include <cstdint>
#include <vector>

#include "song/Chunk.h"

namespace velkgate {

class CProChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeNumberedChunkId('P', 'r', 'o', 0x05);

  CProChunk() : CChunk(kId) {}
  /// Reads id, size and body; -48 when truncated or shorter than the three values.
  explicit CProChunk(CMemStream& stream);

  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;

  uint32_t GetValue(int i) const { return (i >= 0 && i < 3) ? m_values[i] : 0; }
  void SetValue(int i, uint32_t v) {
    if (i >= 0 && i < 3) m_values[i] = v;
  }
  const std::vector<uint8_t>& GetData() const { return m_data; }

 private:
  uint32_t m_values[3] = {0, 0, 0};
  std::vector<uint8_t> m_data;
};

}  // namespace velkgate
