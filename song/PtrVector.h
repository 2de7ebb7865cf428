// A growable pointer vector with insertion, filled by the readers and writers.
#pragma once

#include <cstdint>

#include "song/GrowPtrArray.h"

class CPtrVector : public CGrowPtrArray {
 public:
  explicit CPtrVector(uint32_t n = 0) : CGrowPtrArray(n) {}

  /// Inserts value at i, moving the entries from i up by one; an i at or beyond the count, or
  /// negative, appends. Throws 999 when the array cannot grow. Returns the new count.
  uint32_t InsertAt(int32_t i, void* value);
};
