// How fast a KZ-1 song file of the serial board's largest size becomes the document.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr size_t kFileSize = 28670;

std::string WriteSong() {
  std::vector<uint8_t> file(84, 0);
  file[66] = 0x32;
  file[67] = 0x10;
  file[69] = 30;
  for (size_t i = 0; file.size() < kFileSize; ++i) {
    // Notes on four channels over three octaves, with a rest and a tied pair now and then.
    const int channel = static_cast<int>(i % 4);
    const int octave = 1 + static_cast<int>(i / 4 % 3);
    const int code = 1 + static_cast<int>(i % 15);
    uint16_t w = static_cast<uint16_t>((octave << 14) | (code << 10) | (channel << 8) | (3 << 3) | 2);
    if (i % 37 == 0) w = static_cast<uint16_t>(0x3000 | (channel << 8) | (4 << 3));
    if (i % 53 == 0) w = static_cast<uint16_t>((octave << 14) | (5 << 10) | (channel << 8) | (13 << 3) | 7);
    file.push_back(static_cast<uint8_t>(w >> 8));
    file.push_back(static_cast<uint8_t>(w));
  }
  const auto path = (std::filesystem::temp_directory_path() / "trillot_kz1_bench.kz1").string();
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return path;
}

void BM_ReadKZ1File(benchmark::State& state) {
  platform::FakeHost host;
  host.settings.chipMode = 1;
  const std::string path = WriteSong();
  CKZ1Doc doc;
  doc.SetRefreshSuppress(0);
  for (auto _ : state) {
    doc.ResetSong();
    doc.SetExportOption2(1);
    benchmark::DoNotOptimize(doc.ReadKZ1File(path));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadKZ1File)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
