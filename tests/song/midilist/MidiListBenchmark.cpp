// Events per second of the MIDI list's writer and reader over a song of 100,000 events.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr uint32_t kEvents = 100000;

// Notes a few ticks apart on four channels, every eighth event a controller.
void FillSong(CSeqEventList& list) {
  for (uint32_t i = 0; i < kEvents; ++i) {
    uint32_t tick = i * 4;
    uint8_t ch = static_cast<uint8_t>(i % 4);
    std::vector<uint8_t> bytes;
    if (i % 8 == 7) {
      bytes = {static_cast<uint8_t>(0xB0 | ch), 7, static_cast<uint8_t>(i % 128)};
    } else {
      bytes = {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(40 + i % 40), 100};
    }
    list.AddOwned(std::make_unique<CSeqEvent>(tick, 3, bytes.data(), tick + 3, 0));
  }
}

void BM_WriteSmf(benchmark::State& state) {
  platform::FakeHost host;
  CMidiList midi;
  CSeqEventList song, none;
  FillSong(song);
  for (auto _ : state) {
    CMemStream out;
    benchmark::DoNotOptimize(midi.WriteSmf(out, song, none, nullptr, nullptr, 1));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEvents);
  song.DeleteAll();
}
BENCHMARK(BM_WriteSmf)->Unit(benchmark::kMillisecond);

void BM_ReadSmf(benchmark::State& state) {
  platform::FakeHost host;
  CSeqEventList song, none;
  FillSong(song);
  CMemStream image;
  {
    CMidiList writer;
    writer.WriteSmf(image, song, none, nullptr, nullptr, 1);
  }
  song.DeleteAll();
  for (auto _ : state) {
    CMidiList midi;
    image.SeekToBegin();
    benchmark::DoNotOptimize(midi.ReadSmf(image, nullptr));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kEvents);
}
BENCHMARK(BM_ReadSmf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
