// The sequence chunk "Mtsq" of a score track, kept as its raw body.
#pragma once

#include "song/MemStream.h"
#include "song/Chunk.h"

inline constexpr uint32_t kIdMtsq = MakeChunkId('M', 't', 's', 'q');
/// The id of the empty placeholder a new track holds until its sequence is built.
inline constexpr uint32_t kIdMtsqPlaceholder = MakeChunkId('-', 't', 's', 'q');

class CScoreSequenceChunk : public CChunk {
 public:
  /// An empty chunk; with no id given it is the "-tsq" placeholder.
  explicit CScoreSequenceChunk(uint32_t id = kIdMtsqPlaceholder) : CChunk(id) {}
  /// Reads the chunk raw. Throws -48 when it runs past the stream.
  explicit CScoreSequenceChunk(CMemStream& stream) : CChunk(stream) {}
};
