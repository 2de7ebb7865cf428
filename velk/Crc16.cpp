// The CRC-16 that closes every VELK file.
#include "velk/Crc16.h"

#include <array>
#include <cstddef>

namespace {

// Slicing-by-8: table[k][b] is the CRC contribution of byte b followed by k zero bytes, so eight
// bytes fold into the register with eight independent look-ups instead of a chain of eight.
using Crc16Tables = std::array<std::array<uint16_t, 256>, 8>;

Crc16Tables MakeTables() {
  Crc16Tables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t v = i << 8;
    for (int bit = 0; bit < 8; ++bit) v = (v & 0x8000) ? (v << 1) ^ 0x1021 : v << 1;
    t[0][i] = static_cast<uint16_t>(v);
  }
  for (std::size_t k = 1; k < 8; ++k)
    for (uint32_t i = 0; i < 256; ++i)
      t[k][i] = static_cast<uint16_t>(t[0][t[k - 1][i] >> 8] ^ (t[k - 1][i] << 8));
  return t;
}

// Built on first use; the static initialisation is thread-safe.
const Crc16Tables& Tables() {
  static const Crc16Tables tables = MakeTables();
  return tables;
}

}  // namespace

void BuildCrc16Table() { (void)Tables(); }

uint16_t Crc16(uint32_t count, const uint8_t* data) {
  const Crc16Tables& t = Tables();
  uint32_t crc = 0xFFFF;
  uint32_t i = 0;
  for (; i + 8 <= count; i += 8, data += 8) {
    // The register meets the first two bytes; the other six enter unchanged.
    crc = t[7][(crc >> 8) ^ data[0]] ^ t[6][(crc & 0xFF) ^ data[1]] ^ t[5][data[2]] ^
          t[4][data[3]] ^ t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
  }
  for (; i < count; ++i, ++data) crc = (t[0][(crc >> 8) ^ *data] ^ (crc << 8)) & 0xFFFF;
  return static_cast<uint16_t>(~crc);
}

uint16_t VelkCrc16(uint32_t count, const uint8_t* data) { return Crc16(count, data); }
