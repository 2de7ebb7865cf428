// Notes per second through the checker for songs of growing length.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/CnvParam.h"
#include "plugins/polyscan/CheckRun.h"
#include "SongImage.h"

namespace {

using polyscan_test::SongImage;

/// `notes` notes in chords of eight over six channels and the drums, each released later.
std::vector<uint8_t> LongSong(int notes) {
  SongImage s;
  s.Tempo(1000).Voice(0, 0x7C, 0, 3, 0, polyscan_test::FmVoiceBlock());
  for (int ch = 1; ch <= 6; ++ch) s.Program(ch, ch % 4);
  static const int kDrumKeys[] = {36, 38, 42, 46, 49, 60, 64};
  for (int i = 0; i < notes; i += 8) {
    int chord = notes - i < 8 ? notes - i : 8;
    for (int k = 0; k < chord; ++k) {
      int ch = k == 7 ? 10 : 1 + k % 6;
      s.NoteOn(ch, ch == 10 ? kDrumKeys[(i / 8) % 7] : 40 + (i + k) % 48);
    }
    s.Wait(120);
    for (int k = 0; k < chord; ++k) {
      int ch = k == 7 ? 10 : 1 + k % 6;
      s.NoteOff(ch, ch == 10 ? kDrumKeys[(i / 8) % 7] : 40 + (i + k) % 48);
    }
    s.Wait(10);
  }
  return s.Bytes();
}

void BM_CheckSong(benchmark::State& state) {
  const int notes = static_cast<int>(state.range(0));
  std::vector<uint8_t> song = LongSong(notes);
  for (auto _ : state) {
    CnvParam p{CNVF_CHECK_PEAK, song.data(), static_cast<uint32_t>(song.size()), nullptr, 0};
    uint32_t result = polyscan::RunCheck(p);
    if (result >= CNVERR_FAILED) state.SkipWithError("check failed");
    benchmark::DoNotOptimize(result);
  }
  state.SetComplexityN(notes);
  state.counters["notes/s"] = benchmark::Counter(static_cast<double>(notes),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CheckSong)->RangeMultiplier(10)->Range(100, 10000)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
