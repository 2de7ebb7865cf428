// How long the chip-mode 1 and 2 clean-up takes over a long song: the note overlap fix and the
// three refresh passes.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"

namespace {

// Overlapping notes on 16 channels with controllers and later program changes between them.
void FillSong(CKZ1Doc& doc, int events) {
  auto& list = *doc.GetMidiList();
  list.clear();
  for (int i = 0; i < events; ++i) {
    const uint8_t ch = static_cast<uint8_t>(i % 16);
    const uint32_t tick = static_cast<uint32_t>(i * 10);
    uint8_t bytes[3] = {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(36 + i % 48), 100};
    uint32_t end = tick + 40 + static_cast<uint32_t>(i % 7) * 30;
    uint32_t length = 3;
    if (i % 5 == 0) {
      bytes[0] = static_cast<uint8_t>(0xB0 | ch);
      bytes[1] = static_cast<uint8_t>(i % 3 == 0 ? 7 : 10);
      end = tick;
    } else if (i % 11 == 0) {
      bytes[0] = static_cast<uint8_t>(0xC0 | ch);
      bytes[1] = static_cast<uint8_t>(i % 8);
      end = tick;
      length = 2;
    }
    list.push_back(std::make_unique<CMidiMsg>(tick, end, length, bytes, 0));
  }
}

void BM_FixNoteOverlaps(benchmark::State& state) {
  platform::FakeHost host;
  host.settings.chipMode = 2;
  CKZ1Doc doc;
  const int events = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    FillSong(doc, events);
    state.ResumeTiming();
    doc.FixNoteOverlaps();
    benchmark::DoNotOptimize(doc.GetMidiList()->size());
  }
  state.SetItemsProcessed(state.iterations() * events);
}

void BM_RefreshChannelVoicesKZ12(benchmark::State& state) {
  platform::FakeHost host;
  host.settings.chipMode = static_cast<int>(state.range(1));
  CKZ1Doc doc;
  doc.SetRefreshSuppress(0);
  const int events = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    FillSong(doc, events);
    state.ResumeTiming();
    doc.RefreshChannelVoices(0);
    benchmark::DoNotOptimize(doc.GetMidiList()->size());
  }
  state.SetItemsProcessed(state.iterations() * events);
}

BENCHMARK(BM_FixNoteOverlaps)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshChannelVoicesKZ12)->Args({50000, 1})->Args({50000, 2})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
