// A point of the stream-size list: three 32-bit values.
#pragma once

#include <cstdint>

#include "song/MsgKey.h"

class CValuePoint : public CMsgKey {
 public:
  CValuePoint() = default;
  CValuePoint(uint32_t first, uint32_t second, uint32_t third) : CMsgKey(first, second, third) {}
};
