// A zero-filled heap block: what the original took from the global heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace platform {

/// A zero-filled block of `size` bytes, or null when it cannot be had (never throws).
inline std::unique_ptr<uint8_t[]> TryAllocZeroed(size_t size) {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size == 0 ? 1 : size]());
}

}  // namespace platform
