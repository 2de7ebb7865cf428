// The sequence chunk "Atsq" of an audio track, kept as its raw body.
#pragma once

#include "song/MemStream.h"
#include "song/Chunk.h"

inline constexpr uint32_t kIdAtsq = MakeChunkId('A', 't', 's', 'q');
/// The id of the empty placeholder a new track holds until its sequence is built.
inline constexpr uint32_t kIdAtsqPlaceholder = MakeChunkId('+', 't', 's', 'q');

class CAudioSequenceChunk : public CChunk {
 public:
  /// An empty chunk; with no id given it is the "+tsq" placeholder.
  explicit CAudioSequenceChunk(uint32_t id = kIdAtsqPlaceholder) : CChunk(id) {}
  /// Reads the chunk raw. Throws -48 when it runs past the stream.
  explicit CAudioSequenceChunk(CMemStream& stream) : CChunk(stream) {}
};
