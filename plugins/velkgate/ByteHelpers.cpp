// Small readers and writers of bytes, big-endian numbers and variable-length quantities.
#include "plugins/velkgate/ByteHelpers.h"

#include <new>

#include "plugins/velkgate/VelkgateFlags.h"
#include "song/MemStream.h"

namespace velkgate {

int GetChipGeneration() { return 3; }

uint8_t ReadByteAt(const uint8_t*& cursor, const uint8_t* end) {
  if (cursor >= end) throw kErrEndOfData;
  return *cursor++;
}

uint32_t ReadVlq(const uint8_t*& cursor, const uint8_t* end) {
  uint32_t value = 0;
  uint8_t b = 0;
  do {
    b = ReadByteAt(cursor, end);
    value = (value << 7) | (b & 0x7F);
  } while (b & 0x80);
  return value;
}

uint32_t ReadVlq(CMemStream& stream) {
  uint32_t value = 0;
  uint8_t b = 0;
  do {
    stream.ReadByte(b);
    value = (value << 7) | (b & 0x7F);
  } while (b & 0x80);
  return value;
}

void AppendBytes(std::vector<uint8_t>& buffer, const uint8_t* bytes, uint32_t n) {
  try {
    buffer.insert(buffer.end(), bytes, bytes + n);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}

void AppendByte(std::vector<uint8_t>& buffer, uint8_t value) { AppendBytes(buffer, &value, 1); }

void AppendBE16(std::vector<uint8_t>& buffer, uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  AppendBytes(buffer, bytes, 2);
}

void AppendBE32(std::vector<uint8_t>& buffer, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  AppendBytes(buffer, bytes, 4);
}

namespace {

uint32_t EncodeVlq(uint32_t value, uint8_t (&out)[5]) {
  uint8_t reversed[5];
  uint32_t n = 0;
  do {
    reversed[n++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  for (uint32_t i = 0; i < n; ++i) {
    uint8_t b = reversed[n - 1 - i];
    out[i] = i + 1 < n ? static_cast<uint8_t>(b | 0x80) : b;
  }
  return n;
}

}  // namespace

void AppendVlq(std::vector<uint8_t>& buffer, uint32_t value) {
  uint8_t bytes[5];
  AppendBytes(buffer, bytes, EncodeVlq(value, bytes));
}

void WriteVlq(CMemStream& stream, uint32_t value) {
  uint8_t bytes[5];
  stream.Write(bytes, EncodeVlq(value, bytes));
}

uint32_t SwapBytes32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

bool IsValidStreamPcmRate(uint32_t rate) {
  constexpr uint32_t kFirst = 4125;
  constexpr uint32_t kLast = 48000;
  constexpr uint32_t kStep = 375;
  return rate >= kFirst && rate <= kLast && (rate - kFirst) % kStep == 0;
}

}  // namespace velkgate
