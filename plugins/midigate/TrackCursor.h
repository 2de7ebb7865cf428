// One input track read event by event: position, bounds, running status and the next tick.
#pragma once

#include <cstdint>

namespace midigate {

inline constexpr uint8_t kStatusSysEx = 0xF0;
inline constexpr uint8_t kStatusEscape = 0xF7;
inline constexpr uint8_t kStatusMeta = 0xFF;

/// One event of an input track. The pointers look into the caller's source bytes.
struct SmfEvent {
  uint64_t tick = 0;       // absolute
  uint32_t track = 0;
  uint8_t status = 0;      // channel status, or F0, F7, FF
  uint8_t metaType = 0;    // meta events only
  const uint8_t* data = nullptr;  // channel: the data bytes; meta, SysEx: the body after its length
  uint32_t length = 0;            // number of bytes at data
  const uint8_t* raw = nullptr;   // SysEx and meta: the whole event from its status byte
  uint32_t rawLength = 0;

  bool IsChannel() const { return status < kStatusSysEx; }
  uint8_t Kind() const { return status & 0xF0; }
  uint8_t Channel() const { return status & 0x0F; }
  uint8_t Data1() const { return length > 0 ? data[0] : 0; }
  uint8_t Data2() const { return length > 1 ? data[1] : 0; }
  bool IsMeta(uint8_t type) const { return status == kStatusMeta && metaType == type; }
};

/// Reads one track chunk body. Every read stays inside [begin, end); anything that would cross
/// it, a data byte before any status, or a system message other than F0, F7 and FF fails.
class CTrackCursor {
 public:
  CTrackCursor(const uint8_t* begin, const uint8_t* end, uint32_t track);

  bool IsActive() const { return m_active; }
  /// Absolute tick of the next event (valid while active).
  uint64_t NextTick() const { return m_nextTick; }
  /// Delta time in front of the next event.
  uint32_t NextDelta() const { return m_delta; }

  /// Reads the next event and the delta behind it; the track ends after end of track or its data.
  void ReadEvent(SmfEvent& event);

 private:
  void ReadDelta();
  void ReadChannelData(SmfEvent& event, uint8_t status);
  void ReadLengthBody(SmfEvent& event, const uint8_t* start);

  const uint8_t* m_pos;
  const uint8_t* m_end;
  uint64_t m_nextTick = 0;
  uint32_t m_delta = 0;
  uint32_t m_track;
  uint8_t m_runningStatus = 0;  // 0: none yet
  bool m_active = true;
};

}  // namespace midigate
