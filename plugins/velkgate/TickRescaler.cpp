// Moves event ticks onto another time grid across the song's tempo changes.
#include "plugins/velkgate/TickRescaler.h"

#include <algorithm>
#include <limits>

#include "plugins/velkgate/TempoMessage.h"

namespace velkgate {

CTickRescaler::CTickRescaler(const CEventArray& events, RateOf rate, uint64_t unitsPerTick)
    : m_rate(std::move(rate)), m_unitsPerTick(unitsPerTick == 0 ? 1 : unitsPerTick) {
  for (CSeqEvent* e : events)
    if (e->GetExtra() == 0 && IsTempoMessage(e->GetData(), e->GetLength()))
      m_changes.push_back({e->GetTick(), TempoOf(*e)});
  // A tempo of 0 would divide by zero: the first one falls back to the default, later ones
  // keep the tempo in force.
  m_firstTempo = (m_changes.empty() || m_changes.front().tempo == 0) ? kDefaultTempo
                                                                     : m_changes.front().tempo;
  m_tempo = m_firstTempo;
}

uint32_t CTickRescaler::TempoOf(const CSeqEvent& event) {
  uint32_t tempo = 0;
  if (event.GetExtra() != 0 || !IsTempoMessage(event.GetData(), event.GetLength())) return 0;
  if (!ReadTempoMessage(event.GetData(), event.GetLength(), tempo)) return 0;
  return tempo;
}

TickFraction CTickRescaler::After(const TickFraction& from, uint32_t ticks, uint32_t tempo) const {
  const Rate r = m_rate(tempo);
  return from.Plus(ticks, r.mul, r.div);
}

uint32_t CTickRescaler::ToTarget(const TickFraction& units) const {
  const uint64_t ticks = units.Round(m_unitsPerTick);
  constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
  return ticks >= kMax ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(ticks);
}

void CTickRescaler::Next(const CSeqEvent& event, uint32_t& start, uint32_t& end) {
  uint32_t tick = event.GetTick();
  uint32_t endTick = event.GetEndTick();
  // The array is in tick order: nothing lies before the segment's start.
  const TickFraction startUnits =
      After(m_segmentUnits, tick > m_segmentTick ? tick - m_segmentTick : 0, m_tempo);
  TickFraction endUnits = startUnits;
  if (endTick > tick) {
    uint32_t from = tick;
    uint32_t tempo = m_tempo;
    auto it = std::upper_bound(m_changes.begin(), m_changes.end(), tick,
                               [](uint32_t t, const Change& c) { return t < c.tick; });
    for (; it != m_changes.end() && it->tick < endTick; ++it) {
      if (it->tempo == 0) continue;
      endUnits = After(endUnits, it->tick - from, tempo);
      from = it->tick;
      tempo = it->tempo;
    }
    endUnits = After(endUnits, endTick - from, tempo);
  }
  start = ToTarget(startUnits);
  end = endTick > tick ? ToTarget(endUnits) : start;
  if (endTick > tick && end <= start) end = start + 1;

  uint32_t tempo = TempoOf(event);
  if (tempo != 0 && tempo != m_tempo) {
    m_segmentTick = tick;
    m_segmentUnits = startUnits;
    m_tempo = tempo;
  }
}

}  // namespace velkgate
