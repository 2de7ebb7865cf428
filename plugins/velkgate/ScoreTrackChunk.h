// "MTR" + n: a score track, kept raw with its number and format byte.
#pragma once

#include <cstdint>

#include "song/Chunk.h"

namespace velkgate {

class CScoreTrackChunk : public CChunk {
 public:
  static uint32_t IdOfTrack(uint8_t n) { return MakeNumberedChunkId('M', 'T', 'R', n); }
  static bool IsScoreTrackId(uint32_t id) { return HasChunkPrefix(id, 'M', 'T', 'R'); }

  /// Reads the chunk raw; flags is the caller's warning word. -48 when truncated.
  CScoreTrackChunk(CMemStream& stream, uint32_t& flags);

  uint8_t GetTrackNumber() const { return GetIdNumber(); }
  /// The body's first byte; 0 for an empty body.
  uint8_t GetFormatType() const { return GetBodySize() > 0 ? GetBody()[0] : 0; }
};

}  // namespace velkgate
