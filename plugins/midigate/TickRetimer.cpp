// The song data's own time form moved onto a grid of 480 ticks a quarter note.
#include "plugins/midigate/TickRetimer.h"

#include "plugins/midigate/Failure.h"

namespace midigate {

TickFraction CTickRetimer::At(uint64_t tick) const {
  const uint64_t ticks = tick > m_segmentTick ? tick - m_segmentTick : 0;
  if (ticks == 0) return m_segment;
  // Without a tick length the song's times are unknown: nothing is written.
  if (m_usPerTick == 0) Fail();
  return m_segment.Plus(ticks, uint64_t{m_usPerTick} * kDivision, m_tempo);
}

uint64_t CTickRetimer::ToNew(uint64_t tick) const { return At(tick).Round(); }

void CTickRetimer::Restart(uint64_t tick) {
  m_segment = At(tick);
  if (tick > m_segmentTick) m_segmentTick = tick;
}

void CTickRetimer::SetTickLength(uint64_t tick, uint32_t usPerTick) {
  if (usPerTick == m_usPerTick) return;
  Restart(tick);
  m_usPerTick = usPerTick;
}

void CTickRetimer::SetTempo(uint64_t tick, uint32_t usPerQuarter) {
  if (usPerQuarter == 0 || usPerQuarter == m_tempo) return;
  Restart(tick);
  m_tempo = usPerQuarter;
}

}  // namespace midigate
