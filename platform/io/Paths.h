// The program's folder and case-insensitive file lookup in it.
#pragma once

#include <string>

namespace platform {

/// Full path of the running executable, or empty when it cannot be read.
std::string ExecutablePath();

/// The program's folder ending in '/': TRILLOT_APP_DIR when set, else the executable's folder.
std::string AppDir();

/// The path of a file named like `name` in `dir`, compared without case; empty when none.
std::string FindCaseInsensitive(const std::string& dir, const std::string& name);

/// Joins a folder and a name with exactly one '/'.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace platform
