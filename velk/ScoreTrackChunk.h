// A score track "MTR" + n, kept with its raw body.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "velk/Chunk.h"

class CScoreTrackChunk : public CChunk {
 public:
  /// Reads the track raw. The report word is not used yet.
  CScoreTrackChunk(CMemStream& stream, uint8_t n, uint32_t* report);

  uint8_t GetTrackNumber() const { return m_trackNumber; }
  /// The first body byte (0 for an empty body).
  uint8_t GetFormatType() const { return GetBodySize() > 0 ? GetBody()[0] : 0; }

 private:
  uint8_t m_trackNumber;
};
