// Events per second of the SMF walkers over generated songs of 25,000 to 100,000 events; the
// figure staying flat as the song grows shows that each walk is linear.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "SmfTestImages.h"
#include "song/PtrChain.h"
#include "song/SmfChannelStreams.h"
#include "song/SmfEventStreamList.h"
#include "song/SmfTimedEventList.h"
#include "song/SmfTrackSet.h"
#include "song/StreamPCMSlot.h"

namespace {

using smftest::Bytes;
using smftest::Track;

// Notes on and off in turn on one channel, a few ticks apart, with a program change now and
// then; `events` events in all.
Track NoteTrack(uint8_t channel, uint32_t events, uint32_t step, bool streamKeys) {
  Track t;
  uint8_t on = static_cast<uint8_t>(0x90 | channel), off = static_cast<uint8_t>(0x80 | channel);
  for (uint32_t i = 0; i < events; ++i) {
    uint8_t note = streamKeys ? static_cast<uint8_t>(i / 2 % 4) : static_cast<uint8_t>(40 + i / 2 % 40);
    if (i % 64 == 63) {
      t.Event(step, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(i % 8)});
    } else {
      t.Event(i % 2 ? step : 0, {i % 2 ? off : on, note, static_cast<uint8_t>(i % 2 ? 0 : 100)});
    }
  }
  return t;
}

Bytes SixteenTracks(uint32_t events) {
  std::vector<Track> tracks;
  for (uint8_t ch = 0; ch < 16; ++ch) tracks.push_back(NoteTrack(ch, events / 16, 3, false));
  return smftest::Image(tracks, 1, 480);
}

Bytes OneTrack(uint32_t events, bool streamKeys) {
  Track t;
  t.TickTempo(0, 1000);
  t.Event(0, {0xB0, 55, 4});
  t.Append(NoteTrack(streamKeys ? 9 : 0, events - 2, 1, streamKeys));
  return smftest::Image({t}, 0, 480);
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}

void DensityWalkSixteenTracks(benchmark::State& state) {
  Bytes image = SixteenTracks(static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) {
    CSmfTimedEventList list;
    list.AnalyseDensity(image.data(), static_cast<uint32_t>(image.size()), 500);
    benchmark::DoNotOptimize(list.GetMaxDensity());
  }
  Report(state);
}

void TrackSetSixteenTracks(benchmark::State& state) {
  Bytes image = SixteenTracks(static_cast<uint32_t>(state.range(0)));
  uint8_t codes[16] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4};
  for (auto _ : state) {
    CSmfTrackSet set;
    set.Parse(image.data(), static_cast<uint32_t>(image.size()), codes);
    benchmark::DoNotOptimize(set.GetTrackSize(1));
  }
  Report(state);
}

void ChannelSplitOneTrack(benchmark::State& state) {
  Bytes image = OneTrack(static_cast<uint32_t>(state.range(0)), false);
  for (auto _ : state) {
    CSmfChannelStreams split;
    split.SplitChannels(image.data(), static_cast<uint32_t>(image.size()));
    benchmark::DoNotOptimize(split.GetStreamSize());
  }
  Report(state);
}

void StreamRateOneTrack(benchmark::State& state) {
  Bytes image = OneTrack(static_cast<uint32_t>(state.range(0)), true);
  std::vector<std::unique_ptr<CStreamPCMSlot>> owned;
  CPtrChain slots;
  for (int id = 1; id <= 4; ++id) {
    owned.push_back(std::make_unique<CStreamPCMSlot>());
    owned.back()->SetId(id);
    owned.back()->SetFormat(2);
    owned.back()->SetRate(static_cast<uint16_t>(8000 * id));
    slots.AddTail(reinterpret_cast<CPtrChain::Value>(owned.back().get()));
  }
  for (auto _ : state) {
    CSmfEventStreamList list;
    list.AnalyseStreamRate(image.data(), static_cast<uint32_t>(image.size()), slots);
    benchmark::DoNotOptimize(list.GetMaxRate());
  }
  slots.RemoveAll();
  Report(state);
}

}  // namespace

BENCHMARK(DensityWalkSixteenTracks)->Arg(25000)->Arg(50000)->Arg(100000)->Complexity();
BENCHMARK(TrackSetSixteenTracks)->Arg(25000)->Arg(50000)->Arg(100000)->Complexity();
BENCHMARK(ChannelSplitOneTrack)->Arg(25000)->Arg(50000)->Arg(100000)->Complexity();
BENCHMARK(StreamRateOneTrack)->Arg(25000)->Arg(50000)->Arg(100000)->Complexity();

BENCHMARK_MAIN();
