// The exception that ends a voice-allocation check with a result code.
#pragma once

#include <cstdint>

namespace polyscan {

/// Thrown anywhere inside a check; the driver turns it into the export's return value.
struct CheckFailure {
  uint32_t code;
};

}  // namespace polyscan
