// A bounded reader of the events of one Standard MIDI File track.
#pragma once

#include <cstddef>
#include <cstdint>

namespace polyscan {

/// One event as it stands in the track. Channel messages carry the status that applies
/// (running status already resolved); SysEx and meta events point into the track.
struct TrackEvent {
  uint32_t delta = 0;
  uint8_t status = 0;    // 0x80..0xEF channel, 0xF0/0xF7 SysEx, 0xFF meta, 0xF1..0xF3 system
  uint8_t metaType = 0;  // meta events only
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  const uint8_t* body = nullptr;  // SysEx bytes after the length, or the meta data
  uint32_t length = 0;            // of body

  bool IsChannelMessage() const { return status >= 0x80 && status < 0xF0; }
  uint8_t Channel() const { return status & 0x0F; }
  uint8_t Command() const { return status & 0xF0; }
};

/// Every read is checked against the track's end: a length or event that runs past it
/// throws CheckFailure{CNVERR_FAILED}, never reads beyond.
class TrackReader {
 public:
  TrackReader(const uint8_t* begin, size_t size) : m_begin(begin), m_size(size) {}

  bool AtEnd() const { return m_pos >= m_size; }
  size_t Offset() const { return m_pos; }

  /// The next event; throws CheckFailure when it is cut off or malformed.
  TrackEvent Next();

 private:
  uint8_t ReadByte();
  uint8_t ReadDataByte();
  uint32_t ReadVarLen();
  const uint8_t* Take(uint32_t n);
  void ReadChannelMessage(uint8_t status, TrackEvent& ev);

  const uint8_t* m_begin;
  size_t m_size;
  size_t m_pos = 0;
  uint8_t m_runningStatus = 0;
};

}  // namespace polyscan
