// Throughput of the VELK checksum and of the program's Huffman decoder, in MB/s, over sizes
// from 64 KiB to 4 MiB; SetComplexityN shows a cost growing faster than the input.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "velk/Crc16.h"
#include "velk/HuffmanCoder.h"

namespace {

std::vector<uint8_t> RandomBytes(size_t n) {
  std::mt19937 random(3);
  std::vector<uint8_t> out(n);
  for (uint8_t& b : out) b = static_cast<uint8_t>(random());
  return out;
}

void BM_Crc16(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> data = RandomBytes(size);
  for (auto _ : state) benchmark::DoNotOptimize(Crc16(size, data.data()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
  state.SetComplexityN(size);
}
BENCHMARK(BM_Crc16)->RangeMultiplier(4)->Range(1 << 16, 1 << 22)->Complexity(benchmark::oN);

/// A coded stream of `size` symbols: a balanced tree of 16 leaves (4 bits each) and the codes
/// of a repeating pattern, as the VELK score coder writes them (count, tree, bits MSB first).
std::vector<uint8_t> CodedStream(uint32_t size) {
  std::vector<uint8_t> out = {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                              static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
  std::vector<int> bits;
  // Pre-order: 1 for an inner node, 0 and 8 bits for a leaf; 15 inner nodes over 16 leaves.
  auto tree = [&](auto& self, int depth, int& leaf) -> void {
    if (depth == 4) {
      bits.push_back(0);
      int symbol = 0x80 + 3 * leaf++;
      for (int i = 7; i >= 0; --i) bits.push_back((symbol >> i) & 1);
      return;
    }
    bits.push_back(1);
    self(self, depth + 1, leaf);
    self(self, depth + 1, leaf);
  };
  int leaf = 0;
  tree(tree, 0, leaf);
  std::mt19937 random(9);
  for (uint32_t i = 0; i < size; ++i) {
    unsigned code = random() % 16;
    for (int b = 3; b >= 0; --b) bits.push_back((code >> b) & 1);
  }
  uint8_t byte = 0;
  int used = 0;
  for (int b : bits) {
    byte = static_cast<uint8_t>(byte << 1 | b);
    if (++used == 8) out.push_back(byte), byte = 0, used = 0;
  }
  if (used) out.push_back(static_cast<uint8_t>(byte << (8 - used)));
  return out;
}

void BM_HuffmanDecode(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> coded = CodedStream(size);
  std::vector<uint8_t> out(size);
  for (auto _ : state) {
    CHuffmanCoder coder(coded.data(), static_cast<uint32_t>(coded.size()), out.data(), size);
    benchmark::DoNotOptimize(coder.Decode());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
  state.SetComplexityN(size);
}
BENCHMARK(BM_HuffmanDecode)->RangeMultiplier(4)->Range(1 << 16, 1 << 22)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
