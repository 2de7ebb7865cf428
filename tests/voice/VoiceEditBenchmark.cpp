// The PCM page's work on the longest ADPCM wave a voice holds (65518 bytes, 131036 samples): the
// loop/end adjustment and the picture's 400 columns.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "voice/PcmWaveRules.h"
#include "voice/WavePicture.h"

namespace {

CVoiceItem LongAdpcmVoice() {
  std::vector<uint8_t> codes(CVoiceItem::kMaxWaveSamples);
  for (size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<uint8_t>((i * 37) ^ (i >> 3));
  CVoiceItem v;
  v.SetBankMsb(124);
  v.SetBankLsb(1);
  v.SetPcmFlag(1);
  v.SetPcmWaveFormat(0);
  v.SetWaveHeaderId(1);
  v.SetWaveSamples(codes.data(), static_cast<uint32_t>(codes.size()));
  return v;
}

void PcmPictureAndAdjustment(benchmark::State& state) {
  platform::FakeHost host;
  CVoiceItem voice = LongAdpcmVoice();
  for (auto _ : state) {
    voice.SetPcmLoopPoint(65535);
    voice.SetPcmEndPoint(65535);
    benchmark::DoNotOptimize(voiceedit::AdjustLoopEnd(voice, 3));
    std::vector<int16_t> samples;
    voiceedit::ExpandVoiceWave(voice, samples);
    const auto columns = voiceedit::WaveColumns(samples.data(), static_cast<uint32_t>(samples.size()), 400, 120);
    benchmark::DoNotOptimize(columns.data());
  }
  state.SetItemsProcessed(state.iterations() * 131036);
}
BENCHMARK(PcmPictureAndAdjustment);

}  // namespace

BENCHMARK_MAIN();
