// Loading, saving and reloading generated voice banks of 1 MB and 8 MB; bytes per second that
// stay flat as the bank grows show that each is linear in the bank's size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "song/MemStream.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"

namespace {

// FM voices and PCM voices with their own waves, at distinct user addresses, until the saved
// bank reaches `megabytes`.
std::vector<uint8_t> GeneratedBank(int megabytes) {
  CVoiceBank bank;
  const size_t target = static_cast<size_t>(megabytes) << 20;
  size_t size = 0;
  std::vector<uint8_t> samples(480);
  for (uint32_t i = 0; size < target; ++i) {
    CVoiceItem item;
    const uint8_t msb = static_cast<uint8_t>(1 + i / 16384 % 120);
    const uint8_t lsb = static_cast<uint8_t>(i / 128 % 128);
    const uint8_t program = static_cast<uint8_t>(i % 128);
    if (i % 4 == 3) {
      item.SetPcmFlag(1);
      item.SetWaveId(static_cast<uint8_t>(i % 128));
      item.SetWaveHeaderId(static_cast<uint8_t>(i % 128));
      for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<uint8_t>(i + k);
      item.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
      size += 40 + 20 + samples.size();
    } else {
      item.SetAlgorithm(static_cast<uint8_t>(i % 8));
      size += 55;
    }
    item.SetBankMsb(msb);
    item.SetBankLsb(lsb);
    item.SetProgram(program);
    bank.AddItem(new CVoiceItem(item));  // the addresses are distinct: no lookup needed
  }
  CMemStream out;
  bank.SaveChunks(out, true);
  return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

void BM_LoadBank(benchmark::State& state) {
  const std::vector<uint8_t> file = GeneratedBank(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CVoiceBank bank;
    bool ok = bank.LoadBytes(file.data(), static_cast<uint32_t>(file.size()), CVoiceBank::kLoadAll);
    benchmark::DoNotOptimize(ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_LoadBank)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_SaveAndReloadBank(benchmark::State& state) {
  const std::vector<uint8_t> file = GeneratedBank(static_cast<int>(state.range(0)));
  CVoiceBank bank;
  bank.LoadBytes(file.data(), static_cast<uint32_t>(file.size()), CVoiceBank::kLoadAll);
  for (auto _ : state) {
    CMemStream out;
    bank.SaveChunks(out, true);
    CVoiceBank back;
    bool ok = back.LoadBytes(out.GetData(), static_cast<uint32_t>(out.GetSize()), CVoiceBank::kLoadAll);
    benchmark::DoNotOptimize(ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_SaveAndReloadBank)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
