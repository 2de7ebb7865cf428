// Moves event ticks onto another time grid across the song's tempo changes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plugins/velkgate/MidiList.h"
#include "song/TickFraction.h"

namespace velkgate {

class CTickRescaler {
 public:
  /// The target's units that one source tick lasts at a tempo, as the fraction mul / div.
  struct Rate {
    uint64_t mul;
    uint64_t div;
  };
  using RateOf = std::function<Rate(uint32_t tempo)>;

  /// Collects the tempo messages of the tick-ordered array that lie outside phrase sections.
  /// A target tick is the span from tick 0 divided by unitsPerTick, rounded once (add one half
  /// and truncate) from the exact value.
  CTickRescaler(const CEventArray& events, RateOf rate, uint64_t unitsPerTick);

  /// The first tempo message's tempo; 500000 when there is none or it is 0.
  uint32_t GetFirstTempo() const { return m_firstTempo; }
  /// The target start and end of the next event of the array; every event is given in array
  /// order, since a tempo message with a new tempo starts a new segment. The end counts every
  /// tempo change strictly inside the event at its own tempo; an event with a length never
  /// ends on its start.
  void Next(const CSeqEvent& event, uint32_t& start, uint32_t& end);

  /// The tempo of a tempo message outside a phrase section, or 0 for any other event.
  static uint32_t TempoOf(const CSeqEvent& event);

 private:
  struct Change {
    uint32_t tick;
    uint32_t tempo;
  };
  TickFraction After(const TickFraction& from, uint32_t ticks, uint32_t tempo) const;
  uint32_t ToTarget(const TickFraction& units) const;

  RateOf m_rate;
  uint64_t m_unitsPerTick;
  std::vector<Change> m_changes;
  uint32_t m_firstTempo;
  uint32_t m_tempo;
  uint32_t m_segmentTick = 0;
  TickFraction m_segmentUnits;
};

}  // namespace velkgate
