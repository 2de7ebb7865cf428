// The device tempo message of the song data: F0 len 43 79 06 7D 10, 7-bit groups, F7.
#include "plugins/velkgate/TempoMessage.h"

#include "song/SmfDialect.h"

namespace velkgate {

namespace {

constexpr uint32_t kTempoAt = 7;
constexpr uint32_t kThreeGroupMax = 0x1FFFFF;

uint32_t Groups(const uint8_t* p, uint32_t count) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < count; ++i) value = (value << 7) | (p[i] & 0x7F);
  return value;
}

}  // namespace

bool IsTempoMessage(const uint8_t* bytes, uint32_t n) {
  return n >= kTempoAt + 3 && bytes[0] == 0xF0 && bytes[2] == kDialectMakerId &&
         bytes[3] == kDialectModelId && bytes[4] == kDialectDeviceId && bytes[5] == kGroupSong &&
         bytes[6] == kSongTempo;
}

bool ReadTempoMessage(const uint8_t* bytes, uint32_t n, uint32_t& usPerQuarter) {
  if (n < kTempoAt + 3) return false;
  const uint8_t* p = bytes + kTempoAt;
  bool four = (p[0] & 0x80) ? (p[2] & 0x80) != 0 : bytes[1] == 10;
  uint32_t count = four ? 4 : 3;
  if (n < kTempoAt + count) return false;
  usPerQuarter = Groups(p, count);
  return true;
}

bool ReadTempoPayload(const uint8_t* payload, uint32_t n, uint32_t sysexLength,
                      uint32_t& usPerQuarter) {
  if (n > 0 && (payload[0] & 0x80)) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < n; ++i) {
      value = (value << 7) | (payload[i] & 0x7F);
      if (!(payload[i] & 0x80)) {
        usPerQuarter = value;
        return true;
      }
    }
    return false;
  }
  uint32_t count = sysexLength == 10 ? 4 : 3;
  if (n < count) return false;
  usPerQuarter = Groups(payload, count);
  return true;
}

std::vector<uint8_t> MakeTempoMessage(uint32_t usPerQuarter) {
  uint32_t count = usPerQuarter > kThreeGroupMax ? 4 : 3;
  std::vector<uint8_t> out = {0xF0, static_cast<uint8_t>(6 + count), kDialectMakerId,
                              kDialectModelId, kDialectDeviceId, kGroupSong, kSongTempo};
  for (uint32_t i = count; i-- > 0;) out.push_back(static_cast<uint8_t>((usPerQuarter >> (7 * i)) & 0x7F));
  out.push_back(0xF7);
  return out;
}

}  // namespace velkgate
