// Events per second of BuildScoreSequence over a generated play list of 100,000 events on four
// channels: notes (some long enough for re-strikes), controllers with modulation splits,
// programs, bends and marks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "SequenceBuild.h"

namespace {

std::vector<velktest::Rec> GeneratedPlayList(uint32_t events) {
  std::vector<velktest::Rec> out;
  out.reserve(events);
  uint32_t tick = 0;
  for (uint32_t i = 0; i < events; ++i) {
    tick += (i % 3 == 0) ? 60 : 0;
    auto channel = static_cast<uint8_t>(i % 4);
    switch (i % 8) {
      case 0:
      case 1:
      case 2:
      case 3: {
        uint32_t gate = (i % 997 == 0) ? 40000 : 30 + (i * 37) % 900;
        out.push_back(
            velktest::Note(tick, channel, static_cast<uint8_t>(24 + (i * 7) % 80), tick + gate));
        break;
      }
      case 4:
        out.push_back(velktest::Message(
            tick, {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(i % 2 ? 1 : 7),
                   static_cast<uint8_t>(i % 128)}));
        break;
      case 5:
        out.push_back(velktest::Message(
            tick, {static_cast<uint8_t>(0xE0 | channel), 0, static_cast<uint8_t>(i % 128)}));
        break;
      case 6:
        out.push_back(velktest::Message(
            tick, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(i % 128)}));
        break;
      default:
        out.push_back(velktest::Mark(tick, 1 + i % 7));
        break;
    }
  }
  return out;
}

void BuildScoreSequenceOfFourChannels(benchmark::State& state) {
  auto events = static_cast<uint32_t>(state.range(0));
  velktest::PlayList list(GeneratedPlayList(events));
  SongOutputRecord setup = velktest::UnsetRecord();
  for (auto _ : state) {
    velktest::RecordList scratch;
    CTrackBuild build;
    auto chunk = BuildScoreSequence(120, 480, 4, setup, list.List(), scratch.List(), build, 0);
    benchmark::DoNotOptimize(chunk->GetBodySize());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BuildScoreSequenceOfFourChannels)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
