// The user-interface strings of one language, compiled from res/strings at build time.
#include "platform/strings/StringTable.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "platform/strings/StringTableData.h"

namespace platform {
namespace {

using strings_data::IdEntry;
using strings_data::KeyEntry;
using strings_data::kLanguageCount;
using strings_data::kLanguages;

const std::deque<StringTable>& AllTables() {
  static const std::deque<StringTable> tables = [] {
    std::deque<StringTable> t;
    for (size_t i = 0; i < kLanguageCount; ++i) t.emplace_back(kLanguages[i]);
    return t;
  }();
  return tables;
}

std::string EnvironmentValue(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

const StringTable& StringTable::ForLanguage(std::string_view code) {
  const auto& tables = AllTables();
  for (const StringTable& t : tables) {
    if (t.Language() == code) return t;
  }
  for (const StringTable& t : tables) {
    if (t.Language() == "en") return t;
  }
  return tables.front();
}

const StringTable& StringTable::English() { return ForLanguage("en"); }

std::string_view StringTable::Language() const { return m_data.code; }

std::optional<std::string_view> StringTable::Find(int id) const {
  const IdEntry* begin = m_data.ids;
  const IdEntry* end = begin + m_data.idCount;
  const IdEntry* it = std::lower_bound(begin, end, id, [](const IdEntry& e, int v) { return e.id < v; });
  if (it == end || it->id != id) return std::nullopt;
  return std::string_view(it->text);
}

std::optional<std::string_view> StringTable::Find(std::string_view key) const {
  const KeyEntry* begin = m_data.keys;
  const KeyEntry* end = begin + m_data.keyCount;
  const KeyEntry* it = std::lower_bound(
      begin, end, key, [](const KeyEntry& e, std::string_view v) { return std::string_view(e.key) < v; });
  if (it == end || std::string_view(it->key) != key) return std::nullopt;
  return std::string_view(it->text);
}

std::vector<int> StringTable::Ids() const {
  std::vector<int> ids;
  for (size_t i = 0; i < m_data.idCount; ++i) ids.push_back(m_data.ids[i].id);
  return ids;
}

std::vector<std::string> StringTable::Keys() const {
  std::vector<std::string> keys;
  for (size_t i = 0; i < m_data.keyCount; ++i) keys.emplace_back(m_data.keys[i].key);
  return keys;
}

std::string UiLanguage() {
  std::string chosen = EnvironmentValue("TRILLOT_LANG");
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (!chosen.empty()) break;
    chosen = EnvironmentValue(name);
  }
  return chosen.rfind("zh", 0) == 0 ? "zh_CN" : "en";
}

const StringTable& strings() {
  static const StringTable& table = StringTable::ForLanguage(UiLanguage());
  return table;
}

}  // namespace platform
