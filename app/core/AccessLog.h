// The file access log that the application keeps in memory: 500 lines, added in pairs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class AccessLog {
 public:
  static constexpr int kMaxLines = 500;
  static constexpr size_t kMaxLineBytes = 256;

  /// Adds the title and four blanks plus the detail as two lines, each cut to 256 bytes at a
  /// character boundary. Does nothing and returns false once the log is full; it is never cleared.
  bool AppendAccessLogLines(std::string_view title, std::string_view detail);

  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  /// The text of a line; empty for an index outside the log.
  const std::string& GetLine(int index) const;

 private:
  std::vector<std::string> m_lines;
};
