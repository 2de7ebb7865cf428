// The fields of an audio track's 16-bit channel status word.
#pragma once

#include <cstdint>

/// Bit 15.
inline int GetAudioStatusBits15(uint16_t status) { return (status >> 15) & 0x1; }
/// Bits 14-12.
inline int GetAudioStatusBits12(uint16_t status) { return (status >> 12) & 0x7; }
/// Bits 11-8.
inline int GetAudioStatusBits8(uint16_t status) { return (status >> 8) & 0xF; }
/// Bits 7-4.
inline int GetAudioStatusBits4(uint16_t status) { return (status >> 4) & 0xF; }
