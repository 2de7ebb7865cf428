// How long Erase and its Undo take over a long song, and time conversion over many tempos.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/host/testing/FakeHost.h"
#include "song/document/DeleteRangeCommand.h"
#include "song/document/KZ1Doc.h"
#include "song/document/TempoMap.h"

namespace {

void FillSong(CKZ1Doc& doc, int events) {
  auto& list = *doc.GetMidiList();
  for (int i = 0; i < events; ++i) {
    const uint8_t ch = static_cast<uint8_t>(i % 16);
    const uint8_t bytes[3] = {static_cast<uint8_t>((i % 3 ? 0x90 : 0xB0) | ch),
                              static_cast<uint8_t>(36 + i % 48), 90};
    const uint32_t tick = static_cast<uint32_t>(i * 10);
    list.push_back(std::make_unique<CMidiMsg>(tick, tick + 40, 3, bytes, 0));
  }
}

void BM_EraseAndUndo(benchmark::State& state) {
  platform::FakeHost host;
  CKZ1Doc doc;
  doc.SetRefreshSuppress(0);
  const int events = static_cast<int>(state.range(0));
  FillSong(doc, events);
  const uint32_t quarter = static_cast<uint32_t>(events) * 10 / 4;
  for (auto _ : state) {
    doc.ExecuteEdit(std::make_unique<CDeleteRangeCommand>(doc, -1, quarter, 3 * quarter, 1));
    doc.UndoRedo();
    benchmark::DoNotOptimize(doc.GetMidiList()->size());
  }
  state.SetItemsProcessed(state.iterations() * events);
}

void BM_TickToMs(benchmark::State& state) {
  CTempoMap map;
  map.Reset(1000, 0);
  const uint32_t points = static_cast<uint32_t>(state.range(0));
  for (uint32_t i = 1; i < points; ++i) map.AddTempo(i * 480, 1000 + (i % 7) * 100);
  const uint32_t end = points * 480;
  uint32_t tick = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map.TickToMs(tick, 0, 1, 0));
    tick = (tick + 7919) % end;
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_EraseAndUndo)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickToMs)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
