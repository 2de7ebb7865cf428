// Byte helpers shared by the import and the export.
#include "plugins/midigate/SmfBytes.h"

#include <algorithm>
#include <cstring>

#include "plugins/midigate/Failure.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"

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

uint32_t VarLenSize(uint32_t value) {
  uint32_t size = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++size;
  }
  return size;
}

void WriteVarLen(CMemStream& out, uint32_t value) {
  uint8_t groups[5];
  uint32_t count = 0;
  groups[count++] = static_cast<uint8_t>(value & 0x7F);
  while (value >= 0x80) {
    value >>= 7;
    groups[count++] = static_cast<uint8_t>((value & 0x7F) | 0x80);
  }
  uint8_t bytes[5];
  for (uint32_t i = 0; i < count; ++i) bytes[i] = groups[count - 1 - i];
  out.Write(bytes, count);
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

void WriteSysExEnvelope(CMemStream& out, uint32_t payloadLength, uint8_t group, uint8_t command) {
  out.WriteByte(0xF0);
  WriteVarLen(out, payloadLength + 6);
  const uint8_t head[5] = {kDialectMakerId, 0x79, 0x06, group, command};
  out.Write(head, sizeof head);
}

void WritePacked(CMemStream& out, const uint8_t* plain, uint32_t n) {
  uint32_t packedSize = PackedSize7In8(n);
  int32_t start = out.GetPosition();
  // Growing the stream first is the pack buffer: when it cannot be had the whole call fails.
  static const uint8_t kZeros[64] = {};
  for (uint32_t left = packedSize; left > 0;) {
    uint32_t chunk = std::min<uint32_t>(left, sizeof kZeros);
    out.Write(kZeros, chunk);
    left -= chunk;
  }
  uint32_t written = Pack7In8(plain, n, out.GetData() + start);
  if (written != packedSize) Fail();
}

}  // namespace midigate
