// Speed of the two conversions over a generated format-0 song of 100,000 events on 16 channels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "SmfFixture.h"
#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfExport.h"
#include "plugins/midigate/SmfImport.h"

using namespace midigate::testing;

namespace {

constexpr int kEventCount = 100000;

// Notes on all 16 channels with a controller now and then, using running status where it can.
Bytes GenerateSong() {
  SmfWriter song(0, 480);
  song.Tempo(0, 500000);
  int written = 1;
  for (uint8_t channel = 0; channel < 16; ++channel, ++written) {
    song.Raw(0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(channel * 7)});
  }
  uint32_t step = 0;
  while (written + 3 <= kEventCount) {
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
  Bytes source = GenerateSong();
  Bytes destination(source.size() * 4);
  for (auto _ : state) {
    uint32_t size = Run(&midigate::CSmfImport::Convert, source, destination);
    if (size >= CNVERR_FAILED) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations() * kEventCount);
  state.SetLabel("items = source events");
}

void BM_ExportSmf(benchmark::State& state) {
  Bytes source = GenerateSong();
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
  state.SetItemsProcessed(state.iterations() * kEventCount);
  state.SetLabel("items = source events");
}

}  // namespace

BENCHMARK(BM_ImportSmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSmf)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
