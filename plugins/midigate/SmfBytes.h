// Byte helpers of the plug-in: its variable-length quantity, tempo rounding and QX fields.
#pragma once

#include <cstddef>
#include <cstdint>

class CMemStream;

namespace midigate {

/// The largest delta or length a four-byte quantity holds.
inline constexpr uint32_t kMaxVarLenValue = 0x0FFFFFFF;

/// Reads a variable-length quantity at p, never at or past end, and moves p behind it.
/// Fails (CNVERR_FAILED) when it runs into end or is longer than four bytes.
uint32_t ReadVarLen(const uint8_t*& p, const uint8_t* end);

/// Appends value as 7-bit groups, most significant first, bit 7 set on all but the last.
void WriteVarLen(CMemStream& out, uint32_t value);

/// Microseconds per quarter note over the division, in single precision, rounded half up.
uint32_t RoundTempoPerTick(uint32_t tempo, uint32_t division);

/// Size of one QX song-information field.
inline constexpr size_t kInfoFieldSize = 256;

/// Copies the text up to the next ':' (at most 255 characters, zero-terminated) into field and
/// returns how many bytes to advance: the field and its ':' (none after the last field).
size_t SplitInfoField(const uint8_t* text, size_t n, char (&field)[kInfoFieldSize]);

}  // namespace midigate
