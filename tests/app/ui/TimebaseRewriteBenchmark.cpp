// Time of one time-base change on a song of 100,000 events with 1,000 device tempo messages.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/core/TimebaseRewrite.h"
#include "platform/host/testing/FakeHost.h"
#include "song/MidiMsg.h"
#include "song/document/KZ1Doc.h"

namespace {

void FillSong(CKZ1Doc& doc, int events, int tempoMessages) {
  auto& list = *doc.GetMidiList();
  const uint8_t meta[6] = {0xFF, 0x51, 0x03, 0x00, 0x01, 0xE0};
  list.push_back(std::make_unique<CMidiMsg>(0, 0, 6, meta, 0));
  const int every = events / tempoMessages;
  for (int i = 0; i < events; ++i) {
    const uint32_t tick = static_cast<uint32_t>(i * 10);
    if (i % every == 0) {
      const uint8_t tempo[11] = {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x00, 0x25, 0x40, 0xF7};
      list.push_back(std::make_unique<CMidiMsg>(tick, tick, 11, tempo, 0));
    } else {
      const uint8_t note[3] = {static_cast<uint8_t>(0x90 | (i % 16)), static_cast<uint8_t>(36 + i % 48), 90};
      list.push_back(std::make_unique<CMidiMsg>(tick, tick + 40, 3, note, 0));
    }
  }
}

void BM_TimebaseChange(benchmark::State& state) {
  platform::FakeHost host;
  CKZ1Doc doc;
  FillSong(doc, static_cast<int>(state.range(0)), 1000);
  doc.SetTimeBaseKZ3(480);
  int n = 480;
  for (auto _ : state) {
    // Alternating keeps each pass a real rewrite of every device tempo message.
    n = n == 480 ? 960 : 480;
    benchmark::DoNotOptimize(timebase::ChangeSongTimebase(&doc, n));
  }
}
BENCHMARK(BM_TimebaseChange)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
