// The voice item's wave data: one block of a 20-byte header and the samples.
#include <cstring>

#include "platform/mem/ZeroedBlock.h"
#include "song/MemStream.h"
#include "song/VoiceItem.h"

namespace {

constexpr uint32_t kLengthBias = 17;  // the length field counts format, name and samples
constexpr uint32_t kWaveNameAt = 4;
constexpr uint32_t kOldWaveNameAt = 3;

uint32_t ReadBE16At(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }

void WriteBE16At(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>((v >> 8) & 0xFF);
  p[1] = static_cast<uint8_t>(v & 0xFF);
}

/// Samples that a length field announces.
uint32_t SamplesOfLength(uint32_t length) { return length > kLengthBias ? length - kLengthBias : 0; }

std::unique_ptr<uint8_t[]> Allocate(uint32_t size) {
  auto block = platform::TryAllocZeroed(size);
  if (!block) throw kErrOutOfMemory;
  return block;
}

}  // namespace

void CVoiceItem::FreeWave() {
  m_wave.reset();
  m_waveSize = 0;
}

void CVoiceItem::CopyWaveBlock(const uint8_t* block, uint32_t size) {
  auto copy = Allocate(size);
  std::memcpy(copy.get(), block, size);
  m_wave = std::move(copy);
  m_waveSize = size;
}

void CVoiceItem::EnsureWaveHeader() {
  if (m_wave) return;
  m_wave = Allocate(kWaveHeaderSize);
  m_waveSize = kWaveHeaderSize;
}

bool CVoiceItem::SetWaveData(const uint8_t* block, uint32_t available) {
  if (!block) {
    FreeWave();
    return true;
  }
  if (available < kWaveHeaderSize) return false;
  uint32_t samples = SamplesOfLength(ReadBE16At(block + 1));
  // Checked before copying: a header may claim more than its file holds.
  if (samples > available - kWaveHeaderSize) return false;
  if (block == m_wave.get()) return true;
  if (samples == 0) {
    FreeWave();
    return true;
  }
  auto copy = Allocate(kWaveHeaderSize + samples);
  std::memcpy(copy.get(), block, kWaveHeaderSize + samples);
  m_wave = std::move(copy);
  m_waveSize = kWaveHeaderSize + samples;
  if ((m_wave[3] & 0x03) != GetPcmWaveFormat())
    m_wave[3] = static_cast<uint8_t>((m_wave[3] & ~0x03) | GetPcmWaveFormat());
  return true;
}

bool CVoiceItem::SetWaveDataOld(const uint8_t* record, uint32_t available, uint32_t* recordSize) {
  if (!record || available < 3) return false;
  uint32_t size = ReadBE16At(record + 1);
  if (size < kOldWaveHeaderSize || size > available) return false;
  if (recordSize) *recordSize = size;
  uint32_t samples = size - kOldWaveHeaderSize;
  if (samples == 0) {
    FreeWave();
    return true;
  }
  auto block = Allocate(kWaveHeaderSize + samples);
  block[0] = record[0];
  WriteBE16At(block.get() + 1, samples + kLengthBias);
  block[3] = 0;  // the earlier record has no format byte
  std::memcpy(block.get() + kWaveNameAt, record + kOldWaveNameAt, kNameSize + samples);
  m_wave = std::move(block);
  m_waveSize = kWaveHeaderSize + samples;
  return true;
}

bool CVoiceItem::SetWaveHeaderId(uint8_t v) {
  EnsureWaveHeader();
  m_wave[0] = static_cast<uint8_t>((m_wave[0] & 0x80) | (v & 0x7F));
  return true;
}

bool CVoiceItem::SetWaveLength(uint16_t v) {
  EnsureWaveHeader();
  WriteBE16At(m_wave.get() + 1, v);
  return true;
}

uint16_t CVoiceItem::GetWaveLength() const {
  return m_wave ? static_cast<uint16_t>(ReadBE16At(m_wave.get() + 1)) : 0;
}

uint32_t CVoiceItem::GetWaveSampleSize() const {
  if (!m_wave) return 0;
  uint32_t held = m_waveSize - kWaveHeaderSize;
  uint32_t announced = SamplesOfLength(ReadBE16At(m_wave.get() + 1));
  return announced < held ? announced : held;
}

bool CVoiceItem::SetWaveHeaderFlags(uint8_t v) {
  EnsureWaveHeader();
  m_wave[3] = v;
  return true;
}

bool CVoiceItem::SetWaveName(const char* text) {
  EnsureWaveHeader();
  CopyName(m_wave.get() + kWaveNameAt, text);
  return true;
}

const char* CVoiceItem::GetWaveHeader() const {
  if (!m_wave) return nullptr;
  std::memcpy(m_waveNameCopy, m_wave.get() + kWaveNameAt, kNameSize);
  m_waveNameCopy[kNameSize] = 0;
  return m_waveNameCopy;
}

bool CVoiceItem::SetWaveSamples(const uint8_t* bytes, uint32_t n) {
  if (n > kMaxWaveSamples) n = kMaxWaveSamples;
  if (!bytes) n = 0;
  // A new block first: the samples may come from the block being replaced.
  auto block = Allocate(kWaveHeaderSize + n);
  if (m_wave) std::memcpy(block.get(), m_wave.get(), kWaveHeaderSize);
  if (n > 0) std::memcpy(block.get() + kWaveHeaderSize, bytes, n);
  WriteBE16At(block.get() + 1, n + kLengthBias);
  m_wave = std::move(block);
  m_waveSize = kWaveHeaderSize + n;
  return true;
}
