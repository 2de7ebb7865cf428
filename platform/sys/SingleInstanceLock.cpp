// The single-instance guard over flock.
#include "platform/sys/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/io/Paths.h"

namespace platform {
namespace {

/// Makes the folder and any missing folder above it, each private to the user.
void MakeFolders(const std::string& dir) {
  for (size_t at = dir.find('/', 1); ; at = dir.find('/', at + 1)) {
    const std::string part = dir.substr(0, at);
    if (!part.empty()) ::mkdir(part.c_str(), 0700);
    if (at == std::string::npos) break;
  }
}

}  // namespace

std::string SingleInstanceLock::RuntimeDir() {
  for (const char* var : {"TRILLOT_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
    if (const char* v = std::getenv(var); v && *v) return v;
  }
  return "/tmp";
}

SingleInstanceLock::SingleInstanceLock(const std::string& name)
    : m_path(JoinPath(RuntimeDir(), name + ".lock")) {
  int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0 && errno == ENOENT) {
    MakeFolders(RuntimeDir());
    fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  }
  if (fd < 0) {
    m_error = errno;
    return;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // Only a lock held elsewhere means another instance.
    if (errno != EWOULDBLOCK) m_error = errno;
    ::close(fd);
    return;
  }
  m_fd = fd;
}

SingleInstanceLock::~SingleInstanceLock() {
  // Closing the descriptor drops the lock; the file stays for the next run.
  if (m_fd >= 0) ::close(m_fd);
}

}  // namespace platform
