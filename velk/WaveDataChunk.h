// A numbered wave chunk "Mwa" + n of a stream-PCM chunk: format, rate and wave bytes.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/Chunk.h"

class CWaveDataChunk : public CChunk {
 public:
  /// Reads the chunk; a body shorter than its 3-byte header holds no wave (format and rate 0).
  /// The body is written back as it was read. Throws -48 when it runs past the stream.
  explicit CWaveDataChunk(CMemStream& stream);

  uint8_t GetNumber() const { return m_number; }
  void SetNumber(uint8_t number) { m_number = number; }
  uint32_t GetWaveSize() const { return m_waveSize; }
  uint8_t GetFormat() const { return m_format; }
  uint16_t GetRate() const { return m_rate; }
  const CMemStream& GetWaveData() const { return m_wave; }

 private:
  uint8_t m_number = 0;
  uint32_t m_waveSize = 0;
  uint8_t m_format = 0;
  uint16_t m_rate = 0;
  CMemStream m_wave;
};
