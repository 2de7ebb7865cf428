// When and how a check reports a point: the first point over a limit, or the peak.
#pragma once

#include <cstdint>

#include "plugins/polyscan/ResultLog.h"

namespace polyscan {

class CheckReport {
 public:
  /// flags: the caller's flags word; bit 0x8 and bits 31-16 receive the result.
  CheckReport(uint32_t& flags, bool peak, int fmLimit, int pcmLimit, ResultLog& log)
      : m_flags(flags), m_peak(peak), m_fmLimit(fmLimit), m_pcmLimit(pcmLimit), m_log(log) {}

  /// Called after every note-on with the counts as they stand; false when a count reached
  /// 256, which ends the check with an "ERROR" line.
  bool AfterNoteOn(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros);
  /// The end of the walk: an "OK" line with the final counts when nothing was reported.
  void Finish(int fm, int pcm, uint64_t elapsedMicros);
  /// The tick of the reported point, 1 for tick 0, 0 when nothing was reported.
  uint32_t Result() const;

 private:
  bool IsOver(int fm, int pcm) const { return fm > m_fmLimit || pcm > m_pcmLimit; }
  void ReportFirstOver(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros);
  void ReportPeak(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros);
  void Report(int fm, int pcm, uint32_t tick, uint64_t elapsedMicros);
  void SetCounts(int fm, int pcm);

  uint32_t& m_flags;
  bool m_peak;
  int m_fmLimit;
  int m_pcmLimit;
  ResultLog& m_log;
  bool m_reported = false;
  uint32_t m_reportedTick = 0;
  int m_peakFm = 0;
  int m_peakPcm = 0;
  uint32_t m_peakTick = 0;
  bool m_mark = false;
};

}  // namespace polyscan
