// The encoder of the score stream: which events are written, and how.
#pragma once

#include <cstdint>
#include <vector>

#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/SeekRecord.h"

namespace velkgate {

class CScoreEncoder {
 public:
  static constexpr int kChannelCount = 16;
  static constexpr uint8_t kUnset = 0xFF;

  CScoreEncoder(CSeekRecord& seek, bool classOne) : m_seek(seek), m_classOne(classOne) {}

  /// Encodes the list in order and closes the stream. Throws -108 without memory, 999 when the
  /// event array cannot grow.
  void Encode(const CEventList& list);

  const std::vector<uint8_t>& GetStream() const { return m_out; }
  uint32_t GetLatestEnd() const { return m_latestEnd; }
  bool HasMasterByte() const { return m_masterByte != kUnset; }
  uint8_t GetMasterByte() const { return m_masterByte; }

 private:
  struct Channel {
    uint8_t lastVelocity = kUnset;
    uint8_t savedVelocity = kUnset;
    uint8_t pendingMsb = kUnset;
    uint8_t pendingLsb = kUnset;
    uint8_t rpnMsb = kUnset;
    uint8_t rpnLsb = kUnset;
    uint8_t pendingRange = kUnset;
    bool rangePending = false;
    uint8_t lastRange = kUnset;
  };

  void EncodeEvent(const CSeqEvent& e);
  void Marker(const CSeqEvent& e);
  void Note(const CSeqEvent& e, Channel& ch);
  void ControlChange(const CSeqEvent& e, Channel& ch);
  void ModeMessage(const CSeqEvent& e, Channel& ch, uint8_t controller, uint8_t value);
  void ProgramChange(const CSeqEvent& e, Channel& ch);
  void PitchBend(const CSeqEvent& e, Channel& ch);
  void SysEx(const CSeqEvent& e);
  void Close();

  /// The duration from the last written tick, then the bytes; the tick becomes the last.
  void Write(uint32_t tick, std::initializer_list<uint8_t> bytes);
  void Delta(uint32_t tick);
  void Started(uint32_t tick);
  static void ClearRpn(Channel& ch);

  CSeekRecord& m_seek;
  bool m_classOne;
  Channel m_channels[kChannelCount];
  uint8_t m_masterByte = kUnset;
  uint32_t m_latestEnd = 0;
  uint32_t m_latestStart = 0;
  uint32_t m_lastTick = 0;
  std::vector<uint8_t> m_out;
};

}  // namespace velkgate
