// The command line: the input split at NUL bytes into arguments.
#include <string>
#include <vector>

#include "app/core/CommandLine.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back().push_back(static_cast<char>(data[i]));
    }
  }
  ParseCommandLine(args);
  for (const std::string& arg : args) {
    MatchComOption(arg);
    MatchOutputOption(arg);
    IsFlagArgument(arg);
  }
  return 0;
}
