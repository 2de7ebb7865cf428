// An audio track "ATR" + n.
#include "velk/AudioTrackChunk.h"

CAudioTrackChunk::CAudioTrackChunk(CMemStream& stream, uint8_t n) : CChunk(stream), m_trackNumber(n) {}

uint16_t CAudioTrackChunk::GetHeaderWord() const {
  if (GetBodySize() < 4) return 0;
  return static_cast<uint16_t>((GetBody()[2] << 8) | GetBody()[3]);
}
