// CnvFrom: a plain Standard MIDI File of format 0 into the song-data dialect.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"

namespace midigate {

/// Two passes over the source: a scan for what the header blocks at tick 0 need, then the
/// events themselves. Result bits are ORed into param.flags, also when the conversion fails.
class CSmfImport {
 public:
  /// Converts into param.dst; throws on a source it refuses (CNVERR_SMFTYPE for a format
  /// other than 0, CNVERR_FAILED otherwise).
  static uint32_t Convert(CnvParam& param);
};

}  // namespace midigate
