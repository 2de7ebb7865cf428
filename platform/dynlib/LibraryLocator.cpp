// Finds the file of a run-time library that the program names the Windows way ("Velkgate.DLL").
#include "platform/dynlib/LibraryLocator.h"

#include <strings.h>

#include "platform/io/Paths.h"

namespace platform {
namespace {

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && ::strcasecmp(s.c_str() + s.size() - tail.size(), tail.c_str()) == 0;
}

}  // namespace

std::string SharedObjectName(const std::string& name) {
  if (EndsWithNoCase(name, ".dll")) return name.substr(0, name.size() - 4) + ".so";
  if (EndsWithNoCase(name, ".so")) return name;
  return name + ".so";
}

std::string LocateLibrary(const std::string& name, const std::string& appDir) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  std::string file = SharedObjectName(name);
  std::string dir = appDir.empty() ? AppDir() : appDir;
  if (std::string found = FindCaseInsensitive(dir, file); !found.empty()) return found;
  return FindCaseInsensitive(JoinPath(dir, "plugins"), file);
}

}  // namespace platform
