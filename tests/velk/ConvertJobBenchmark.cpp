// How fast the conversion job turns a VELK image of 4 parts of 5,000 notes each into KZ-1 data.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "song/MemStream.h"
#include "song/VoiceTable1.h"
#include "velk/ConvertJob.h"
#include "velk/Crc16.h"

namespace {

constexpr int kParts = 4;
constexpr int kNotesPerPart = 5000;

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out(id, id + 4);
  PutBE32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// Tempo code 0; the parts' notes interleave two ticks apart (three units once scaled), each in
// the window 37..72 of its range 0.
std::vector<uint8_t> Image() {
  std::vector<uint8_t> seq = {0x00, 0xFF, 0xF0, 0x06, 0x43, 0x01, 0x80, 0x31, 0x00, 0xF7};
  for (int i = 0; i < kNotesPerPart; ++i) {
    for (int c = 0; c < kParts; ++c) {
      const int note = 37 + (i * 7 + c * 5) % 36;
      const int block = (note - 37) / 12;
      const int k = note % 12 == 0 ? 12 : note % 12;
      seq.insert(seq.end(), {static_cast<uint8_t>(c == 0 ? 2 : 0),
                             static_cast<uint8_t>((c << 6) | (block << 4) | k), 1});
    }
  }
  seq.insert(seq.end(), {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00});
  std::vector<uint8_t> track = {0, 0, 2, 2, 0, 0};
  const auto sequence = Chunk("Mtsq", seq);
  track.insert(track.end(), sequence.begin(), sequence.end());
  const auto body = Chunk("MTR\0", track);
  std::vector<uint8_t> out = {'M', 'M', 'M', 'D'};
  PutBE32(out, static_cast<uint32_t>(body.size() + 2));
  out.insert(out.end(), body.begin(), body.end());
  const uint16_t crc = Crc16(static_cast<uint32_t>(out.size()), out.data());
  out.push_back(static_cast<uint8_t>(crc >> 8));
  out.push_back(static_cast<uint8_t>(crc));
  return out;
}

void BM_ConvertJob(benchmark::State& state) {
  std::vector<uint8_t> image = Image();
  CVoiceTable1 table;
  for (int i = 0; i < CVoiceTable1::kEntryCount; ++i) table.GetEntry(i)[32] = 0xF0;
  int64_t written = 0;
  for (auto _ : state) {
    CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
    CMemStream out;
    CConvertJob job(in, table, table, out, state.range(0) != 0);
    if (job.Run() != 0) state.SkipWithError("the conversion failed");
    written = out.GetSize();
  }
  state.counters["image_bytes"] = static_cast<double>(written);
  state.SetItemsProcessed(state.iterations() * kParts * kNotesPerPart);
}
BENCHMARK(BM_ConvertJob)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
