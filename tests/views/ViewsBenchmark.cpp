// Figures of the song views, reported and never asserted: the piano roll's full repaint of a
// 50,000-note song and the event list's rebuild of 100,000 events with a page scroll.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "views/EListView.h"
#include "views/PRollPane.h"

namespace {

void FillNotes(CKZ1Doc& doc, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t bytes[] = {static_cast<uint8_t>(0x90 | (i % 16)), static_cast<uint8_t>(36 + i % 48), 64};
    doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(i * 12, i * 12 + 40, 3, bytes, 0));
  }
}

void PianoRollRepaint(benchmark::State& state) {
  platform::FakeHost fake;
  CKZ1Doc doc;
  FillNotes(doc, 50000);
  SongViewHostFake host;
  host.doc = &doc;
  CPRollPane pane(host);
  pane.resize(1000, 700);
  pane.show();
  pane.TabStrip()->setCurrentIndex(pane.TabStrip()->count() - 1);
  pane.UpdateView(nullptr);
  int position = 0;
  for (auto _ : state) {
    pane.OnHScroll(4, position);
    position = (position + 7) % 3000;
    benchmark::DoNotOptimize(pane.Compose());
  }
  // The time per iteration is the time of one repaint.
  state.counters["visited"] = static_cast<double>(pane.Index().Visited()) / static_cast<double>(state.iterations());
}
BENCHMARK(PianoRollRepaint)->Unit(benchmark::kMillisecond);

void EventListRebuildAndPageScroll(benchmark::State& state) {
  platform::FakeHost fake;
  CKZ1Doc doc;
  FillNotes(doc, 100000);
  SongViewHostFake host;
  host.doc = &doc;
  CEListView view(host);
  view.resize(340, 600);
  view.show();
  view.TabStrip()->setCurrentIndex(view.TabStrip()->count() - 1);
  for (auto _ : state) {
    view.UpdateList();
    QScrollBar* bar = view.List()->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    view.List()->viewport()->grab();
  }
  state.counters["texts/rebuild"] = static_cast<double>(view.Model().FormattedCount());
}
BENCHMARK(EventListRebuildAndPageScroll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
