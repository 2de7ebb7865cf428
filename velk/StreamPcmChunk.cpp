// The stream-PCM chunk "Mtsp".
#include "velk/StreamPcmChunk.h"

#include <memory>
#include <utility>

namespace {

constexpr uint8_t kFirstWave = 1;
constexpr uint8_t kLastWave = 32;

}  // namespace

CStreamPcmChunk::CStreamPcmChunk(CMemStream& stream, uint32_t* report) : CStreamPcmChunkBase(stream) {
  CMemStream body(GetBody(), static_cast<int32_t>(GetBodySize()), false);
  while (!body.AtEnd()) {
    uint32_t id = PeekChunkId(body);
    if (!HasChunkPrefix(id, 'M', 'w', 'a')) {
      SkipChunk(body);
      continue;
    }
    auto n = static_cast<uint8_t>(id);
    if (n < kFirstWave || n > kLastWave) {
      if (report) *report |= kReportWaveOutOfRange;
      SkipChunk(body);
      continue;
    }
    auto wave = std::make_unique<CWaveDataChunk>(body);
    wave->SetNumber(n);
    m_waves.AddOwned(std::move(wave));
  }
}

void CStreamPcmChunk::WriteBody(CMemStream& stream) {
  CWaveDataChunk* wave = nullptr;
  for (CWaveDataIter it(m_waves); it.Next(wave);) wave->Write(stream);
}
