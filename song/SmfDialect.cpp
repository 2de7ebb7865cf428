// The song-data dialect of Standard MIDI Files.
#include "song/SmfDialect.h"

uint32_t Pack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out) {
  uint32_t written = 0;
  for (uint32_t i = 0; i < n; i += 7) {
    uint32_t group = n - i < 7 ? n - i : 7;
    uint8_t header = 0;
    for (uint32_t k = 0; k < group; ++k) {
      // Bit 6 of the header carries bit 7 of the group's first byte, and so on down.
      if (bytes[i + k] & 0x80) header |= static_cast<uint8_t>(0x40 >> k);
    }
    out[written++] = header;
    for (uint32_t k = 0; k < group; ++k) out[written++] = bytes[i + k] & 0x7F;
  }
  return written;
}

uint32_t Unpack7In8(const uint8_t* bytes, uint32_t n, uint8_t* out) {
  uint32_t written = 0;
  for (uint32_t i = 0; i < n; i += 8) {
    uint32_t group = n - i < 8 ? n - i : 8;
    if (group < 2) break;  // a lone header byte carries no data
    uint8_t header = bytes[i];
    for (uint32_t k = 1; k < group; ++k) {
      uint8_t high = (header & (0x40 >> (k - 1))) ? 0x80 : 0;
      out[written++] = static_cast<uint8_t>((bytes[i + k] & 0x7F) | high);
    }
  }
  return written;
}
