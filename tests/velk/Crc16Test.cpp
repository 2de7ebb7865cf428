// The VELK checksum against catalogued values.
#include "velk/Crc16.h"

#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
