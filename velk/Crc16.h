// The CRC-16 that closes every VELK file.
#pragma once

#include <cstdint>

/// Fills the 256-entry table once; every later call (and Crc16) uses that one table.
void BuildCrc16Table();
/// CRC-16 over count bytes: polynomial 0x1021 MSB first, start 0xFFFF, result complemented.
uint16_t Crc16(uint32_t count, const uint8_t* data);
/// The entry the VELK loaders call; the same checksum as Crc16.
uint16_t VelkCrc16(uint32_t count, const uint8_t* data);
