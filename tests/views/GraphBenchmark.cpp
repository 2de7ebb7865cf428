// Figures of the graph windows, reported and never asserted: a density-graph repaint over
// 100,000 samples while scrolling, which places only the samples of the time shown.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "views/EventDensWnd.h"

namespace {

void DensityGraphRepaint(benchmark::State& state) {
  platform::FakeHost fake;
  CKZ1Doc doc;
  std::vector<CMsgKey> points;
  constexpr uint32_t kCount = 100000;
  for (uint32_t i = 0; i < kCount; ++i) points.emplace_back(i * 20, (i * 37) % 1800, 0);
  doc.SetDensityInfo(1, 0, 0, 0, kCount * 20, points);
  SongViewHostFake host;
  host.doc = &doc;
  CEventDensWnd pane(host);
  pane.resize(1000, 400);
  pane.show();
  QScrollBar* bar = pane.TimeBar();
  size_t placed = 0;
  for (auto _ : state) {
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    if (bar->value() == bar->maximum()) bar->setValue(0);
    benchmark::DoNotOptimize(pane.Render());
    const GraphLayout l = pane.CalcLayout();
    const auto [first, last] =
        graph::VisibleSamples(pane.Samples(), pane.Start(), graph::VisibleEnd(l, pane.Start(), pane.Zoom()));
    placed = last - first;
  }
  state.counters["samples"] = static_cast<double>(pane.Samples().size());
  state.counters["placed/repaint"] = static_cast<double>(placed);
}
BENCHMARK(DensityGraphRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
