// The command-line rules: an optional song file, "-COM:n" and "-OUTPUT:name".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CommandLineInfo {
  std::string fileName;    // the song to open; empty for none
  int comPort = 0;         // the board's COM port; 0 when none was given
  std::string outputPath;  // the batch conversion's output; empty for none
};

/// The port of "-COM:n", "/COM:n" or "COM:n" by the decimal rule; 0 (not given) when the
/// argument is not that option or has no number.
int MatchComOption(std::string_view arg);

/// The name of "-OUTPUT:name" or "-output:name" (also with "/" or no prefix); nothing when the
/// argument is not that option, "-OUTPUT:" alone included.
std::optional<std::string> MatchOutputOption(std::string_view arg);

/// True for an argument that is a flag rather than a file. Every "-" argument is a flag; a "/"
/// one only when it is a "/COM:", "/OUTPUT:" or "/output:" option, as any other is an absolute
/// path. An unprefixed COM or output option is not a file either.
bool IsFlagArgument(std::string_view arg);

/// Applies the rules to the arguments after the program name: the first file, the first COM
/// option and the first output option win.
CommandLineInfo ParseCommandLine(const std::vector<std::string>& args);
