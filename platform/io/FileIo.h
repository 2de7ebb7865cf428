// Whole-file reads of regular files only, and atomic whole-file writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

/// Why a file operation failed: the system's error number and the file it concerned.
struct FileError {
  /// The code of a target that exists but is no regular file (a device, a FIFO).
  static constexpr int kNotRegularFile = -1;
  int code = 0;
  std::string path;
  /// The system's text for the error.
  std::string Reason() const;
};

/// Opens a file for reading, refusing anything that is not a regular file (a FIFO, a device,
/// a folder) without waiting on it. The descriptor, or -1 with errno set; `size` receives the
/// file's size when the open succeeds.
int OpenRegularFile(const std::string& path, uint64_t* size = nullptr);

/// The size of a regular file that can be opened for reading; nothing otherwise.
std::optional<uint64_t> RegularFileSize(const std::string& path);

/// The file's bytes, no more than its size when opened; nothing when it is not a regular file
/// or cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

/// Writes through a temporary file in the target's folder renamed over the target, so a failed
/// write leaves the old file as it was. A symbolic link is followed: the file it points to is
/// replaced and the link stays. False on any failure, with the reason in `error` when given.
bool WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size, FileError* error = nullptr);

inline bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes,
                            FileError* error = nullptr) {
  return WriteFileAtomic(path, bytes.data(), bytes.size(), error);
}

}  // namespace platform
