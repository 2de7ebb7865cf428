// The file access log that the application keeps in memory: 500 lines, added in pairs.
#include "app/core/AccessLog.h"

namespace {

// A cut in the middle of a UTF-8 sequence would leave a broken character in the window.
std::string CutLine(std::string_view text) {
  if (text.size() <= AccessLog::kMaxLineBytes) return std::string(text);
  size_t cut = AccessLog::kMaxLineBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut));
}

}  // namespace

bool AccessLog::AppendAccessLogLines(std::string_view title, std::string_view detail) {
  if (m_lines.size() + 2 > static_cast<size_t>(kMaxLines)) return false;
  m_lines.push_back(CutLine(title));
  m_lines.push_back(CutLine("    " + std::string(detail)));
  return true;
}

const std::string& AccessLog::GetLine(int index) const {
  static const std::string empty;
  if (index < 0 || index >= GetLineCount()) return empty;
  return m_lines[static_cast<size_t>(index)];
}
