// The chip's 4-bit ADPCM codec: one code a sample, two codes a byte, low nibble first.
#pragma once

#include <cstdint>

/// The encoder's running state; every conversion starts from AdpcmInit.
struct AdpcmState {
  int32_t predictor = 0;
  int32_t step = 127;
};

/// Predictor 0, step 127.
void AdpcmInit(AdpcmState& state);

/// Encodes `count` samples into codes[0 .. (count + 1) / 2); the state carries over between
/// calls. A count below 1 does nothing.
void AdpcmEncode(AdpcmState& state, const int16_t* samples, uint8_t* codes, int32_t count);

/// Stores a 4-bit code for sample `index`: an even index replaces the whole byte (high nibble
/// cleared), an odd index replaces only the high nibble.
void AdpcmPackNibble(uint8_t* codes, int32_t index, uint8_t code);

/// Decodes `byteCount` bytes into 2 x byteCount samples with a fresh state. A count below 1
/// does nothing.
void AdpcmDecode(const uint8_t* codes, int16_t* samples, int32_t byteCount);

/// The code of sample `index` in a packed code stream.
inline uint8_t AdpcmNibble(const uint8_t* codes, uint32_t index) {
  return static_cast<uint8_t>((codes[index / 2] >> ((index & 1) * 4)) & 0x0F);
}
