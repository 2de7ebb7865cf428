// "Mtsq": the score sequence of a track, plain or Huffman-coded, and the encoder that builds it.
#pragma once

#include <cstdint>

#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/SeekRecord.h"
#include "song/Chunk.h"

namespace velkgate {

class CScoreSequenceChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 't', 's', 'q');
  static constexpr uint8_t kDefaultMasterByte = 100;
  static constexpr int kChannelCount = 16;
  static constexpr uint8_t kNoProgram = 0xFF;

  /// Encodes the score list into the stream, records seek and phrase offsets in seek, and
  /// codes the stream when compress is set. classOne selects the contents-class-1 rules.
  /// Throws -108 without memory, 999 when the event array cannot grow.
  CScoreSequenceChunk(const CEventList& scoreList, CSeekRecord& seek, bool compress,
                      bool classOne);
  /// Reads id, size and body as stored; -48 when truncated, -108 without memory.
  explicit CScoreSequenceChunk(CMemStream& stream);
  /// A chunk over already expanded stream bytes.
  CScoreSequenceChunk(const uint8_t* stream, uint32_t n);

  /// The latest end time of the encoded list, in ticks.
  uint32_t GetSequenceLength() const { return m_length; }
  /// The decoder's tick of the end of sequence: the song's length past its last event.
  void SetSequenceLength(uint32_t ticks) { m_length = ticks; }
  uint8_t GetMasterByte() const { return m_masterByte; }
  void SetMasterByte(uint8_t v) { m_masterByte = v; }
  /// The last program of a channel as decoded; 0xFF when none.
  uint8_t GetProgram(int channel) const {
    return (channel >= 0 && channel < kChannelCount) ? m_programs[channel] : kNoProgram;
  }
  void SetProgram(int channel, uint8_t program) {
    if (channel >= 0 && channel < kChannelCount) m_programs[channel] = program;
  }
  /// Channel statuses and count that a compact track is given before it is decoded.
  void SetChannelStatus(const uint8_t (&status)[kChannelCount], uint8_t count);
  uint8_t GetChannelStatus(int channel) const {
    return (channel >= 0 && channel < kChannelCount) ? m_status[channel] : 0;
  }
  uint8_t GetChannelCount() const { return m_channelCount; }

 private:
  uint32_t m_length = 0;
  uint8_t m_masterByte = kDefaultMasterByte;
  uint8_t m_programs[kChannelCount];
  uint8_t m_status[kChannelCount] = {};
  uint8_t m_channelCount = 0;
};

}  // namespace velkgate
