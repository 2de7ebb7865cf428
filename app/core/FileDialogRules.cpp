// The rules the file dialogs' option panels keep, apart from their windows.
#include "app/core/FileDialogRules.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : text) {
    if (c == '|') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& text) {
  const std::vector<std::string> fields = SplitBars(text);
  std::vector<FileFilter> filters;
  // Name and pattern fields alternate; the closing "||" leaves empty fields behind.
  for (size_t i = 0; i + 1 < fields.size(); i += 2) {
    if (fields[i].empty()) break;
    const size_t paren = fields[i].find('(');
    FileFilter f;
    f.name = TrimRight(paren == std::string::npos ? fields[i] : fields[i].substr(0, paren));
    for (char c : fields[i + 1]) f.patterns += c == ';' ? ' ' : c;
    if (!f.patterns.empty()) filters.push_back(std::move(f));
  }
  return filters;
}

SmfChannelChoice::SmfChannelChoice(int chipMode) : m_limit(chipMode == 1 ? 4 : kChannels) {
  m_enabled.fill(true);
  // The boxes are ticked as clicks would tick them, so the limit disables the rest.
  for (int n = 0; n < m_limit; ++n) {
    m_ticked[n] = true;
    Click(n, true);
  }
}

void SmfChannelChoice::Click(int n, bool ticked) {
  const int i = Index(n);
  m_ticked[i] = ticked;
  m_mask = 0;
  for (int k = 0; k < kChannels; ++k) {
    if (m_ticked[k]) m_mask = static_cast<uint16_t>(m_mask | (1u << k));
  }
  if (!ticked) {
    if (m_count == m_limit) m_enabled.fill(true);
    --m_count;
    return;
  }
  ++m_count;
  if (m_count == m_limit) {
    for (int k = 0; k < kChannels; ++k) m_enabled[k] = m_ticked[k];
  }
}

int SmfChannelChoice::TimeBaseOfIndex(int index) {
  return index >= 0 && index < static_cast<int>(kTimeBases.size()) ? kTimeBases[index] : 24;
}

int VelkTempoOfText(const std::string& text) {
  const char* begin = text.c_str();
  while (*begin == ' ') ++begin;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX) return 0;
  while (*end == ' ') ++end;
  return *end == '\0' ? static_cast<int>(value) : 0;
}

int SaveVelkCodeOfIndex(int index) {
  switch (index) {
    case 1: return 3;
    case 2: return 16;
    case 3: return 17;
    default: return 2;
  }
}

int SaveVelkTimeBaseOfCode(int code) {
  switch (code) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 3: return 5;
    case 16: return 10;
    case 17: return 20;
    case 18: return 40;
    case 19: return 50;
    default: return 4;
  }
}

std::string CommentLine(bool ticked, const std::string& comment, const std::string& alternative) {
  if (!ticked) return comment;
  return alternative.empty() ? comment : alternative;
}

std::string SongExtensionOfProfile(int profile) {
  if (profile == 1 || profile == 6 || profile == 7) return "mld";
  return profile == 4 ? "spf" : "mmf";
}

int SongFilterIdOfProfile(int profile) {
  if (profile == 1 || profile == 6 || profile == 7) return 2085;
  return profile == 4 ? 2186 : 2086;
}

bool HasEndingNoCase(const std::string& path, const std::string& ending) {
  if (path.size() < ending.size()) return false;
  const size_t start = path.size() - ending.size();
  for (size_t i = 0; i < ending.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(path[start + i])) != std::tolower(static_cast<unsigned char>(ending[i])))
      return false;
  }
  return true;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FitsFileTitleLimit(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  const size_t title = dot == std::string::npos ? name.size() : dot;
  return title <= kMaxFileTitle;
}

bool FitsSaveNameLimit(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t length = slash == std::string::npos ? path.size() : path.size() - slash;
  return length <= kMaxSaveName;
}

std::string ReloadSmfPath(const std::string& songPath, bool numberedPart) {
  if (HasEndingNoCase(songPath, ".mid")) return songPath;
  const size_t n = songPath.size();
  if (numberedPart && n >= 7 && songPath[n - 6] == '_' && songPath[n - 5] >= '2' && songPath[n - 5] <= '4') {
    return songPath.substr(0, n - 6) + ".mid";
  }
  return songPath.substr(0, n >= 3 ? n - 3 : 0) + "mid";
}

std::string PathInFolder(const std::string& path, const std::string& folder) {
  if (folder.empty()) return path;
  return folder + (folder.back() == '/' ? "" : "/") + FileNameOf(path);
}

int SongConverterKind(int profile, int makerId) {
  switch (profile) {
    case 1:
    case 7: return makerId >= 1 && makerId <= 4 ? 9 + makerId : 10;
    case 2:
    case 3:
    case 8: return 8;
    case 4: return 17;
    case 5: return 18;
    case 6:
      switch (makerId) {
        case 1: return 14;
        case 2: return 15;
        case 4: return 16;
        default: return 10;
      }
    default: return 0;
  }
}

int DirectPlayFilterIdOfProfile(int profile) {
  switch (profile) {
    case 1:
    case 6:
    case 7: return 2195;
    case 4: return 2194;
    case 5: return 2192;
    default: return 2193;
  }
}

bool IsDirectPlayFile(const std::string& path) {
  for (const char* ending : {".k3h", ".mmf", ".spf", ".mld"}) {
    if (HasEndingNoCase(path, ending)) return true;
  }
  return false;
}
