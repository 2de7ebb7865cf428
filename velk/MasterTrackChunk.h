// The master track "MSTR": header, extra bytes and one master sequence "Mssq".
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/Chunk.h"

inline constexpr uint32_t kIdMSTR = MakeChunkId('M', 'S', 'T', 'R');
inline constexpr uint32_t kIdMssq = MakeChunkId('M', 's', 's', 'q');

/// "Mssq", kept as its raw body.
class CMasterSequenceChunk : public CChunk {
 public:
  explicit CMasterSequenceChunk(CMemStream& stream) : CChunk(stream) {}
};

class CMasterTrackChunk : public CChunk {
 public:
  /// Reads the track; with format byte 0 the last "Mssq" is kept, every other child dropped.
  /// Throws -48 for a body or child that runs past its end.
  explicit CMasterTrackChunk(CMemStream& stream);

  /// The four header bytes, the extra bytes and the "Mssq" when there is one.
  void WriteBody(CMemStream& stream) override;

  uint8_t GetFormat() const { return m_format; }
  uint8_t GetHeaderByte1() const { return m_byte1; }
  uint8_t GetHeaderByte2() const { return m_byte2; }
  uint8_t GetExtraCount() const { return m_extraCount; }
  const CMemStream& GetExtraBytes() const { return m_extra; }
  CMasterSequenceChunk* GetSequenceChunk() const { return m_sequence.get(); }

 private:
  uint8_t m_format = 0;
  uint8_t m_byte1 = 0;
  uint8_t m_byte2 = 0;
  uint8_t m_extraCount = 0;
  CMemStream m_extra;
  std::unique_ptr<CMasterSequenceChunk> m_sequence;
};
