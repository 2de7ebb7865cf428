// The chip's 4-bit ADPCM codec.
#include "voice/Adpcm.h"

#include <algorithm>

namespace {

constexpr int32_t kStepFactor[8] = {230, 230, 230, 230, 307, 409, 512, 614};
constexpr int32_t kMinStep = 127;
constexpr int32_t kMaxStep = 24576;
constexpr uint8_t kSignBit = 8;

int32_t Delta(int32_t step, uint8_t magnitude) {
  int32_t delta = step >> 3;
  if (magnitude & 1) delta += step >> 2;
  if (magnitude & 2) delta += step >> 1;
  if (magnitude & 4) delta += step;
  return delta;
}

// The encoder and decoder share this step so that they track the same predictor.
void Advance(AdpcmState& state, uint8_t code) {
  const uint8_t magnitude = code & 7;
  const int32_t delta = Delta(state.step, magnitude);
  const int32_t next = (code & kSignBit) ? state.predictor - delta : state.predictor + delta;
  state.predictor = std::clamp(next, -32768, 32767);
  state.step = std::clamp((state.step * kStepFactor[magnitude]) >> 8, kMinStep, kMaxStep);
}

uint8_t EncodeOne(AdpcmState& state, int16_t sample) {
  const int32_t d = sample - state.predictor;
  const int32_t m = d < 0 ? -d : d;
  const int32_t q = state.step / 4;
  uint8_t c = 0;
  while (c < 7 && m >= (c + 1) * q) ++c;
  const uint8_t code = static_cast<uint8_t>((d < 0 ? kSignBit : 0) | c);
  Advance(state, code);
  return code;
}

}  // namespace

void AdpcmInit(AdpcmState& state) {
  state.predictor = 0;
  state.step = kMinStep;
}

void AdpcmEncode(AdpcmState& state, const int16_t* samples, uint8_t* codes, int32_t count) {
  for (int32_t i = 0; i < count; ++i) AdpcmPackNibble(codes, i, EncodeOne(state, samples[i]));
}

void AdpcmPackNibble(uint8_t* codes, int32_t index, uint8_t code) {
  uint8_t& byte = codes[index / 2];
  if (index % 2 == 0) {
    byte = code & 0x0F;
  } else {
    byte = static_cast<uint8_t>((byte & 0x0F) | ((code & 0x0F) << 4));
  }
}

void AdpcmDecode(const uint8_t* codes, int16_t* samples, int32_t byteCount) {
  AdpcmState state;
  for (int32_t k = 0; k < byteCount; ++k) {
    Advance(state, codes[k] & 0x0F);
    samples[2 * k] = static_cast<int16_t>(state.predictor);
    Advance(state, codes[k] >> 4);
    samples[2 * k + 1] = static_cast<int16_t>(state.predictor);
  }
}
