// Byte readers and the variable-length number of Standard MIDI File images in memory.
#include "song/SmfStreamReaders.h"

#include "song/MemStream.h"

namespace {

void RequireBytes(const uint8_t* p, const uint8_t* end, uint32_t n) {
  if (!p || !end || p > end || static_cast<uint64_t>(end - p) < n) throw kSmfMalformed;
}

// Fills groups most significant first and returns their count.
uint32_t EncodeVarLen(uint32_t value, uint8_t (&groups)[5]) {
  uint8_t reversed[5];
  uint32_t count = 0;
  do {
    reversed[count++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t b = reversed[count - 1 - i];
    groups[i] = (i + 1 < count) ? static_cast<uint8_t>(b | 0x80) : b;
  }
  return count;
}

}  // namespace

uint8_t GetU8(const uint8_t* p, const uint8_t* end) {
  RequireBytes(p, end, 1);
  return GetU8(p);
}

uint16_t GetBE16(const uint8_t* p, const uint8_t* end) {
  RequireBytes(p, end, 2);
  return GetBE16(p);
}

uint32_t GetBE32(const uint8_t* p, const uint8_t* end) {
  RequireBytes(p, end, 4);
  return GetBE32(p);
}

uint32_t ReadVarLen(const uint8_t** pp, const uint8_t* end) {
  const uint8_t* p = *pp;
  uint32_t value = 0;
  for (uint32_t i = 0; i < kMaxVarLenBytes; ++i) {
    RequireBytes(p, end, 1);
    uint8_t b = *p++;
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) {
      *pp = p;
      return value;
    }
  }
  // A fifth group would not fit the 28 bits a file may use.
  throw kSmfMalformed;
}

uint32_t VarLenSize(uint32_t value) {
  uint8_t groups[5];
  return EncodeVarLen(value, groups);
}

void WriteStreamVarLen(CMemStream& stream, uint32_t value) {
  uint8_t groups[5];
  stream.Write(groups, EncodeVarLen(value, groups));
}

void AppendVarLen(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t groups[5];
  uint32_t n = EncodeVarLen(value, groups);
  out.insert(out.end(), groups, groups + n);
}
