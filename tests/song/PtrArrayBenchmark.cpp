// The song's pointer containers filled to 10k..1M entries; SetComplexityN shows a growth that
// copies the whole array on every step.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "song/GrowPtrArray.h"
#include "song/PtrChain.h"
#include "song/PtrVector.h"

namespace {

int g_item = 0;

void BM_GrowPtrArrayAdd(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    CGrowPtrArray array;
    for (uint32_t i = 0; i < n; ++i) array.Add(&g_item);
    benchmark::DoNotOptimize(array.GetCount());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
  state.SetComplexityN(n);
}
BENCHMARK(BM_GrowPtrArrayAdd)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// Inserting just before the last entry: a constant move per insertion, so what grows is the array.
void BM_PtrVectorInsertNearEnd(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    CPtrVector vector;
    vector.Add(&g_item);
    for (uint32_t i = 1; i < n; ++i)
      vector.InsertAt(static_cast<int32_t>(vector.GetCount() - 1), &g_item);
    benchmark::DoNotOptimize(vector.GetCount());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
  state.SetComplexityN(n);
}
BENCHMARK(BM_PtrVectorInsertNearEnd)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

void BM_PtrChainAddTail(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    CPtrChain chain;
    for (uint32_t i = 0; i < n; ++i) chain.AddTail(i);
    benchmark::DoNotOptimize(chain.GetCount());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
  state.SetComplexityN(n);
}
BENCHMARK(BM_PtrChainAddTail)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
