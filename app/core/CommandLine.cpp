// The command-line rules: an optional song file, "-COM:n" and "-OUTPUT:name".
#include "app/core/CommandLine.h"

#include "platform/text/Format.h"

namespace {

constexpr size_t kMinComLength = 5;     // "COM:" and at least one character
constexpr size_t kMinOutputLength = 8;  // "OUTPUT:" and at least one character

std::string_view SkipPrefix(std::string_view arg) {
  if (!arg.empty() && (arg[0] == '-' || arg[0] == '/')) arg.remove_prefix(1);
  return arg;
}

bool IsComForm(std::string_view rest) { return rest.size() >= kMinComLength && rest.substr(0, 4) == "COM:"; }

bool IsOutputForm(std::string_view rest) {
  return rest.size() >= kMinOutputLength && (rest.substr(0, 7) == "OUTPUT:" || rest.substr(0, 7) == "output:");
}

}  // namespace

int MatchComOption(std::string_view arg) {
  std::string_view rest = SkipPrefix(arg);
  if (!IsComForm(rest)) return 0;
  return platform::ParseDecimal(rest.substr(4));
}

std::optional<std::string> MatchOutputOption(std::string_view arg) {
  std::string_view rest = SkipPrefix(arg);
  if (!IsOutputForm(rest)) return std::nullopt;
  return std::string(rest.substr(7));
}

bool IsFlagArgument(std::string_view arg) {
  if (arg.empty()) return false;
  if (arg[0] == '-') return true;
  if (arg[0] == '/') {
    return arg.starts_with("/COM:") || arg.starts_with("/OUTPUT:") || arg.starts_with("/output:");
  }
  return IsComForm(arg) || IsOutputForm(arg);
}

CommandLineInfo ParseCommandLine(const std::vector<std::string>& args) {
  CommandLineInfo info;
  for (const std::string& arg : args) {
    if (info.outputPath.empty()) {
      if (auto name = MatchOutputOption(arg)) info.outputPath = *name;
    }
    if (info.comPort == 0) info.comPort = MatchComOption(arg);
    if (info.fileName.empty() && !arg.empty() && !IsFlagArgument(arg)) info.fileName = arg;
  }
  return info;
}
