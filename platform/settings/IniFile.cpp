// Read-only access to a private INI file such as "Trillot.ini".
#include "platform/settings/IniFile.h"

#include <sys/stat.h>

#include "platform/io/FileIo.h"

namespace platform {
namespace {

// A hand-written settings file is a few lines; anything bigger is not one.
constexpr off_t kMaxIniBytes = 1 << 20;

}  // namespace

IniFile IniFile::Load(const std::string& path) {
  IniFile file;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxIniBytes) return file;
  auto bytes = ReadWholeFile(path);
  if (!bytes) return file;
  file = FromText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  return file;
}

IniFile IniFile::FromText(std::string_view text) {
  IniFile file;
  file.m_document = IniDocument::Parse(text).document;
  file.m_read = true;
  return file;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def) const {
  const std::string* value = m_document.Find(section, key);
  if (!value) return std::string(def);
  const std::string& v = *value;
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace platform
