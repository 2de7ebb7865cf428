// The single-instance guard over flock.
#include "platform/sys/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/io/Paths.h"

namespace platform {

std::string SingleInstanceLock::RuntimeDir() {
  for (const char* var : {"TRILLOT_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
    if (const char* v = std::getenv(var); v && *v) return v;
  }
  return "/tmp";
}

SingleInstanceLock::SingleInstanceLock(const std::string& name)
    : m_path(JoinPath(RuntimeDir(), name + ".lock")) {
  int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
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
