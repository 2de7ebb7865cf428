// The "MMMG" chunk: read and kept so such files load quietly, never written.
#pragma once

#include "song/MemStream.h"
#include "velk/Chunk.h"

inline constexpr uint32_t kIdMMMG = MakeChunkId('M', 'M', 'M', 'G');

class CMmmgChunk : public CChunk {
 public:
  explicit CMmmgChunk(CMemStream& stream);
};
