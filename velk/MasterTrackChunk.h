// The master track "MSTR", kept with its raw body.
#pragma once

#include "song/MemStream.h"
#include "velk/Chunk.h"

inline constexpr uint32_t kIdMSTR = MakeChunkId('M', 'S', 'T', 'R');

class CMasterTrackChunk : public CChunk {
 public:
  explicit CMasterTrackChunk(CMemStream& stream);
};
