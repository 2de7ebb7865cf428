// Writes the seven ROM waves as 4-bit ADPCM files "rom/<resource id>.bin":
// make_rom_waves <folder>. The sounds are synthetic drums of our own; each holds the end point
// of its table row and has died away to silence well before it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"
#include "voice/Adpcm.h"
#include "voice/RomWaveSource.h"

namespace {

// How each drum is made: a swept tone and a noise part, each with its own decay.
struct DrumShape {
  double toneStartHz;
  double toneEndHz;
  double toneLevel;
  double noiseLevel;
  double noiseBrightness;  // 0: dull, 1: white
  double decay;            // fraction of the length over which the level falls by e
};

constexpr DrumShape kShapes[RomWaveSource::kCount] = {
    {120, 45, 0.95, 0.05, 0.1, 0.22},   // bass drum
    {220, 180, 0.35, 0.6, 0.7, 0.15},   // snare drum
    {160, 110, 0.85, 0.1, 0.3, 0.2},    // tom tom
    {0, 0, 0.0, 0.55, 0.95, 0.1},       // hi-hat closed
    {0, 0, 0.0, 0.5, 0.95, 0.18},       // hi-hat open
    {900, 900, 0.1, 0.35, 0.85, 0.25},  // ride cymbal
    {0, 0, 0.0, 0.6, 0.9, 0.22},        // crash cymbal
};

// The share of the wave, at its end, that is silent.
constexpr double kSilentTail = 0.25;

class Noise {
 public:
  // A fixed seed, so every build writes the same bytes.
  double Next() {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
  }

 private:
  uint64_t m_state = 0x2545F4914F6CDD1DULL;
};

std::vector<int16_t> Synthesize(const DrumShape& shape, uint32_t count, uint16_t fs) {
  std::vector<int16_t> samples(count, 0);
  Noise noise;
  double phase = 0;
  double smoothed = 0;
  const double sounding = count * (1.0 - kSilentTail);
  for (uint32_t i = 0; i < count && i < sounding; ++i) {
    const double t = i / sounding;
    const double hz = shape.toneStartHz + (shape.toneEndHz - shape.toneStartHz) * t;
    phase += 2 * std::numbers::pi * hz / fs;
    const double white = noise.Next();
    smoothed += (white - smoothed) * (1.0 - 0.9 * (1.0 - shape.noiseBrightness));
    const double level = std::exp(-t / shape.decay) * (1.0 - t);  // reaches 0 at `sounding`
    const double value = shape.toneLevel * std::sin(phase) + shape.noiseLevel * smoothed;
    samples[i] = static_cast<int16_t>(std::lround(std::clamp(value * level, -1.0, 1.0) * 30000));
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_rom_waves <folder>\n");
    return 2;
  }
  for (int id = 0; id < RomWaveSource::kCount; ++id) {
    const RomWaveInfo& info = *RomWaveSource::Info(id);
    // Two samples a byte: enough bytes for the end point.
    const uint32_t bytes = (info.endPoint + 1u) / 2;
    const std::vector<int16_t> samples = Synthesize(kShapes[id], bytes * 2, info.fs);
    std::vector<uint8_t> codes(bytes);
    AdpcmState state;
    AdpcmInit(state);
    AdpcmEncode(state, samples.data(), codes.data(), static_cast<int32_t>(samples.size()));
    const std::string path = platform::JoinPath(argv[1], RomWaveSource::FileName(info.resourceId));
    if (!platform::WriteFileAtomic(path, codes)) {
      std::fprintf(stderr, "make_rom_waves: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
