// The assignment map over a song whose every voice slot is assigned: the model's cell texts,
// colours and sizes, and the offscreen paint of the whole grid, which each repaint of the map
// does again (a play-position refresh repaints it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "voice/models/VamModel.h"
#include "voice/ui/VAMPane.h"
#include "voice/ui/VoiceWindowRegistration.h"

namespace {

// Both slot areas: the ordinary one the map shows and the second one behind it.
constexpr int kAssignedSlots = 256;

/// A chip-mode-3 song with FM voices of 4 operators on user waves and RAM PCM voices.
struct MapSong {
  MapSong() {
    host.settings.chipMode = 3;
    host.settings.outputProfile = 2;
    host.registry.voiceLibrary = &library;
    doc = std::make_unique<CKZ1Doc>();
    host.registry.document = doc.get();
    doc->SetChannelValue(0, 1);
    std::vector<uint8_t> wave(64, 0x22);
    for (int shape : {15, 23, 31}) {
      auto block = std::make_unique<CNamedBlock>();
      block->SetData(wave.data(), static_cast<uint32_t>(wave.size()));
      doc->SetWaveBlockAt(shape, std::move(block));
    }
    std::vector<uint8_t> samples(2000, 0x33);
    for (int i = 0; i < kAssignedSlots; ++i) {
      CVoiceItem v;
      v.SetBankMsb(124);
      v.SetBankLsb(static_cast<uint8_t>(1 + i / 128));
      v.SetProgram(static_cast<uint8_t>(i % 128));
      v.SetName("Assigned voice");
      if (i % 2) {
        v.SetPcmFlag(1);
        v.SetWaveId(static_cast<uint8_t>(i % 128));
        v.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
      } else {
        v.SetAlgorithm(4);
        v.SetOpWS(1, 15);
        v.SetOpWS(3, 31);
      }
      v.UpdateKind();
      doc->GetVoiceAssignTable().SetAddress(i, v.GetBankMsb(), v.GetBankLsb(), v.GetProgram(), 0);
      doc->GetVoiceAssignTable().SetVoiceItem(i, v);
      doc->SetSlotUse(i % 16, i % 128, 1);
    }
  }

  platform::FakeHost host;
  CVoiceLibrary library;
  std::unique_ptr<CKZ1Doc> doc;
};

void MapModelOfAssignedSlots(benchmark::State& state) {
  MapSong song;
  CVamModel model(3);
  model.SetMode(3, kAssignedSlots, 2);
  for (auto _ : state) {
    size_t total = 0;
    for (int slot = 0; slot < kAssignedSlots; ++slot) {
      total += model.RowColour(*song.doc, slot, -1);
      for (int c = 0; c < CVamModel::kColumnCount; ++c) {
        if (model.ColumnWidth(c) > 0) total += model.CellOf(*song.doc, slot, c).text.size();
      }
    }
    benchmark::DoNotOptimize(total);
  }
  state.counters["slots"] = kAssignedSlots;
}
BENCHMARK(MapModelOfAssignedSlots)->Unit(benchmark::kMicrosecond);

/// The grid painted offscreen as a repaint draws it, tall enough for every row the map shows;
/// the argument is the output profile (2: the tab-strip layout, 4: the channel columns).
void MapPaintOfAssignedSlots(benchmark::State& state) {
  MapSong song;
  const int profile = static_cast<int>(state.range(0));
  song.host.settings.outputProfile = profile;
  RegisterVoiceWindows();
  CVAMPane pane;
  pane.SetMode(3);
  const int rows = pane.Model().GetLastRow() - pane.Model().GetFirstRow() + 1;
  pane.resize(1000, CVamModel::kTabStripHeight + CVamModel::kRowHeight * (rows + 1) + 40);
  for (auto _ : state) benchmark::DoNotOptimize(pane.Render());
  state.counters["rows"] = rows;
}
BENCHMARK(MapPaintOfAssignedSlots)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
