// Throughput of Velkgate's Huffman coder over score-stream bytes, in MB/s, of its two
// conversions over songs of 10k to 1M events, in events per second, and of its pointer array.
// The sizes carry SetComplexityN, so a cost that grows faster than the input shows in the fit.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "app/CnvParam.h"
#include "plugins/velkgate/HuffmanCoder.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/PtrArray.h"
#include "plugins/velkgate/TempoMessage.h"
#include "plugins/velkgate/VelkExport.h"
#include "plugins/velkgate/VelkImport.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"

namespace {

constexpr uint32_t kSourceSize = 1u << 20;

/// A score stream of notes, controllers and short gaps, as the encoder writes one.
std::vector<uint8_t> ScoreStream(uint32_t size = kSourceSize) {
  std::mt19937 random(11);
  std::vector<uint8_t> out;
  out.reserve(size);
  while (out.size() + 8 <= size) {
    uint8_t channel = static_cast<uint8_t>(random() % 16);
    out.push_back(static_cast<uint8_t>(random() % 24));  // duration
    if (random() % 5 == 0) {
      out.insert(out.end(), {static_cast<uint8_t>(0xB0 | channel), 0x07,
                             static_cast<uint8_t>(random() % 128)});
    } else {
      out.insert(out.end(),
                 {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(48 + random() % 36),
                  static_cast<uint8_t>(random() % 60)});
    }
  }
  out.resize(size, 0);
  return out;
}

void BM_HuffmanEncode(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> source = ScoreStream(size);
  for (auto _ : state) {
    CMemStream out;
    velkgate::CHuffmanCoder coder;
    benchmark::DoNotOptimize(coder.Encode(source.data(), size, out));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
  state.SetComplexityN(size);
}
BENCHMARK(BM_HuffmanEncode)
    ->RangeMultiplier(4)
    ->Range(1 << 16, 1 << 22)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_HuffmanDecode(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> source = ScoreStream(size);
  CMemStream coded;
  velkgate::CHuffmanCoder encoder;
  encoder.Encode(source.data(), size, coded);
  std::vector<uint8_t> out(size);
  for (auto _ : state) {
    velkgate::CHuffmanCoder coder;
    benchmark::DoNotOptimize(
        coder.Decode(coded.GetData(), static_cast<uint32_t>(coded.GetSize()), out.data(), size));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
  state.SetComplexityN(size);
}
BENCHMARK(BM_HuffmanDecode)
    ->RangeMultiplier(4)
    ->Range(1 << 16, 1 << 22)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

constexpr uint32_t kOutputCapacity = 1u << 26;

/// Song data of events / 2 notes on four channels, one every 48 ticks at division 480.
std::vector<uint8_t> MakeLongSong(uint32_t events) {
  velkgate::CMidiList list;
  list.GetSetup().SetTimeBase(480);
  list.GetContentsInfo().SetOptionByte1(0);
  std::vector<uint8_t> tempo = velkgate::MakeTempoMessage(500000);
  list.GetMainList().Add(new CSeqEvent(0, static_cast<uint32_t>(tempo.size()), tempo.data(), 0, 0));
  std::mt19937 random(5);
  for (uint32_t i = 0; i < events / 2; ++i) {
    uint8_t note[3] = {static_cast<uint8_t>(0x90 | (i % 4)),
                       static_cast<uint8_t>(40 + random() % 48),
                       static_cast<uint8_t>(1 + random() % 127)};
    list.GetMainList().Add(new CSeqEvent(48 * i, 3, note, 48 * i + 40, 0));
  }
  CMemStream out;
  uint32_t report = 0;
  list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report);
  return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

/// The song of that many events, built once per run of the program.
const std::vector<uint8_t>& LongSong(uint32_t events) {
  static std::map<uint32_t, std::vector<uint8_t>> songs;
  auto found = songs.find(events);
  if (found == songs.end()) found = songs.emplace(events, MakeLongSong(events)).first;
  return found->second;
}

uint32_t Convert(bool to, const std::vector<uint8_t>& source, uint32_t flags,
                 std::vector<uint8_t>& dst) {
  CnvParam param{};
  param.flags = flags;
  param.src = source.data();
  param.srcSize = static_cast<uint32_t>(source.size());
  param.dst = dst.data();
  param.dstSize = static_cast<uint32_t>(dst.size());
  return to ? velkgate::CVelkExport(param).Run() : velkgate::CVelkImport(param).Run();
}

void BM_CnvTo(benchmark::State& state) {
  const auto events = static_cast<uint32_t>(state.range(0));
  const std::vector<uint8_t>& song = LongSong(events);
  std::vector<uint8_t> dst(kOutputCapacity);
  uint32_t flags = state.range(1) ? 0xA0 : 0x20;
  for (auto _ : state) {
    uint32_t result = Convert(true, song, flags, dst);
    if (result >= CNVERR_FAILED) state.SkipWithError("CnvTo failed");
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * events);
  state.SetComplexityN(events);
  state.SetLabel(state.range(1) ? "compressed" : "plain");
}
// The plain and the compressed form each fit their own complexity over the three sizes.
BENCHMARK(BM_CnvTo)
    ->ArgsProduct({{10000, 100000, 1000000}, {0}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CnvTo)
    ->ArgsProduct({{10000, 100000, 1000000}, {1}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_CnvFrom(benchmark::State& state) {
  const auto events = static_cast<uint32_t>(state.range(0));
  const std::vector<uint8_t>& song = LongSong(events);
  std::vector<uint8_t> dst(kOutputCapacity);
  uint32_t size = Convert(true, song, state.range(1) ? 0xA0 : 0x20, dst);
  if (size >= CNVERR_FAILED) {
    state.SkipWithError("CnvTo failed");
    return;
  }
  std::vector<uint8_t> image(dst.begin(), dst.begin() + size);
  for (auto _ : state) {
    uint32_t result = Convert(false, image, CNVF_RETIME_480, dst);
    if (result >= CNVERR_FAILED) state.SkipWithError("CnvFrom failed");
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * events);
  state.SetComplexityN(events);
  state.SetLabel(state.range(1) ? "compressed" : "plain");
}
BENCHMARK(BM_CnvFrom)
    ->ArgsProduct({{10000, 100000, 1000000}, {0}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CnvFrom)
    ->ArgsProduct({{10000, 100000, 1000000}, {1}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_PtrArrayAdd(benchmark::State& state) {
  const auto n = static_cast<int32_t>(state.range(0));
  int item = 0;
  for (auto _ : state) {
    velkgate::CPtrArray<int> array;
    for (int32_t i = 0; i < n; ++i) array.Add(&item);
    benchmark::DoNotOptimize(array.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.SetComplexityN(n);
}
BENCHMARK(BM_PtrArrayAdd)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
