// Walks the tracks of a Standard MIDI File in merged order: by tick, then track, then file order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkgate {

/// One event as the walker hands it out; the pointers point into the caller's bytes.
struct SmfWalkEvent {
  uint32_t tick = 0;
  int track = 0;
  /// Resolved status: 0x80..0xEF, 0xF0, 0xF7 or 0xFF.
  uint8_t status = 0;
  /// The meta type of an FF event.
  uint8_t metaType = 0;
  /// The bytes after the status as they stand in the file: data bytes of a channel message,
  /// type + length + data of a meta event, length + data of a SysEx.
  const uint8_t* body = nullptr;
  uint32_t bodySize = 0;
  /// The data after the length of a meta or SysEx event (the data bytes of a channel message).
  const uint8_t* data = nullptr;
  uint32_t dataSize = 0;
  /// The length field of a meta or SysEx event.
  uint32_t declaredLength = 0;
  /// True when the track ended with this event (end-of-track or the end of its data).
  bool endsTrack = false;

  bool IsMeta() const { return status == 0xFF; }
  bool IsSysEx() const { return status == 0xF0 || status == 0xF7; }
  /// Status plus body: the event as the song lists keep it.
  uint32_t StoredSize() const { return 1 + bodySize; }
  void CopyStored(uint8_t* out) const;
};

class CSmfTrackWalker {
 public:
  /// Checks the header and finds the tracks. Throws 0 for fewer than 14 bytes, no "MThd", a
  /// format above 1 or a track without "MTrk"; -48 when a track header runs past the bytes.
  /// A track's data ends at its declared end or the end of the bytes, whichever comes first.
  CSmfTrackWalker(const uint8_t* smf, uint32_t size);

  uint16_t GetFormat() const { return m_format; }
  uint16_t GetTrackCount() const { return m_trackCount; }
  uint16_t GetDivision() const { return m_division; }

  /// Starts again at the first event.
  void Rewind();
  /// The next event in merged order; false when every track has ended. Throws 0 for a data
  /// byte without running status, -48 for an event that runs past its track.
  bool Next(SmfWalkEvent& out);
  /// The tick of the round in progress (the global tick).
  uint32_t GetGlobalTick() const { return static_cast<uint32_t>(m_globalTick); }
  /// Rounds started since the last Rewind: each takes at least one event, so a long silence
  /// costs one round, not one per tick.
  uint64_t GetRounds() const { return m_rounds; }

 private:
  struct Track {
    const uint8_t* start = nullptr;
    const uint8_t* end = nullptr;
    const uint8_t* cursor = nullptr;
    uint64_t nextTick = 0;
    uint8_t runningStatus = 0;
    bool active = false;
    uint32_t lastTick = 0;
  };

  void ReadEvent(Track& track, SmfWalkEvent& out);
  void ReadNextDelta(Track& track);
  bool StartRound();

  const uint8_t* m_smf;
  uint32_t m_size;
  uint16_t m_format = 0;
  uint16_t m_trackCount = 0;
  uint16_t m_division = 0;
  std::vector<Track> m_tracks;
  uint64_t m_globalTick = 0;
  size_t m_current = 0;
  bool m_inRound = false;
  uint64_t m_rounds = 0;
};

}  // namespace velkgate
