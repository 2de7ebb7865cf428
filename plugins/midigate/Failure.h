// How a conversion gives up: a thrown result code, turned into the export's return value.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"

namespace midigate {

/// Thrown for every input the conversion refuses; carries the export's result code.
struct ConvertFailure {
  uint32_t result = CNVERR_FAILED;
};

[[noreturn]] inline void Fail(uint32_t result = CNVERR_FAILED) { throw ConvertFailure{result}; }

/// Runs one conversion; nothing thrown inside leaves it. A conversion failure gives its code,
/// anything else (out of memory included) CNVERR_FAILED.
template <typename Conversion>
uint32_t GuardedConvert(Conversion&& conversion) noexcept {
  try {
    return conversion();
  } catch (const ConvertFailure& failure) {
    return failure.result;
  } catch (...) {
    return CNVERR_FAILED;
  }
}

}  // namespace midigate
