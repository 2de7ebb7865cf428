// The single-instance guard: an exclusive lock on a file in the user's runtime folder.
#pragma once

#include <string>

namespace platform {

/// Holds `<runtime dir>/<name>.lock` locked while the object lives; the kernel releases it
/// when the process ends, even after a crash.
class SingleInstanceLock {
 public:
  /// TRILLOT_RUNTIME_DIR, else XDG_RUNTIME_DIR, else /tmp.
  static std::string RuntimeDir();

  /// Creates the runtime folder (mode 0700) when it is missing, then takes the lock.

  explicit SingleInstanceLock(const std::string& name);
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  /// False when another holder has the lock or the lock file cannot be made.
  bool Acquired() const { return m_fd >= 0; }
  /// The system's error number when the lock file could not be made; 0 when it was (the lock
  /// may still be another's).
  int Error() const { return m_error; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  int m_fd = -1;
  int m_error = 0;
};

}  // namespace platform
