// The song-data dialect of Standard MIDI Files: shared constants and the 7-in-8 packing.
#pragma once

#include <cstdint>

/// The maker byte of every device message of the dialect (F0 len 43 79 06 ...).
inline constexpr uint8_t kDialectMakerId = 0x43;

/// Packed size of n plain bytes: 8 per whole group of 7, plus r + 1 for a rest of r.
constexpr uint32_t PackedSize7In8(uint32_t n) { return (n / 7) * 8 + (n % 7 ? n % 7 + 1 : 0); }
/// Plain size of m packed bytes: 7 per whole group of 8, plus (m mod 8) - 1 for a rest.
constexpr uint32_t UnpackedSize7In8(uint32_t m) { return (m / 8) * 7 + (m % 8 ? m % 8 - 1 : 0); }

/// Packs n bytes into out (PackedSize7In8(n) bytes) and returns the packed size.
uint32_t Pack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out);
/// Unpacks n packed bytes into out (UnpackedSize7In8(n) bytes) and returns the plain size.
uint32_t Unpack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out);
