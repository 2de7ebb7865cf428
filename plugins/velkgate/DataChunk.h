// "Dch" + code: tagged entries of the contents information (tag, 16-bit length, value).
#pragma once

#include <cstdint>
#include <vector>

#include "song/Chunk.h"

namespace velkgate {

class CDataChunk : public CChunk {
 public:
  /// The code of the chunk that holds the fixed entries (ES, DV, A0, A2).
  static constexpr uint8_t kFixedCode = 0xFF;

  static uint32_t IdOfCode(uint8_t code) { return MakeNumberedChunkId('D', 'c', 'h', code); }
  static bool IsDataChunkId(uint32_t id) { return HasChunkPrefix(id, 'D', 'c', 'h'); }

  /// A chunk holding the entry bytes.
  CDataChunk(uint8_t code, const std::vector<uint8_t>& entries);
  /// Reads id, size and body; -48 when truncated.
  explicit CDataChunk(CMemStream& stream);

  uint8_t GetCode() const { return GetIdNumber(); }
};

}  // namespace velkgate
