// "MSTR": the master track, four header bytes, optional data and its "Mssq" sequence.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "plugins/velkgate/MasterSequenceChunk.h"
#include "song/Chunk.h"

namespace velkgate {

class CMasterTrackChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 'S', 'T', 'R');

  /// A new track with an empty "Mssq" placeholder.
  CMasterTrackChunk(uint8_t format, uint8_t byte1, uint8_t timeBase, uint8_t dataLength,
                    const uint8_t* data);
  /// Reads and parses "MSTR": a non-zero format skips every child, else "Mssq" is kept.
  /// Throws -48 when truncated, -108 without memory.
  explicit CMasterTrackChunk(CMemStream& stream);

  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;

  uint8_t GetFormat() const { return m_format; }
  uint8_t GetTimeBase() const { return m_timeBase; }
  const std::vector<uint8_t>& GetData() const { return m_data; }
  /// The sequence, or null when the track read has none.
  CMasterSequenceChunk* GetSequence() const { return m_sequence.get(); }
  void SetSequence(std::unique_ptr<CMasterSequenceChunk> sequence) {
    m_sequence = std::move(sequence);
  }

 private:
  uint8_t m_format = 0;
  uint8_t m_byte1 = 0;
  uint8_t m_timeBase = 0;
  std::vector<uint8_t> m_data;
  std::unique_ptr<CMasterSequenceChunk> m_sequence;
};

}  // namespace velkgate
