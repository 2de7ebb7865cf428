// Number forms and small tables of generation-1/2 sequence data.
#include "velk/SequenceNumbers.h"

namespace {

// First key of each run and the value the run maps to, for keys 30 to 127.
struct Run {
  uint8_t firstKey;
  uint8_t value;
};
constexpr Run kRuns[] = {
    {30, 31},  {32, 32},  {33, 33},  {35, 35},  {36, 36},  {38, 38},  {39, 40},  {41, 41},
    {43, 43},  {45, 45},  {47, 47},  {49, 49},  {51, 51},  {53, 54},  {55, 56},  {58, 58},
    {60, 61},  {63, 64},  {66, 66},  {68, 69},  {71, 72},  {75, 76},  {78, 79},  {81, 82},
    {85, 86},  {88, 90},  {92, 94},  {96, 98},  {101, 102}, {105, 107}, {110, 112}, {115, 116},
    {120, 122}, {125, 127},
};

constexpr uint8_t kNoOperation[] = {0xFF, 0x00};

}  // namespace

uint32_t TimeBaseCodeToMs(uint8_t code) {
  switch (code) {
    case 0x00: return 1;
    case 0x01: return 2;
    case 0x02: return 4;
    case 0x03: return 5;
    case 0x10: return 10;
    case 0x11: return 20;
    case 0x12: return 40;
    case 0x13: return 50;
    default: return 1;
  }
}

uint32_t ReadSeqNumber(CMemStream& stream) {
  uint8_t b0 = 0;
  stream.ReadByte(b0);
  if (!(b0 & 0x80)) return b0;
  uint8_t b1 = 0;
  stream.ReadByte(b1);
  if (!(b1 & 0x80)) return ((uint32_t{b0 & 0x7Fu} << 7) | b1) + 128;
  uint8_t b2 = 0;
  stream.ReadByte(b2);
  // The three-byte form adds 16511, not 16512; the conversion engine keeps its own rule.
  return ((((uint32_t{b0 & 0x7Fu} << 7) | (b1 & 0x7Fu)) << 7) | b2) + kMaxTimeNumber;
}

void WriteTimeNumber(CMemStream& stream, uint32_t value) {
  if (value < 128) {
    stream.WriteByte(static_cast<uint8_t>(value));
    return;
  }
  uint32_t rest = value - 128;
  stream.WriteByte(static_cast<uint8_t>(0x80 | (rest >> 7)));
  stream.WriteByte(static_cast<uint8_t>(rest & 0x7F));
}

void WriteTimeDelta(CMemStream& stream, uint32_t delta) {
  if (delta > kMaxTimeNumber) {
    uint32_t repeats = (delta - 1) / kMaxTimeNumber;
    for (uint32_t i = 0; i < repeats; ++i) {
      WriteTimeNumber(stream, kMaxTimeNumber);
      stream.Write(kNoOperation, sizeof kNoOperation);
    }
    delta -= kMaxTimeNumber * repeats;
  }
  WriteTimeNumber(stream, delta);
}

int NoteFromByte(uint8_t noteByte, int octaveShift) {
  return (noteByte & 0x0F) + (((noteByte >> 4) & 3) + octaveShift + 3) * 12;
}

uint8_t LookupByteTable(int key) {
  if (key < 0 || key > 127) return 0;
  if (key <= 8) return 8;
  if (key <= 29) return static_cast<uint8_t>(key);
  uint8_t value = 0;
  for (const Run& run : kRuns) {
    if (key < run.firstKey) break;
    value = run.value;
  }
  return value;
}
