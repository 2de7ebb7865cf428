// The VELK checksum against catalogued values.
#include "velk/Crc16.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(Crc16, MatchesTheCatalogueCheckValue) {
  const char* text = "123456789";
  BuildCrc16Table();
  EXPECT_EQ(Crc16(9, reinterpret_cast<const uint8_t*>(text)), 0xD64E);
  EXPECT_EQ(VelkCrc16(9, reinterpret_cast<const uint8_t*>(text)), 0xD64E);
}

TEST(Crc16, OfNoBytesIsZero) { EXPECT_EQ(Crc16(0, nullptr), 0x0000); }

TEST(Crc16, CoversTheMinimalFileUpToItsChecksum) {
  const uint8_t image[] = {
      0x4D, 0x4D, 0x4D, 0x44,  // "MMMD"
      0x00, 0x00, 0x00, 0x0F,  // N = body + 2
      0x43, 0x4E, 0x54, 0x49,  // "CNTI"
      0x00, 0x00, 0x00, 0x05,  // body size
      0x00, 0x32, 0x01, 0xFD, 0x00,
  };
  EXPECT_EQ(VelkCrc16(sizeof image, image), 0x85EA);
}

// Bit-at-a-time reference: the register after each bit of each byte, MSB first.
uint16_t BitwiseCrc(const std::vector<uint8_t>& bytes) {
  uint32_t crc = 0xFFFF;
  for (uint8_t b : bytes) {
    crc ^= static_cast<uint32_t>(b) << 8;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) & 0xFFFF : (crc << 1) & 0xFFFF;
  }
  return static_cast<uint16_t>(~crc);
}

TEST(Crc16, AgreesWithTheBitwiseRuleAtEveryLengthAndAlignment) {
  std::vector<uint8_t> bytes(80);
  uint32_t seed = 12345;
  for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
  for (size_t offset = 0; offset < 8; ++offset) {
    for (size_t n = 0; n + offset <= bytes.size(); ++n) {
      std::vector<uint8_t> part(bytes.begin() + static_cast<long>(offset),
                                bytes.begin() + static_cast<long>(offset + n));
      EXPECT_EQ(Crc16(static_cast<uint32_t>(n), bytes.data() + offset), BitwiseCrc(part))
          << "offset " << offset << " length " << n;
    }
  }
}

}  // namespace
