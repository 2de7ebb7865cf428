// The assignment map's model over every ordinary voice slot assigned: the cell texts, colours and
// sizes that each repaint of the map reads again (a play-position refresh repaints it).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "voice/models/VamModel.h"

namespace {

void MapModelOfAssignedSlots(benchmark::State& state) {
  platform::FakeHost host;
  CVoiceLibrary library;
  host.registry.voiceLibrary = &library;
  auto doc = std::make_unique<CKZ1Doc>();
  host.registry.document = doc.get();
  doc->SetChannelValue(0, 1);
  std::vector<uint8_t> samples(2000, 0x33);
  for (int i = 0; i < 128; ++i) {
    CVoiceItem v;
    v.SetBankMsb(124);
    v.SetBankLsb(static_cast<uint8_t>(1 + i / 64));
    v.SetProgram(static_cast<uint8_t>(i % 128));
    if (i % 2) {
      v.SetPcmFlag(1);
      v.SetWaveId(static_cast<uint8_t>(i));
      v.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
    } else {
      v.SetAlgorithm(4);
    }
    v.UpdateKind();
    doc->GetVoiceAssignTable().SetAddress(i, v.GetBankMsb(), v.GetBankLsb(), v.GetProgram(), 0);
    doc->GetVoiceAssignTable().SetVoiceItem(i, v);
    doc->SetSlotUse(i % 16, i, 1);
  }
  CVamModel model(3);
  model.SetMode(3, 128, 2);
  for (auto _ : state) {
    size_t total = 0;
    for (int slot = 0; slot < 128; ++slot) {
      total += model.RowColour(*doc, slot, -1);
      for (int c = 0; c < CVamModel::kColumnCount; ++c) {
        if (model.ColumnWidth(c) > 0) total += model.CellOf(*doc, slot, c).text.size();
      }
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(MapModelOfAssignedSlots);

}  // namespace

BENCHMARK_MAIN();
