// An audio track "ATR" + n, kept with its raw body.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "velk/Chunk.h"

class CAudioTrackChunk : public CChunk {
 public:
  CAudioTrackChunk(CMemStream& stream, uint8_t n);

  uint8_t GetTrackNumber() const { return m_trackNumber; }
  /// Body bytes 2-3, big-endian (0 when the body is shorter).
  uint16_t GetHeaderWord() const;

 private:
  uint8_t m_trackNumber;
};
