// One voice-allocation check of a song-data SMF: header, pre-scan, RAM, walk, report.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/CnvParam.h"
#include "plugins/polyscan/SongTables.h"

namespace polyscan {

class CheckReport;
class VoiceModel;
struct TrackEvent;

/// Everything one check needs lives here, so two checks never share state.
class CheckRun {
 public:
  explicit CheckRun(CnvParam& param) : m_param(param) {}

  /// The tick of the reported point (1 for tick 0, 0 for none) or a CNVERR_ code; the
  /// counts and the "over" flag go into the record's flags word.
  uint32_t Run();

 private:
  void CheckSmfHeader();
  void SettleStreamMode();
  uint32_t WalkEvents(VoiceModel& model, CheckReport& report);
  bool OnChannelMessage(const TrackEvent& ev, bool inRegion, VoiceModel& model,
                        CheckReport& report);
  void OnTempo(const uint8_t* data, uint32_t length);

  CnvParam& m_param;
  SongTables m_tables;
  const uint8_t* m_track = nullptr;
  size_t m_trackSize = 0;
  uint32_t m_division = 500;
  uint32_t m_microsPerTick = 0;
  uint64_t m_elapsedMicros = 0;
  uint32_t m_tick = 0;
  int m_streamMode = 0;
  uint32_t m_ramLimit = 0;
};

/// Runs one check on the record's source; never throws.
uint32_t RunCheck(CnvParam& param);

}  // namespace polyscan
