// Byte helpers of the plug-in.
#include "plugins/midigate/SmfBytes.h"

#include <algorithm>
#include <cstring>

#include "plugins/midigate/Failure.h"
#include "song/MemStream.h"
#include "song/SmfStreamReaders.h"

namespace midigate {

uint32_t ReadVarLen(const uint8_t*& p, const uint8_t* end) {
  uint32_t value = 0;
  for (uint32_t count = 0; count < kMaxVarLenBytes; ++count) {
    if (p >= end) Fail();
    uint8_t byte = *p++;
    value = (value << 7) | (byte & 0x7F);
    if (!(byte & 0x80)) return value;
  }
  // A fifth byte would be needed: no Standard MIDI File holds such a number.
  Fail();
}

void WriteVarLen(CMemStream& out, uint32_t value) {
  uint8_t bytes[5];
  uint32_t count = 5;
  bytes[--count] = static_cast<uint8_t>(value & 0x7F);
  while (value >= 0x80) {
    value >>= 7;
    bytes[--count] = static_cast<uint8_t>((value & 0x7F) | 0x80);
  }
  out.Write(bytes + count, 5 - count);
}

uint32_t RoundTempoPerTick(uint32_t tempo, uint32_t division) {
  // Single precision on purpose: the stored values must match what the program always wrote.
  float perTick = static_cast<float>(tempo) / static_cast<float>(division);
  float rounded = (perTick * 10.0f + 5.0f) / 10.0f;
  return static_cast<uint32_t>(rounded);
}

size_t SplitInfoField(const uint8_t* text, size_t n, char (&field)[kInfoFieldSize]) {
  field[0] = '\0';
  if (n == 0) return 0;
  const uint8_t* colon = static_cast<const uint8_t*>(std::memchr(text, ':', n));
  size_t length = colon ? static_cast<size_t>(colon - text) : n;
  size_t kept = std::min(length, kInfoFieldSize - 1);
  std::memcpy(field, text, kept);
  field[kept] = '\0';
  return colon ? length + 1 : length;
}

}  // namespace midigate
