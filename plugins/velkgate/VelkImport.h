// CnvFrom's work: a VELK image into song-data SMF bytes.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"
#include "plugins/velkgate/MidiList.h"

namespace velkgate {

class CVelkImport {
 public:
  /// The flag bits CnvFrom keeps of what it is given.
  static constexpr uint32_t kEntryMask = 0x0C00FF0D;

  explicit CVelkImport(CnvParam& param) : m_param(param) {}

  /// Converts; the byte count written, or a result code. Nothing thrown inside leaves it: an
  /// exception ends the call with the result set so far.
  uint32_t Run() noexcept;

  /// Re-times the tick-ordered events to 480 ticks a quarter note from msPerTick; returns the
  /// starting tempo.
  static uint32_t RetimeTo480(CEventArray& events, uint32_t msPerTick);

 private:
  uint32_t Convert();

  CnvParam& m_param;
  uint32_t m_result = CNVERR_FAILED;
};

}  // namespace velkgate
