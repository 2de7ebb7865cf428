// The CRC-16 that closes every VELK file.
#include "velk/Crc16.h"

#include <array>

namespace {

using Crc16Table = std::array<uint16_t, 256>;

Crc16Table MakeTable() {
  Crc16Table table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t v = i << 8;
    for (int bit = 0; bit < 8; ++bit) v = (v & 0x8000) ? (v << 1) ^ 0x1021 : v << 1;
    table[i] = static_cast<uint16_t>(v);
  }
  return table;
}

// Built on first use; the static initialisation is thread-safe.
const Crc16Table& Table() {
  static const Crc16Table table = MakeTable();
  return table;
}

}  // namespace

void BuildCrc16Table() { (void)Table(); }

uint16_t Crc16(uint32_t count, const uint8_t* data) {
  const Crc16Table& table = Table();
  uint32_t crc = 0xFFFF;
  for (uint32_t i = 0; i < count; ++i) {
    crc = table[((crc >> 8) ^ data[i]) & 0xFF] ^ ((crc & 0xFF) << 8);
    crc &= 0xFFFF;
  }
  return static_cast<uint16_t>(~crc);
}

uint16_t VelkCrc16(uint32_t count, const uint8_t* data) { return Crc16(count, data); }
