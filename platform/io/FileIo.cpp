// Whole-file reads of regular files only, and atomic whole-file writes.
#include "platform/io/FileIo.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

/// The file a chain of symbolic links ends in (the path itself when it is no link); nothing
/// with errno set when a link cannot be read or the chain does not end.
std::optional<std::string> FollowLinks(std::string path) {
  for (int n = 0; n < kMaxLinks; ++n) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return std::nullopt;
    target.resize(static_cast<size_t>(length));
    path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
  }
  errno = ELOOP;
  return std::nullopt;
}

bool Fail(FileError* error, int code, const std::string& path) {
  if (error) *error = FileError{code, path};
  return false;
}

}  // namespace

std::string FileError::Reason() const {
  return code == kNotRegularFile ? "Not a regular file" : std::strerror(code);
}

int OpenRegularFile(const std::string& path, uint64_t* size) {
  // Without O_NONBLOCK opening a FIFO waits for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int code = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = code;
    return -1;
  }
  // Reads of a regular file never wait; the flag is cleared for whoever reads with stdio.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (size) *size = static_cast<uint64_t>(st.st_size);
  return fd;
}

std::optional<uint64_t> RegularFileSize(const std::string& path) {
  uint64_t size = 0;
  const int fd = OpenRegularFile(path, &size);
  if (fd < 0) return std::nullopt;
  ::close(fd);
  return size;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  uint64_t size = 0;
  const int fd = OpenRegularFile(path, &size);
  if (fd < 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::exception&) {
    ::close(fd);
    return std::nullopt;
  }
  // A file that grows while it is read gives the size it had when opened.
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
}

bool WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size, FileError* error) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return Fail(error, errno, path);
  // Only a regular file is replaced: renaming over a device or a FIFO would take its place.
  mode_t mask = ::umask(0);
  ::umask(mask);
  mode_t mode = 0666 & ~mask;
  struct stat st {};
  if (::stat(target->c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Fail(error, EISDIR, *target);
    if (!S_ISREG(st.st_mode)) return Fail(error, FileError::kNotRegularFile, *target);
    mode = st.st_mode & 0777;
  }
  // A short name beside the target, whatever the target's own name is.
  std::string tmp = FolderOf(*target) + "/.Trillot.XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return Fail(error, errno, *target);
  bool ok = WriteAll(fd, data, size) && ::fsync(fd) == 0 && ::fchmod(fd, mode) == 0;
  int code = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok && ::rename(tmp.c_str(), target->c_str()) == 0) return true;
  if (ok) code = errno;
  ::unlink(tmp.c_str());
  return Fail(error, code, *target);
}

}  // namespace platform
