// "Mssq": tempo, time signature, key signature and chord events of the master track.
#pragma once

#include <cstdint>

#include "plugins/velkgate/MidiList.h"
#include "song/Chunk.h"

namespace velkgate {

class CMasterSequenceChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 's', 's', 'q');

  /// An empty placeholder.
  CMasterSequenceChunk() : CChunk(kId) {}
  /// Encodes the master list; events it cannot carry are left out. Throws -108 without memory.
  explicit CMasterSequenceChunk(const CEventList& masterList);
  /// Reads id, size and body as stored; -48 when truncated.
  explicit CMasterSequenceChunk(CMemStream& stream);

  /// Appends the decoded events (tick = end tick, cue code 0). Out-of-range messages are
  /// dropped; an event cut off by the end of the data throws -48.
  void DecodeMasterSequence(CEventList& out) const;
};

}  // namespace velkgate
