// Samples per second of the ADPCM codec, and bytes per second of loading a large stereo WAV
// as two ADPCM channels.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "WaveFiles.h"
#include "platform/host/testing/FakeHost.h"
#include "voice/Adpcm.h"
#include "voice/WaveData.h"

namespace {

constexpr int32_t kSamples = 1000000;

std::vector<int16_t> Tone(size_t n) {
  std::vector<int16_t> samples(n);
  for (size_t i = 0; i < n; ++i) samples[i] = int16_t(std::lround(20000 * std::sin(i * 0.01) + 5000 * std::sin(i * 0.37)));
  return samples;
}

void AdpcmEncodeSamples(benchmark::State& state) {
  const std::vector<int16_t> samples = Tone(kSamples);
  std::vector<uint8_t> codes(kSamples / 2);
  for (auto _ : state) {
    AdpcmState s;
    AdpcmInit(s);
    AdpcmEncode(s, samples.data(), codes.data(), kSamples);
    benchmark::DoNotOptimize(codes.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(AdpcmEncodeSamples);

void AdpcmDecodeSamples(benchmark::State& state) {
  const std::vector<int16_t> samples = Tone(kSamples);
  std::vector<uint8_t> codes(kSamples / 2);
  AdpcmState s;
  AdpcmInit(s);
  AdpcmEncode(s, samples.data(), codes.data(), kSamples);
  std::vector<int16_t> out(kSamples);
  for (auto _ : state) {
    AdpcmDecode(codes.data(), out.data(), kSamples / 2);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(AdpcmDecodeSamples);

void LoadStereoWavAsAdpcm(benchmark::State& state) {
  platform::FakeHost host;
  host.settings.chipMode = 3;
  const size_t bytes = 16u << 20;
  const std::vector<int16_t> tone = Tone(bytes / 2);
  wavetest::Bytes data(bytes);
  for (size_t i = 0; i < tone.size(); ++i) {
    data[2 * i] = uint8_t(tone[i]);
    data[2 * i + 1] = uint8_t(uint16_t(tone[i]) >> 8);
  }
  const wavetest::TempFile file(wavetest::Wav(2, 16, 44100, data), "big.wav");
  for (auto _ : state) {
    CWaveData wave;
    if (!wave.Load(file.Path(), 4)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(wave.GetSamples(1));
  }
  state.SetBytesProcessed(state.iterations() * int64_t(bytes));
}
BENCHMARK(LoadStereoWavAsAdpcm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
