// Where the song's sections start, through the cue points and the tempo map.
#include <algorithm>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

uint32_t CKZ1Doc::GetCueSectionStart(int k, int relative) const {
  const uint32_t start = m_cuePoints[kStartCue];
  const uint32_t stop = m_cuePoints[kStopCue];
  uint32_t begin = start != kNoCue ? start : 0;
  if (k >= 1 && k <= 7 && m_cuePoints[k] != kNoCue) begin = m_cuePoints[k];
  const bool bounded = start != kNoCue && stop != kNoCue;
  if (bounded) begin = std::clamp(begin, std::min(start, stop), stop);

  const bool byTickUnit = platform::profile().GetProfileInt("Setting", "OutputFormat", 3) == 4;
  const auto timeAt = [&](uint32_t tick) {
    if (byTickUnit) {
      const uint32_t step = std::max(1, m_boardValue / 48);
      return m_tempoMap.TickToMs(tick - tick % step, 0, 1, 0);
    }
    return m_tempoMap.TickToMs(tick, 0, m_timeBaseKZ3, tick);
  };
  const uint32_t beginMs = timeAt(begin);
  if (!relative || start == kNoCue) return beginMs;
  const uint32_t startMs = timeAt(start);
  return beginMs > startMs ? beginMs - startMs : 0;
}
