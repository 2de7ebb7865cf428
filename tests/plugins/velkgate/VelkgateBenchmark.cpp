// Throughput of Velkgate's Huffman coder over score-stream bytes, in MB/s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "plugins/velkgate/HuffmanCoder.h"
#include "song/MemStream.h"

namespace {

constexpr uint32_t kSourceSize = 1u << 20;

/// A score stream of notes, controllers and short gaps, as the encoder writes one.
std::vector<uint8_t> ScoreStream() {
  std::mt19937 random(11);
  std::vector<uint8_t> out;
  out.reserve(kSourceSize);
  while (out.size() + 8 <= kSourceSize) {
    uint8_t channel = static_cast<uint8_t>(random() % 16);
    out.push_back(static_cast<uint8_t>(random() % 24));  // duration
    if (random() % 5 == 0) {
      out.insert(out.end(), {static_cast<uint8_t>(0xB0 | channel), 0x07,
                             static_cast<uint8_t>(random() % 128)});
    } else {
      out.insert(out.end(), {static_cast<uint8_t>(0x80 | channel),
                             static_cast<uint8_t>(48 + random() % 36),
                             static_cast<uint8_t>(random() % 60)});
    }
  }
  out.resize(kSourceSize, 0);
  return out;
}

void BM_HuffmanEncode(benchmark::State& state) {
  std::vector<uint8_t> source = ScoreStream();
  for (auto _ : state) {
    CMemStream out;
    velkgate::CHuffmanCoder coder;
    benchmark::DoNotOptimize(coder.Encode(source.data(), kSourceSize, out));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSourceSize);
}
BENCHMARK(BM_HuffmanEncode)->Unit(benchmark::kMillisecond);

void BM_HuffmanDecode(benchmark::State& state) {
  std::vector<uint8_t> source = ScoreStream();
  CMemStream coded;
  velkgate::CHuffmanCoder encoder;
  encoder.Encode(source.data(), kSourceSize, coded);
  std::vector<uint8_t> out(kSourceSize);
  for (auto _ : state) {
    velkgate::CHuffmanCoder coder;
    benchmark::DoNotOptimize(coder.Decode(coded.GetData(), static_cast<uint32_t>(coded.GetSize()),
                                          out.data(), kSourceSize));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSourceSize);
}
BENCHMARK(BM_HuffmanDecode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
