// The user-interface strings of one language, compiled from res/strings at build time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace strings_data {
struct LanguageData;
}

class StringTable {
 public:
  /// The table of a language code ("en", "zh_CN"); English for a code we have no table for.
  static const StringTable& ForLanguage(std::string_view code);
  static const StringTable& English();

  std::string_view Language() const;
  /// The text of a numbered entry, or nothing when this table has none.
  std::optional<std::string_view> Find(int id) const;
  /// The text of a named entry ("menu.File"), or nothing.
  std::optional<std::string_view> Find(std::string_view key) const;
  std::vector<int> Ids() const;
  std::vector<std::string> Keys() const;

  explicit StringTable(const strings_data::LanguageData& data) : m_data(data) {}

 private:
  const strings_data::LanguageData& m_data;
};

/// The user-interface language: TRILLOT_LANG when set, else the first of LC_ALL, LC_MESSAGES
/// and LANG that is set; one beginning with "zh" gives "zh_CN", anything else "en".
std::string UiLanguage();

/// The table of the user-interface language, chosen on first use.
const StringTable& strings();

}  // namespace platform
