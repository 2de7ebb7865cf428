// The VELK time-base codes against milliseconds per tick and the CNVF_TIMEBASE values.
#include "plugins/velkgate/TimeBase.h"

#include "app/CnvParam.h"

namespace velkgate {

namespace {

constexpr TimeBase kTable[] = {
    {0x00, 1, 0x00},  {0x01, 2, 0x10},  {0x02, 4, 0x20},  {0x03, 5, 0x30},
    {0x10, 10, 0x40}, {0x11, 20, 0x50}, {0x12, 40, 0x60}, {0x13, 50, 0x70},
};

// The only time bases a written file may carry.
constexpr uint32_t kWritable[] = {0x20, 0x30, 0x40, 0x50};

}  // namespace

TimeBase TimeBaseOfCode(uint8_t code) {
  for (const TimeBase& entry : kTable)
    if (entry.code == code) return entry;
  return TimeBase{};
}

TimeBase TimeBaseOfFlags(uint32_t flags) {
  uint32_t value = flags & CNVF_TIMEBASE;
  for (uint32_t writable : kWritable)
    if (writable == value)
      for (const TimeBase& entry : kTable)
        if (entry.flagValue == value) return entry;
  return TimeBase{};
}

}  // namespace velkgate
