// The program Trillot.
#include <string>
#include <vector>

#include "app/core/ProgramRun.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunTrillot(args);
}
