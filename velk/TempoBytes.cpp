// The tempo bytes of generation-1/2 tracks.
#include "velk/TempoBytes.h"

#include <algorithm>

namespace {

constexpr uint32_t kTempoDividend = 8739;

}  // namespace

uint16_t ClampByteTempo(uint16_t tempo) {
  return std::clamp(tempo, kLowestByteTempo, kHighestByteTempo);
}

uint8_t HeaderTempoByte(uint16_t tempo) {
  // Rounded as the reader rounds back, so every tempo a byte can hold survives a save.
  const uint32_t t = ClampByteTempo(tempo);
  return static_cast<uint8_t>((2 * kTempoDividend + 4 * t) / (8 * t) - 1);
}

uint8_t SetupTempoByte(uint16_t tempo) {
  float t = ClampByteTempo(tempo);
  float quotient = static_cast<float>(kTempoDividend) / (t * 4.0f);
  return static_cast<uint8_t>(static_cast<int>(quotient + 0.5f) - 1);
}
