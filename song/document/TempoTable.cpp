// The supported tempos of chip modes 1 and 2.
#include "song/document/TempoTable.h"

namespace {

constexpr int kTempoDividend = 8739;
constexpr int kSlowestTempo = 9;

// The tempo a tempo byte b reads back as: round(8739 / (4 x (b + 1))), in integers.
constexpr int TempoOfByte(int b) { return (2 * kTempoDividend + 4 * (b + 1)) / (8 * (b + 1)); }

// Every tempo the file can hold: the distinct tempos of the bytes 1 to 255 that are 9 or more.
// They fall as the byte grows, so equal neighbours are the only repeats.
constexpr std::array<int, kTempoTableSize + 1> BuildTempoTable() {
  std::array<int, kTempoTableSize + 1> t{};
  int n = 0;
  for (int b = 1; b <= 255 && n < kTempoTableSize; ++b) {
    const int tempo = TempoOfByte(b);
    if (tempo < kSlowestTempo) break;
    if (n == 0 || t[n - 1] != tempo) t[n++] = tempo;
  }
  t[kTempoTableSize] = 0;
  return t;
}

constexpr std::array<int, kTempoTableSize + 1> kTable = BuildTempoTable();
static_assert(kTable[0] == 1092 && kTable[3] == 437 && kTable[kTempoTableSize - 1] == 9,
              "the tempo table holds every tempo from 1092 down to 9");

}  // namespace

const std::array<int, kTempoTableSize + 1>& TempoTable() { return kTable; }
