// Variable-length numbers of sequence data.
#include "velk/VarLen.h"

void WriteVarLen(CMemStream& stream, uint32_t value) {
  uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) stream.WriteByte(static_cast<uint8_t>(groups[--count] | 0x80));
  stream.WriteByte(groups[0]);
}

CMemStream& ReadVarLen(CMemStream& stream, uint32_t& value) {
  value = 0;
  uint8_t b = 0;
  do {
    stream.ReadByte(b);
    value = (value << 7) | (b & 0x7F);
  } while (b & 0x80);
  return stream;
}
