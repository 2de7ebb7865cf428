// The checker's result file: one line per reported point.
#include "plugins/polyscan/ResultLog.h"

#include <cstdio>

#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"

namespace polyscan {

void ResultLog::AddLine(uint64_t elapsedMicros, int fm, int pcm, const char* verdict) {
  if (!m_enabled) return;
  char line[128];
  long ms = static_cast<long>((elapsedMicros + 500) / 1000);
  int n = std::snprintf(line, sizeof line, "Time:%ldms FM:%ld PCM:%ld Result[%s] \n", ms,
                        static_cast<long>(fm), static_cast<long>(pcm), verdict);
  if (n > 0) m_text.append(line, static_cast<size_t>(n) < sizeof line ? n : sizeof line - 1);
}

bool ResultLog::Save() const {
  if (!m_enabled) return true;
  const auto* bytes = reinterpret_cast<const uint8_t*>(m_text.data());
  return platform::WriteFileAtomic(Path(), bytes, m_text.size());
}

std::string ResultLog::Path() { return platform::JoinPath(platform::AppDir(), kResultFileName); }

}  // namespace polyscan
