// The song window's full repaint over a 50,000-note, 16-channel song: milliseconds per
// repaint and notes visited per repaint, reported and never asserted.
#include <benchmark/benchmark.h>

#include "SongWindowHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "views/ChannelView.h"

namespace {

void ChannelViewRepaint(benchmark::State& state) {
  platform::FakeHost fake;
  CKZ1Doc doc;
  for (int k = 0; k < 16; ++k) doc.SetChannelValue(k, 1);
  for (uint32_t i = 0; i < 50000; ++i) {
    const uint8_t bytes[] = {static_cast<uint8_t>(0x90 | (i % 16)), static_cast<uint8_t>(36 + i % 48), 64};
    doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(i * 12, i * 12 + 40, 3, bytes, 0));
  }
  SongWindowHostFake host;
  host.doc = &doc;
  CChannelView pane(host);
  pane.resize(1000, 480);
  pane.show();
  pane.UpdateView(nullptr);
  pane.Index().ResetVisited();
  int position = 0;
  for (auto _ : state) {
    pane.OnHScroll(4, position);
    position = (position + 7) % 3000;
    benchmark::DoNotOptimize(pane.Compose());
  }
  state.counters["visited"] = static_cast<double>(pane.Index().Visited()) / static_cast<double>(state.iterations());
}
BENCHMARK(ChannelViewRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
