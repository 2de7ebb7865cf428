// How fast a native song file becomes the document: events per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/song/SmfTestImages.h"

namespace {

constexpr int kEvents = 100000;

std::string WriteSong() {
  smftest::Track t;
  t.TickTempo(0, 1250);
  for (int i = 0; i < kEvents / 2; ++i) {
    const uint8_t channel = static_cast<uint8_t>(i % 16);
    t.Event(0, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(40 + i % 40), 100});
    t.Event(10, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(40 + i % 40), 0});
  }
  t.EndOfTrack();
  const auto image = smftest::Image({t});
  const auto path = (std::filesystem::temp_directory_path() / "trillot_native_bench.K3N").string();
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return path;
}

void BM_ReadNativeFile(benchmark::State& state) {
  platform::FakeHost host;
  const std::string path = WriteSong();
  CKZ1Doc doc;
  for (auto _ : state) {
    doc.ResetSong();
    benchmark::DoNotOptimize(doc.ReadNativeFile(path));
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadNativeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
