// When and how a check reports a point: the first point over a limit, or the peak.
#include "plugins/polyscan/CheckReport.h"

#include "app/CnvParam.h"

namespace polyscan {

namespace {

constexpr int kCountOverflow = 256;

}  // namespace

bool CheckReport::AfterNoteOn(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros) {
  if (fm >= kCountOverflow || pcm >= kCountOverflow) {
    if (fm >= kCountOverflow) m_flags |= 0xFF000000u;
    if (pcm >= kCountOverflow) m_flags |= 0x00FF0000u;
    m_log.AddLine(elapsedMicros, fm, pcm, "ERROR");
    return false;
  }
  if (m_peak) {
    ReportPeak(fm, pcm, tick, elapsedMicros);
  } else {
    ReportFirstOver(fm, pcm, tick, elapsedMicros);
  }
  return true;
}

void CheckReport::ReportFirstOver(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros) {
  if (!IsOver(fm, pcm)) return;
  if (!m_reported) {
    m_reported = true;
    m_reportedTick = tick;
    m_flags |= CNVF_CHECK_OVER;
    SetCounts(fm, pcm);
  }
  m_log.AddLine(elapsedMicros, fm, pcm, "OVER");
}

void CheckReport::ReportPeak(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros) {
  if (IsOver(fm, pcm)) m_flags |= CNVF_CHECK_OVER;
  // The comparisons mix the FM and PCM peaks. Kept exactly so: results checked earlier were
  // reported at these points, and a tidier rule would move them.
  if (m_peakFm < fm && (m_peakPcm <= fm || m_peakTick == tick)) {
    m_peakFm = fm;
    m_peakTick = tick;
    m_mark = true;
  }
  if ((m_peakFm <= pcm && m_peakPcm < pcm) || (m_peakTick == tick && m_peakPcm < fm)) {
    m_peakPcm = pcm;
    m_peakTick = tick;
    Report(fm, pcm, tick, elapsedMicros);
  } else if (m_mark) {
    Report(fm, pcm, tick, elapsedMicros);
  }
}

void CheckReport::Report(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros) {
  m_reported = true;
  m_reportedTick = tick;
  SetCounts(fm, pcm);
  m_log.AddLine(elapsedMicros, fm, pcm, (m_flags & CNVF_CHECK_OVER) ? "OVER" : "OK");
  m_mark = false;
}

void CheckReport::SetCounts(int fm, int pcm) {
  m_flags = (m_flags & 0x0000FFFFu) | (static_cast<uint32_t>(fm) << 24) |
            (static_cast<uint32_t>(pcm) << 16);
}

void CheckReport::Finish(int fm, int pcm, uint64_t elapsedMicros) {
  if (!m_reported) m_log.AddLine(elapsedMicros, fm, pcm, "OK");
}

uint32_t CheckReport::Result() const {
  if (!m_reported) return 0;
  return m_reportedTick == 0 ? 1 : m_reportedTick;
}

}  // namespace polyscan
