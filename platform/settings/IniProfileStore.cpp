// The per-user settings profile, kept as an INI file of our own.
#include "platform/settings/IniProfileStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/io/FileIo.h"

namespace platform {
namespace {

// Our own store holds a few hundred short lines; a bigger file is not ours.
constexpr off_t kMaxProfileBytes = 16 << 20;

std::string Environment(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// The whole text as a signed decimal, wrapped to 32 bits as a DWORD value reads; else nothing.
std::optional<int> ParseStoredInt(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

bool NeedsQuotes(const std::string& value) {
  if (value.empty()) return false;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return blank(value.front()) || blank(value.back()) || value.front() == '"';
}

void Warn(const std::string& path, const char* why) {
  std::fprintf(stderr, "Trillot: the settings file %s %s; it is left as it is and the settings of this run are not saved.\n",
               path.c_str(), why);
}

}  // namespace

IniProfileStore::IniProfileStore(std::string path) : m_path(std::move(path)) { Load(); }

IniProfileStore::~IniProfileStore() { Flush(); }

bool IniProfileStore::Flush() {
  std::lock_guard lock(m_mutex);
  if (!m_dirty) return true;
  if (!Save()) return false;
  m_dirty = false;
  return true;
}

void IniProfileStore::SetDeferred(bool deferred) {
  {
    std::lock_guard lock(m_mutex);
    m_deferred = deferred;
  }
  if (!deferred) Flush();
}

bool IniProfileStore::Changed() {
  m_dirty = true;
  if (m_deferred) return m_writable;
  if (!Save()) return false;
  m_dirty = false;
  return true;
}

std::string IniProfileStore::DefaultPath() {
  if (std::string p = Environment("TRILLOT_PROFILE"); !p.empty()) return p;
  std::string base = Environment("XDG_CONFIG_HOME");
  if (base.empty()) {
    std::string home = Environment("HOME");
    base = (home.empty() ? std::string(".") : home) + "/.config";
  }
  return base + "/KORVAN/Trillot.conf";
}

void IniProfileStore::Load() {
  struct stat st {};
  if (::stat(m_path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      m_writable = false;
      Warn(m_path, "cannot be read");
    }
    return;
  }
  if (!S_ISREG(st.st_mode) || st.st_size > kMaxProfileBytes) {
    m_writable = false;
    Warn(m_path, "is not a settings file");
    return;
  }
  auto bytes = ReadWholeFile(m_path);
  if (!bytes) {
    m_writable = false;
    Warn(m_path, "cannot be read");
    return;
  }
  IniDocument::Parsed parsed =
      IniDocument::Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (parsed.faults > 0) {
    // Reading what we can would lose the rest on the next write: keep the file whole instead.
    m_writable = false;
    Warn(m_path, "is malformed");
    return;
  }
  m_document = std::move(parsed.document);
}

bool IniProfileStore::Save() {
  if (!m_writable) return false;
  std::error_code ec;
  std::filesystem::path parent = std::filesystem::path(m_path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  std::string text = m_document.Serialize();
  return WriteFileAtomic(m_path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string IniProfileStore::EncodeValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '"': out += NeedsQuotes(value) ? "\\\"" : "\""; break;
      default: out += c;
    }
  }
  return NeedsQuotes(value) ? "\"" + out + "\"" : out;
}

std::string IniProfileStore::DecodeValue(const std::string& stored) {
  std::string_view s = stored;
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char e = s[++i];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      default: out += '\\'; out += e;  // a hand-written backslash stays as it is
    }
  }
  return out;
}

int IniProfileStore::GetProfileInt(const std::string& section, const std::string& key, int def) const {
  std::lock_guard lock(m_mutex);
  const std::string* stored = m_document.Find(section, key);
  if (!stored) return def;
  return ParseStoredInt(DecodeValue(*stored)).value_or(def);
}

std::string IniProfileStore::GetProfileString(const std::string& section, const std::string& key,
                                              const std::string& def) const {
  std::lock_guard lock(m_mutex);
  const std::string* stored = m_document.Find(section, key);
  return stored ? DecodeValue(*stored) : def;
}

bool IniProfileStore::WriteProfileInt(const std::string& section, const std::string& key, int value) {
  return WriteProfileString(section, key, std::to_string(value));
}

bool IniProfileStore::WriteProfileString(const std::string& section, const std::string& key,
                                         const std::string& value) {
  if (!IniDocument::IsValidSectionName(section) || !IniDocument::IsValidKeyName(key)) return false;
  std::lock_guard lock(m_mutex);
  m_document.Set(section, key, EncodeValue(value));
  return Changed();
}

bool IniProfileStore::DeleteSection(const std::string& section) {
  std::lock_guard lock(m_mutex);
  if (!m_document.EraseSection(section)) return true;
  return Changed();
}

}  // namespace platform
