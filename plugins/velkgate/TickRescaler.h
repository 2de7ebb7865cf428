// Moves event ticks onto another time grid across the song's tempo changes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plugins/velkgate/MidiList.h"

namespace velkgate {

class CTickRescaler {
 public:
  /// The length, in the target's units, of a number of source ticks at a tempo.
  using Span = std::function<double(double ticks, uint32_t tempo)>;

  /// Collects the tempo messages of the tick-ordered array that lie outside phrase sections.
  /// A target tick is the span from tick 0 divided by unitsPerTick.
  CTickRescaler(const CEventArray& events, Span span, double unitsPerTick);

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
  double SpanOf(int64_t ticks, uint32_t tempo) const;
  uint32_t ToTarget(double units) const;

  Span m_span;
  double m_unitsPerTick;
  std::vector<Change> m_changes;
  uint32_t m_firstTempo;
  uint32_t m_tempo;
  uint32_t m_segmentTick = 0;
  double m_segmentUnits = 0;
};

}  // namespace velkgate
