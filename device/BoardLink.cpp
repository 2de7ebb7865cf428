// The serial command channel to a hardware board on a COM port, as the application uses it.
#include "device/BoardLink.h"

#include <cstdlib>

BoardLinkFactory UnavailableBoardLinkFactory() {
  return [](const std::string&) -> std::unique_ptr<CBoardLink> { throw -1; };
}

std::string SerialDeviceName(int port) {
  std::string variable = "TRILLOT_COM" + std::to_string(port);
  if (const char* named = std::getenv(variable.c_str()); named && *named) return named;
  return "/dev/ttyS" + std::to_string(port - 1);
}
