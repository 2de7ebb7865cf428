// The supported tempos of chip modes 1 and 2.
#include "song/document/TempoTable.h"

#include <cmath>

namespace {

// The first four entries are fixed; the rest fall geometrically from 437 to 9, and a pass from
// the end lifts each entry above the next so that no two are equal.
std::array<int, kTempoTableSize + 1> BuildTempoTable() {
  std::array<int, kTempoTableSize + 1> t{};
  t[0] = 1092;
  t[1] = 728;
  t[2] = 546;
  t[3] = 437;
  for (int k = 1; k <= 79; ++k) {
    t[3 + k] = static_cast<int>(std::lround(437.0 * std::pow(9.0 / 437.0, k / 79.0)));
  }
  for (int i = kTempoTableSize - 2; i >= 0; --i) {
    if (t[i] <= t[i + 1]) t[i] = t[i + 1] + 1;
  }
  t[kTempoTableSize] = 0;
  return t;
}

}  // namespace

const std::array<int, kTempoTableSize + 1>& TempoTable() {
  static const std::array<int, kTempoTableSize + 1> table = BuildTempoTable();
  return table;
}
