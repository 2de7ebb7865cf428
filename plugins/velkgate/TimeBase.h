// The VELK time-base codes against milliseconds per tick and the CNVF_TIMEBASE values.
#pragma once

#include <cstdint>

namespace velkgate {

struct TimeBase {
  uint8_t code = 0x02;
  uint32_t milliseconds = 4;
  uint32_t flagValue = 0x20;  // the value within CNVF_TIMEBASE
};

/// The time base of a code read from a file; a code not in the table is taken as 4 ms (0x20).
TimeBase TimeBaseOfCode(uint8_t code);
/// The time base CnvTo writes for the CNVF_TIMEBASE bits: 5, 10 or 20 ms for 0x30, 0x40, 0x50;
/// every other value gives 4 ms.
TimeBase TimeBaseOfFlags(uint32_t flags);

}  // namespace velkgate
