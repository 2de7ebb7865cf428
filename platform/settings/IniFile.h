// Read-only access to a private INI file such as "Trillot.ini".
#pragma once

#include <string>
#include <string_view>

#include "platform/settings/IniDocument.h"

namespace platform {

class IniFile {
 public:
  /// Reads the file; a missing, unreadable or oversized file reads as empty.
  static IniFile Load(const std::string& path);
  static IniFile FromText(std::string_view text);

  /// The value of the key, or `def` when the file, section or key is missing. Names compare
  /// without case; the first of duplicate keys wins; one pair of surrounding quotes is removed.
  std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;

  bool WasRead() const { return m_read; }

 private:
  IniDocument m_document;
  bool m_read = false;
};

}  // namespace platform
