// The song document's time conversions: the tempo map shortcuts, the chip-mode 1 and 2
// formula and the end time of a cue section.
#include <algorithm>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

uint32_t CKZ1Doc::TickToMsByMap(uint32_t tick, int rounding) const {
  return m_tempoMap.TickToMs(tick, rounding, 1, 0);
}

uint32_t CKZ1Doc::MsToTickByMap(uint32_t ms) const { return m_tempoMap.MsToTick(ms, 0); }

double CKZ1Doc::TickToMs(uint32_t tick) const {
  // Each operand goes through single precision first, as the playback threads expect.
  const double t = static_cast<float>(tick);
  const double tempo = static_cast<float>(m_tempo);
  const double division = static_cast<float>(m_resolution);
  if (tempo == 0.0 || division == 0.0) return 0.0;
  return (t * 60000.0 / tempo) / division;
}

uint32_t CKZ1Doc::TickToTime(uint32_t ms) const {
  const int chip = platform::settings().GetChipMode();
  if (chip != 1 && chip != 2) return MsToTickByMap(ms);
  const double tempo = static_cast<float>(m_tempo);
  const double division = static_cast<float>(m_resolution);
  const double tick = static_cast<double>(ms) * tempo * division / 60000.0;
  if (!(tick > 0.0)) return 0;
  return tick >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(tick);
}

namespace {

bool IsNoteOnMsg(const CMidiMsg& m) { return m.GetLength() >= 1 && (m.GetByte(0) & 0xF0) == 0x90; }

}  // namespace

uint32_t CKZ1Doc::GetCueSectionTime(int k, int fromStart) const {
  return CueSectionTime(k, fromStart, false);
}

uint32_t CKZ1Doc::GetCueSectionLength(int k) const { return CueSectionTime(k, 1, true); }

uint32_t CKZ1Doc::CueSectionTime(int k, int fromStart, bool exact) const {
  uint32_t end = kNoCue;
  if (!m_midlist.empty()) {
    const CMidiMsg& last = *m_midlist.back();
    end = IsNoteOnMsg(last) ? last.GetEndTick() : last.GetTick();
  }
  if (k >= 1 && k <= 7 && m_cuePoints[k] != kNoCue) {
    const uint32_t begin = m_cuePoints[k];
    for (int j = 1; j <= 7; ++j) {
      const uint32_t cue = m_cuePoints[j];
      if (j != k && cue != kNoCue && cue > begin && cue < end) end = cue;
    }
  }
  const uint32_t start = m_cuePoints[kStartCue];
  const uint32_t stop = m_cuePoints[kStopCue];
  const bool bounded = start != kNoCue && stop != kNoCue;
  if (bounded) end = std::clamp(end, std::min(start, stop), stop);

  const bool byTickUnit =
      platform::profile().GetProfileInt("Setting", "OutputFormat", 3) == 4;
  const auto timeAt = [&](uint32_t tick) {
    if (exact) return m_tempoMap.TickToMs(tick, 0, 1, 0);
    if (byTickUnit) {
      const uint32_t step = std::max(1, m_boardValue / 48);
      return m_tempoMap.TickToMs(tick - tick % step, 0, 1, 0);
    }
    // Whole output time-base steps that do not run past the tick.
    return m_tempoMap.TickToMs(tick, 0, m_timeBaseKZ3, tick);
  };
  const uint32_t endMs = timeAt(end);
  if (!bounded || !fromStart) return endMs;
  const uint32_t startMs = timeAt(start);
  return endMs > startMs ? endMs - startMs : 0;
}
