// Speed of the two conversions over generated format-0 songs of 10,000 to 1,000,000 events on 16
// channels; SetComplexityN shows a cost growing faster than the song.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "SmfFixture.h"
#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfExport.h"
#include "plugins/midigate/SmfImport.h"

using namespace midigate::testing;

namespace {

// Notes on all 16 channels with a controller now and then, using running status where it can.
Bytes GenerateSong(int events) {
  SmfWriter song(0, 480);
  song.Tempo(0, 500000);
  int written = 1;
  for (uint8_t channel = 0; channel < 16; ++channel, ++written) {
    song.Raw(0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(channel * 7)});
  }
  uint32_t step = 0;
  while (written + 3 <= events) {
    uint8_t channel = step % 16;
    uint8_t key = 36 + (step * 5) % 48;
    uint8_t on = 0x90 | channel;
    song.Raw(step % 4 == 0 ? 30 : 0, {on, key, 100});
    song.Raw(60, {on, key, 0});
    song.Raw(0, {static_cast<uint8_t>(0xB0 | channel), 11, static_cast<uint8_t>(step % 128)});
    written += 3;
    ++step;
  }
  song.End();
  return song.Build();
}

uint32_t Run(uint32_t (*convert)(CnvParam&), const Bytes& source, Bytes& destination) {
  CnvParam param{};
  param.src = source.data();
  param.srcSize = static_cast<uint32_t>(source.size());
  param.dst = destination.data();
  param.dstSize = static_cast<uint32_t>(destination.size());
  return midigate::GuardedConvert([&] { return convert(param); });
}

void BM_ImportSmf(benchmark::State& state) {
  const auto events = static_cast<int>(state.range(0));
  Bytes source = GenerateSong(events);
  Bytes destination(source.size() * 4);
  for (auto _ : state) {
    uint32_t size = Run(&midigate::CSmfImport::Convert, source, destination);
    if (size >= CNVERR_FAILED) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations() * events);
  state.SetComplexityN(events);
  state.SetLabel("items = source events");
}

void BM_ExportSmf(benchmark::State& state) {
  const auto events = static_cast<int>(state.range(0));
  Bytes source = GenerateSong(events);
  Bytes songData(source.size() * 4);
  uint32_t size = Run(&midigate::CSmfImport::Convert, source, songData);
  if (size >= CNVERR_FAILED) {
    state.SkipWithError("import failed");
    return;
  }
  songData.resize(size);
  Bytes destination(songData.size() * 2);
  for (auto _ : state) {
    uint32_t written = Run(&midigate::CSmfExport::Convert, songData, destination);
    if (written >= CNVERR_FAILED) state.SkipWithError("export failed");
    benchmark::DoNotOptimize(written);
  }
  state.SetItemsProcessed(state.iterations() * events);
  state.SetComplexityN(events);
  state.SetLabel("items = source events");
}

}  // namespace

BENCHMARK(BM_ImportSmf)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSmf)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
