// Placement of a song's waves, voices and extra data in the chip RAM.
#include "plugins/polyscan/RamPlacer.h"

#include <vector>

#include "app/CnvParam.h"
#include "plugins/polyscan/CheckFailure.h"
#include "song/SmfDialect.h"

namespace polyscan {

namespace {

constexpr uint32_t kFmMinBytes = 17;
constexpr uint32_t kFm4OpMinBytes = 31;
constexpr uint32_t kFm2OpSize = 16;
constexpr uint32_t kFm4OpSize = 30;
constexpr uint32_t kPcmVoiceBytes = 16;
constexpr uint32_t kPcmVoiceSize = 13;
constexpr uint8_t kRomWaveBit = 0x80;
constexpr uint8_t kLastRomWave = 6;
constexpr uint32_t kExtraSize = 2048;

[[noreturn]] void Fail() { throw CheckFailure{CNVERR_FAILED}; }

std::vector<uint8_t> Unpack(const VoiceDef& v) {
  std::vector<uint8_t> plain(UnpackedSize7In8(v.length));
  plain.resize(Unpack7In8(v.data, v.length, plain.data()));
  return plain;
}

}  // namespace

uint16_t RamPlacer::Allocate(uint32_t size) {
  uint32_t address = (m_pointer + 1) & ~1u;
  // Compared before adding: a hostile size must not wrap the pointer back below the limit.
  if (size >= m_limit || address >= m_limit - size) throw CheckFailure{CNVERR_CHIPRAM};
  m_pointer = address + size;
  return static_cast<uint16_t>(address);
}

int RamPlacer::PlaceAll(int streamMode) {
  m_tables.waveAddress.fill(kNoAddress);
  PlaceWaves();
  PlaceVoices();
  PlaceExtras();
  return streamMode > 0 ? m_tables.CountStreamKeys() : 0;
}

void RamPlacer::PlaceWaves() {
  for (int id = 0; id < kWaveIds; ++id) {
    // All blocks of one id form one wave of their joined unpacked length.
    bool found = false;
    uint64_t size = 0;
    for (const WaveBlock& w : m_tables.waves) {
      if (w.id != id) continue;
      found = true;
      size += UnpackedSize7In8(w.length);
    }
    if (!found) continue;
    if (size > m_limit) throw CheckFailure{CNVERR_CHIPRAM};
    m_tables.waveAddress[id] = Allocate(static_cast<uint32_t>(size));
  }
}

void RamPlacer::PlaceVoices() {
  for (VoiceDef& v : m_tables.voices) {
    if (v.kind == VoiceKind::Fm) PlaceFmVoice(v);
    if (v.kind == VoiceKind::Pcm) PlacePcmVoice(v);
  }
}

void RamPlacer::PlaceFmVoice(VoiceDef& v) {
  std::vector<uint8_t> plain = Unpack(v);
  if (plain.size() < kFmMinBytes) Fail();
  bool fourOperators = (plain[2] & 7) > 1;
  if (fourOperators && plain.size() < kFm4OpMinBytes) Fail();
  v.ramAddress = Allocate(fourOperators ? kFm4OpSize : kFm2OpSize);
}

void RamPlacer::PlacePcmVoice(VoiceDef& v) {
  std::vector<uint8_t> plain = Unpack(v);
  if (plain.size() != kPcmVoiceBytes) Fail();
  uint8_t wave = plain[15];
  if (wave & kRomWaveBit) {
    if ((wave & 0x7F) > kLastRomWave) Fail();
  } else if (m_tables.waveAddress[wave] == kNoAddress) {
    Fail();  // a RAM wave the song never gave
  }
  v.ramAddress = Allocate(kPcmVoiceSize);
}

void RamPlacer::PlaceExtras() {
  for (const ExtraData& e : m_tables.extras) {
    if (e.kind == 15 || e.kind == 23 || e.kind == 31) Allocate(kExtraSize);
  }
}

}  // namespace polyscan
