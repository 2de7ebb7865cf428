// The tempo bytes of generation-1/2 tracks, rounded in the sequence header and the setup chunk.
#pragma once

#include <cstdint>

/// Tempos outside this range have no tempo byte that reads back near them (0 divides by zero,
/// 8 wraps to 0x10, 2185 gives 0xFF), so both bytes are computed from the clamped value.
inline constexpr uint16_t kLowestByteTempo = 9;
inline constexpr uint16_t kHighestByteTempo = 2184;

/// The tempo clamped to 9..2184.
uint16_t ClampByteTempo(uint16_t tempo);

/// The tempo byte of the sequence header exclusive: floor(8739 / (4 x tempo) + 0.5) - 1.
uint8_t HeaderTempoByte(uint16_t tempo);

/// The tempo byte of the setup chunk: floor(8739 / (tempo x 4) + 0.5) - 1, in single precision.
uint8_t SetupTempoByte(uint16_t tempo);
