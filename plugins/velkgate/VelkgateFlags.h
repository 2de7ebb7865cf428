// The integers Velkgate throws and its version; its flag bits are in app/CnvParam.h.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"
#include "song/MemStream.h"

namespace velkgate {

// Thrown integers besides kErrOutOfMemory (-108) and kErrEndOfData (-48).
inline constexpr int kErrRejected = -1;
inline constexpr int kErrArrayGrowth = 999;
inline constexpr int kErrTextConversion = 0;
/// A Standard MIDI File that is not one (bad header or track id, no running status).
inline constexpr int kErrNotSmf = 0;

/// The version GetKZxVersion reports: 2.9.7 in packed nibbles.
inline constexpr uint32_t kKZxVersion = 0x2970;

/// Velkgate builds for this chip generation only.
int GetChipGeneration();

}  // namespace velkgate
