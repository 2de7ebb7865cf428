// Finds the file of a run-time library that the program names the Windows way ("Velkgate.DLL").
#pragma once

#include <string>

namespace platform {

/// The Linux file name of a library name: a ".dll" ending, in any case, becomes ".so"; a name
/// without that ending gets ".so" added unless it already ends in ".so".
std::string SharedObjectName(const std::string& name);

/// The path of the library in `appDir`, then in `appDir`/plugins/, names compared without case;
/// empty when it is in neither. Never searches the system's library paths.
std::string LocateLibrary(const std::string& name, const std::string& appDir);

}  // namespace platform
