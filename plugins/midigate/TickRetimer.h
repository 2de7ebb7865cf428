// The song data's own time form, a division of 0 with FF 51 giving the microseconds of one
// tick, moved onto a grid of 480 ticks a quarter note at the song's device tempo.
#pragma once

#include <cstdint>

#include "song/TickFraction.h"

namespace midigate {

/// Maps source ticks, in order, onto the new grid. Every tick length and tempo change restarts
/// the segment at its own tick, so each event lands on the millisecond it had, within half a
/// new tick.
class CTickRetimer {
 public:
  static constexpr uint16_t kDivision = 480;

  /// The new tick of a source tick at or after the last change; fails when the song has ticks
  /// before any tick length is known.
  uint64_t ToNew(uint64_t tick) const;
  /// FF 51 of the song data: the microseconds of one source tick from `tick` on.
  void SetTickLength(uint64_t tick, uint32_t usPerTick);
  /// The device tempo, microseconds a quarter note, from `tick` on; 0 keeps the one in force.
  void SetTempo(uint64_t tick, uint32_t usPerQuarter);

 private:
  TickFraction At(uint64_t tick) const;
  void Restart(uint64_t tick);

  uint64_t m_segmentTick = 0;
  TickFraction m_segment;
  uint32_t m_usPerTick = 0;
  uint32_t m_tempo = 500000;
};

}  // namespace midigate
