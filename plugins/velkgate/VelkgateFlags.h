// Velkgate's flag bits of the CnvParam flags word and the integers it throws.
#pragma once

#include <cstdint>

#include "song/MemStream.h"

namespace velkgate {

// Thrown integers besides kErrOutOfMemory (-108) and kErrEndOfData (-48).
inline constexpr int kErrRejected = -1;
inline constexpr int kErrArrayGrowth = 999;
inline constexpr int kErrTextConversion = 0;
/// A Standard MIDI File that is not one (bad header or track id, no running status).
inline constexpr int kErrNotSmf = 0;

inline constexpr uint32_t CNVF_SUBMODE_TYPE33 = 0x00000002u;
inline constexpr uint32_t CNVF_SUBMODE_CLEARED = 0x00000008u;
inline constexpr uint32_t CNVF_TIMEBASE = 0x00000070u;
inline constexpr uint32_t CNVF_COMPRESS = 0x00000080u;
inline constexpr uint32_t CNVF_SETUP_WARNING = 0x00010000u;
inline constexpr uint32_t CNVF_RATE_CORRECTED = 0x00020000u;
inline constexpr uint32_t CNVF_BAD_RATE = 0x00040000u;
inline constexpr uint32_t CNVF_MONO_NOTES_DROPPED = 0x00080000u;
inline constexpr uint32_t CNVF_NOTES_MERGED = 0x00100000u;
inline constexpr uint32_t CNVF_CHUNK_SKIPPED = 0x01000000u;
inline constexpr uint32_t CNVF_LENGTH_OVER = 0x02000000u;
inline constexpr uint32_t CNVF_NOTES_DROPPED = 0x04000000u;

/// The version GetKZxVersion reports: 2.9.7 in packed nibbles.
inline constexpr uint32_t kKZxVersion = 0x2970;

/// Velkgate builds for this chip generation only.
int GetChipGeneration();

}  // namespace velkgate
