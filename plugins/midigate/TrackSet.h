// The header of an input Standard MIDI File and its tracks merged into one stream of events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/midigate/TrackCursor.h"

namespace midigate {

/// The "MThd" chunk of a source.
struct SourceHeader {
  uint8_t formatHigh = 0;
  uint8_t formatLow = 0;
  uint16_t trackCount = 0;
  uint16_t division = 0;
  uint32_t firstTrack = 0;  // offset of the first track chunk

  uint16_t Format() const { return static_cast<uint16_t>((formatHigh << 8) | formatLow); }
};

/// Reads the header: fewer than 14 bytes, no "MThd" or a header length that does not fit the
/// source fail (CNVERR_FAILED). The format is left to the caller.
SourceHeader ReadSourceHeader(const uint8_t* source, uint32_t size);

/// The declared tracks, each with its own cursor, merged by tick: the smallest due tick first,
/// events of one tick in track order, and within a track in file order.
class CTrackSet {
 public:
  /// Locates every track the header declares; a missing "MTrk" or a track that runs past the
  /// source fails (CNVERR_FAILED).
  CTrackSet(const uint8_t* source, uint32_t size, const SourceHeader& header);

  /// The next event of the merged stream; false when every track has ended.
  bool Next(SmfEvent& event);

 private:
  bool AdvanceTick();

  std::vector<CTrackCursor> m_cursors;
  uint64_t m_tick = 0;
  size_t m_visit = 0;  // the track being visited at m_tick
  bool m_started = false;
};

/// Feeds the merged stream to a handler's OnChannel, OnMeta and OnSysEx. F0 and F7 messages
/// alike are SysEx with their own length: a message sent in F7 form is read as the F0 form is.
template <typename Handler>
void DispatchEvents(CTrackSet& tracks, Handler& handler) {
  SmfEvent event;
  while (tracks.Next(event)) {
    if (event.IsChannel()) {
      handler.OnChannel(event);
    } else if (event.status == kStatusMeta) {
      handler.OnMeta(event);
    } else if (event.status == kStatusSysEx || event.status == kStatusEscape) {
      handler.OnSysEx(event);
    }
  }
}

}  // namespace midigate
