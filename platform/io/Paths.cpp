// The program's folder and case-insensitive file lookup in it.
#include "platform/io/Paths.h"

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return std::string(buf.data(), static_cast<size_t>(n));
}

std::string AppDir() {
  if (const char* env = std::getenv("TRILLOT_APP_DIR"); env && *env) {
    std::string dir(env);
    if (dir.back() != '/') dir += '/';
    return dir;
  }
  std::string exe = ExecutablePath();
  auto slash = exe.rfind('/');
  if (slash == std::string::npos) return "./";
  return exe.substr(0, slash + 1);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

std::string FindCaseInsensitive(const std::string& dir, const std::string& name) {
  std::string exact = JoinPath(dir, name);
  if (::access(exact.c_str(), F_OK) == 0) return exact;
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.empty() ? "." : dir.c_str()), ::closedir);
  if (!d) return {};
  while (dirent* e = ::readdir(d.get())) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) return JoinPath(dir, e->d_name);
  }
  return {};
}

}  // namespace platform
