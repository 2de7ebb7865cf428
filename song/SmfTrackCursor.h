// One track of an SMF image being walked: its read position, next tick and running status.
#pragma once

#include <cstdint>

/// One event as the walkers see it. Pointers point into the caller's image.
struct SmfEvent {
  uint32_t tick = 0;
  uint32_t delta = 0;  // ticks since the track's previous event
  uint32_t track = 0;
  uint8_t status = 0;  // with running status applied
  uint8_t metaType = 0;
  bool runningStatus = false;      // the stored event lacks its status byte
  const uint8_t* stored = nullptr; // the event's bytes as stored in the track
  uint32_t storedSize = 0;
  const uint8_t* data = nullptr;   // channel: the data bytes; meta and SysEx: after the length
  uint32_t dataSize = 0;

  bool IsChannel() const { return status < 0xF0; }
  bool IsMeta() const { return status == 0xFF; }
  bool IsSysEx() const { return status == 0xF0; }
  uint8_t Kind() const { return status & 0xF0; }
  uint8_t Channel() const { return status & 0x0F; }
  uint8_t Data1() const { return dataSize > 0 ? data[0] : 0; }
  uint8_t Data2() const { return dataSize > 1 ? data[1] : 0; }
  /// Bytes of a channel event with its status: 3, or 2 for program change and channel pressure.
  uint32_t ChannelSize() const { return dataSize + 1; }
  /// A note on with velocity 0 or a note off.
  bool IsNoteRelease() const { return Kind() == 0x80 || (Kind() == 0x90 && Data2() == 0); }
  bool IsNoteOn() const { return Kind() == 0x90 && Data2() != 0; }
};

class CSmfTrackCursor {
 public:
  CSmfTrackCursor() = default;
  virtual ~CSmfTrackCursor() = default;

  /// Sets the cursor on a track's data and reads its first delta time. An empty track is
  /// inactive at once. Throws kSmfMalformed.
  void Start(const uint8_t* data, const uint8_t* end, uint32_t track);
  /// Reads the event at the position into `event` and moves past it; then reads the next delta
  /// time, or ends the track at the end of its data. A channel event whose data byte has bit 7
  /// set is the broken end of its track: the track ends there and false is returned (no event).
  /// Throws kSmfMalformed.
  bool ReadEvent(SmfEvent& event);
  /// Ends the track early (the rest of its data is not read).
  void End() { m_active = false; }

  bool IsActive() const { return m_active; }
  uint32_t GetTick() const { return m_tick; }
  uint8_t GetRunningStatus() const { return m_runningStatus; }
  const uint8_t* GetPosition() const { return m_position; }
  const uint8_t* GetEnd() const { return m_end; }

  /// Ticks that the channel split still owes the output before this track's next written event.
  uint32_t GetPendingDelta() const { return m_pendingDelta; }
  void SetPendingDelta(uint32_t ticks) { m_pendingDelta = ticks; }

 private:
  void ReadDelta();

  const uint8_t* m_position = nullptr;
  const uint8_t* m_end = nullptr;
  uint32_t m_tick = 0;
  uint32_t m_delta = 0;
  uint32_t m_track = 0;
  uint8_t m_runningStatus = 0;
  bool m_active = false;
  uint32_t m_pendingDelta = 0;
};
