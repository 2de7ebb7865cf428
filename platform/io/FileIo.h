// Whole-file reads and atomic whole-file writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

/// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

/// Writes through a temporary file in the same folder renamed over the target, so a failed
/// write leaves the old file as it was. False on any failure.
bool WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size);

inline bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}

}  // namespace platform
