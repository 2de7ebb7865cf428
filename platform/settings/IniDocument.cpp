// The sections and key=value lines of an INI text, with names compared without case.
#include "platform/settings/IniDocument.h"

#include <algorithm>

namespace platform {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool HasControlBreak(std::string_view s) { return s.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

IniDocument::Parsed IniDocument::Parse(std::string_view text) {
  Parsed parsed;
  Section* current = nullptr;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = Trim(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.find('\0') != std::string_view::npos) {
      ++parsed.faults;
      continue;
    }
    if (line[0] == '[') {
      if (line.back() != ']') {
        // Keys under a broken header must not land in the section before it.
        ++parsed.faults;
        current = nullptr;
        continue;
      }
      std::string_view name = line.substr(1, line.size() - 2);
      current = parsed.document.FindSection(name);
      if (!current) {
        parsed.document.m_sections.push_back({std::string(name), {}});
        current = &parsed.document.m_sections.back();
      }
      continue;
    }
    size_t eq = line.find('=');
    std::string_view key = eq == std::string_view::npos ? std::string_view() : Trim(line.substr(0, eq));
    if (!current || key.empty()) {
      ++parsed.faults;
      continue;
    }
    current->entries.emplace_back(std::string(key), std::string(Trim(line.substr(eq + 1))));
  }
  return parsed;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name) {
  for (Section& s : m_sections) {
    if (EqualsNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
  for (const Section& s : m_sections) {
    if (EqualsNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

const std::string* IniDocument::Find(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const auto& [k, v] : s->entries) {
    if (EqualsNoCase(k, key)) return &v;
  }
  return nullptr;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string value) {
  Section* s = FindSection(section);
  if (!s) {
    m_sections.push_back({std::string(section), {}});
    s = &m_sections.back();
  }
  for (auto& [k, v] : s->entries) {
    if (EqualsNoCase(k, key)) {
      v = std::move(value);
      return;
    }
  }
  s->entries.emplace_back(std::string(key), std::move(value));
}

bool IniDocument::EraseSection(std::string_view section) {
  auto it = std::find_if(m_sections.begin(), m_sections.end(),
                         [&](const Section& s) { return EqualsNoCase(s.name, section); });
  if (it == m_sections.end()) return false;
  m_sections.erase(it);
  return true;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const Section& s : m_sections) {
    if (!out.empty()) out += '\n';
    out += "[" + s.name + "]\n";
    for (const auto& [k, v] : s.entries) out += k + "=" + v + "\n";
  }
  return out;
}

bool IniDocument::IsValidSectionName(std::string_view name) {
  return !name.empty() && Trim(name) == name && !HasControlBreak(name) &&
         name.find(']') == std::string_view::npos;
}

bool IniDocument::IsValidKeyName(std::string_view name) {
  return !name.empty() && Trim(name) == name && !HasControlBreak(name) && name[0] != '[' &&
         name[0] != ';' && name[0] != '#' && name.find('=') == std::string_view::npos;
}

}  // namespace platform
