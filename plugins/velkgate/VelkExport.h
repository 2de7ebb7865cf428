// CnvTo's work: song-data SMF bytes into a stamped VELK image.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/TimeBase.h"

class CSongSetup;

namespace velkgate {

class CScoreTrackChunk;

class CVelkExport {
 public:
  /// The longest duration, gate time or gap a score stream can carry, in ticks.
  static constexpr uint32_t kMaxSpan = 0x1FFFFF;
  /// The highest note number a written file keeps.
  static constexpr uint8_t kHighestNote = 114;

  explicit CVelkExport(CnvParam& param) : m_param(param) {}

  /// Converts; the byte count written, or a result code. Nothing thrown inside leaves it: an
  /// exception ends the call with the result set so far.
  uint32_t Run() noexcept;

 private:
  uint32_t Convert();
  /// The main list without its notes above 114, merged with the stream list.
  void MergeLists(CMidiList& list, CEventArray& events);
  /// Every event on the VELK grid, into the master or the score list; false when a length or
  /// a gap is longer than a stream can carry.
  bool SplitOnVelkGrid(const CMidiList& list, const CEventArray& events, CEventList& master,
                       CEventList& score) const;
  /// False when the contents class asks for an LED channel and none has its mark.
  bool PassesLedCheck(uint8_t contentsClass, const CSongSetup& setup) const;
  /// The "Mwa" chunks of the stream slots into the track; false for a rate out of its limits.
  bool AddStreamWaves(const CSongSetup& setup, CScoreTrackChunk& track) const;

  CnvParam& m_param;
  uint32_t m_in = 0;
  TimeBase m_timeBase;
  uint32_t m_result = CNVERR_FAILED;
};

}  // namespace velkgate
