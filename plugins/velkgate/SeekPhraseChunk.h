// "MspI": the start, stop and phrase points of a score sequence as byte offsets.
#pragma once

#include <cstdint>

#include "plugins/velkgate/SeekRecord.h"
#include "song/Chunk.h"

namespace velkgate {

class CSeekPhraseChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 's', 'p', 'I');

  /// Builds the body from the record: each phrase ends where the next begins, the last at the
  /// record's end offset.
  explicit CSeekPhraseChunk(const CSeekRecord& record);
  /// Reads and parses "MspI"; unknown entries are skipped. -48 when truncated.
  explicit CSeekPhraseChunk(CMemStream& stream);

  void ReadBody(CMemStream& stream) override;

  /// The points as a new record (its end offset stays unset).
  CSeekRecord CopyToRecord() const;
  const CSeekRecord& GetPoints() const { return m_points; }

 private:
  CSeekRecord m_points;
};

}  // namespace velkgate
