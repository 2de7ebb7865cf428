// The sections and key=value lines of an INI text, with names compared without case.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class IniDocument {
 public:
  struct Parsed;

  /// Reads an INI text. Blank lines and lines beginning with ';' or '#' are comments. Values are
  /// kept as written between the '=' and the line end, less surrounding blanks. Lines that are
  /// neither a section, a comment nor key=value in a section are skipped and counted as faults.
  static Parsed Parse(std::string_view text);

  /// The value of the first matching key in the first matching section, or null.
  const std::string* Find(std::string_view section, std::string_view key) const;
  /// Sets the value, adding the section and key with the case given when they are new.
  void Set(std::string_view section, std::string_view key, std::string value);
  /// False when there was no such section.
  bool EraseSection(std::string_view section);
  /// The text that Parse reads back into the same document.
  std::string Serialize() const;

  /// A name can be written when it has no surrounding blanks, no line break and no ']'
  /// (sections) or '=' (keys).
  static bool IsValidSectionName(std::string_view name);
  static bool IsValidKeyName(std::string_view name);

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };

  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> m_sections;
};

struct IniDocument::Parsed {
  IniDocument document;
  int faults = 0;
};

/// Equal ignoring ASCII case.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace platform
