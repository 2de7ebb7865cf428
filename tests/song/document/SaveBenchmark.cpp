// How fast the song becomes bytes: the plain SMF export and the native image over a long song,
// in events per second.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"
#include "song/document/KZ1Doc.h"

namespace {

/// A song of n events over 16 channels: volumes, program changes and notes.
void FillSong(CKZ1Doc& doc, int events) {
  auto& list = *doc.GetMidiList();
  for (int i = 0; i < events; ++i) {
    const uint8_t ch = static_cast<uint8_t>(i % 16);
    uint8_t bytes[3];
    switch (i % 8) {
      case 0: bytes[0] = 0xB0 | ch; bytes[1] = 7; bytes[2] = 100; break;
      case 1: bytes[0] = 0xC0 | ch; bytes[1] = static_cast<uint8_t>(i % 128); bytes[2] = 0; break;
      default: bytes[0] = 0x90 | ch; bytes[1] = static_cast<uint8_t>(36 + i % 48); bytes[2] = 90; break;
    }
    const uint32_t length = (bytes[0] & 0xF0) == 0xC0 ? 2 : 3;
    list.push_back(std::make_unique<CMidiMsg>(static_cast<uint32_t>(i * 10),
                                              static_cast<uint32_t>(i * 10 + 40), length, bytes, 0));
  }
}

void BM_WriteSmf(benchmark::State& state) {
  platform::FakeHost host;
  CKZ1Doc doc;
  doc.SetRefreshSuppress(0);
  const int events = static_cast<int>(state.range(0));
  FillSong(doc, events);
  SongOutputRecord setup;
  for (auto _ : state) {
    CMemStream out;
    benchmark::DoNotOptimize(doc.WriteSmf(out, setup));
    benchmark::DoNotOptimize(out.GetSize());
  }
  state.SetItemsProcessed(state.iterations() * events);
}

BENCHMARK(BM_WriteSmf)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MakeKZ3NativeFormat(benchmark::State& state) {
  platform::FakeHost host;
  CKZ1Doc doc;
  doc.SetRefreshSuppress(0);
  const int events = static_cast<int>(state.range(0));
  FillSong(doc, events);
  for (auto _ : state) {
    CMemStream out;
    benchmark::DoNotOptimize(doc.makeKZ3NativeFormat(out, 0, 0));
    benchmark::DoNotOptimize(out.GetSize());
  }
  state.SetItemsProcessed(state.iterations() * events);
}

BENCHMARK(BM_MakeKZ3NativeFormat)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
