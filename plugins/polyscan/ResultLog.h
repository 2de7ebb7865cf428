// The checker's result file: one line per reported point.
#pragma once

#include <cstdint>
#include <string>

namespace polyscan {

inline constexpr const char* kResultFileName = "Polyscan_result.txt";

class ResultLog {
 public:
  explicit ResultLog(bool enabled) : m_enabled(enabled) {}

  /// Appends "Time:<ms>ms FM:<n> PCM:<n> Result[<verdict>] " and a line end.
  void AddLine(uint64_t elapsedMicros, int fm, int pcm, const char* verdict);
  /// Replaces the result file in the program's folder with the lines so far; false when it
  /// cannot be written. Does nothing when the log was not asked for.
  bool Save() const;

  const std::string& Text() const { return m_text; }
  /// The result file's path: the program's folder (TRILLOT_APP_DIR in tests).
  static std::string Path();

 private:
  bool m_enabled;
  std::string m_text;
};

}  // namespace polyscan
