// Compiles the tab-separated string sources into C++ tables: strtable <out.cpp> <lang>=<file.tsv>...
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Language {
  std::string code;
  std::map<int, std::string> ids;
  std::map<std::string, std::string> keys;
};

class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Where(const std::string& path, int line) { return path + ":" + std::to_string(line) + ": "; }

std::string Unescape(const std::string& raw, const std::string& where) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      out += raw[i];
      continue;
    }
    if (++i == raw.size()) throw SourceError(where + "backslash at end of text");
    switch (raw[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      default: throw SourceError(where + "unknown escape \\" + std::string(1, raw[i]));
    }
  }
  return out;
}

bool IsNumeric(const std::string& key) {
  return !key.empty() && key.size() < 10 &&
         std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsSymbolic(const std::string& key) {
  return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '.' || c == '_' || c == '-';
  });
}

void AddLine(Language& lang, const std::string& text, const std::string& where) {
  size_t tab = text.find('\t');
  if (tab == std::string::npos) throw SourceError(where + "no tab between key and text");
  std::string key = text.substr(0, tab);
  std::string value = Unescape(text.substr(tab + 1), where);
  if (IsNumeric(key)) {
    if (!lang.ids.emplace(std::stoi(key), value).second) throw SourceError(where + "duplicate id " + key);
  } else if (IsSymbolic(key)) {
    if (!lang.keys.emplace(key, value).second) throw SourceError(where + "duplicate key " + key);
  } else {
    throw SourceError(where + "bad key '" + key + "'");
  }
}

/// Adds the entries of one source file to the language; a key in two files is a duplicate.
void ReadLanguage(Language& lang, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SourceError(path + ": cannot open");
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    AddLine(lang, line, Where(path, number));
  }
}

// Octal escapes for everything but plain ASCII, so the output never depends on the source
// character set and no escape runs into a following digit.
std::string Literal(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

std::string Identifier(const std::string& code) {
  std::string id = code;
  std::replace_if(id.begin(), id.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return id;
}

void WriteLanguage(std::ostream& out, const Language& lang) {
  std::string id = Identifier(lang.code);
  if (!lang.ids.empty()) {
    out << "const IdEntry kIds_" << id << "[] = {\n";
    for (const auto& [key, text] : lang.ids) out << "    {" << key << ", " << Literal(text) << "},\n";
    out << "};\n";
  }
  if (!lang.keys.empty()) {
    out << "const KeyEntry kKeys_" << id << "[] = {\n";
    for (const auto& [key, text] : lang.keys) out << "    {" << Literal(key) << ", " << Literal(text) << "},\n";
    out << "};\n";
  }
}

std::string Generate(const std::vector<Language>& languages) {
  std::ostringstream out;
  out << "// Generated from res/strings/*.tsv by trillot_strtable; edit the sources, not this file.\n"
      << "#include \"platform/strings/StringTableData.h\"\n\n"
      << "namespace platform::strings_data {\nnamespace {\n\n";
  for (const Language& lang : languages) WriteLanguage(out, lang);
  out << "\n}  // namespace\n\nconst LanguageData kLanguages[] = {\n";
  for (const Language& lang : languages) {
    std::string id = Identifier(lang.code);
    out << "    {" << Literal(lang.code) << ", "
        << (lang.ids.empty() ? "nullptr" : "kIds_" + id) << ", " << lang.ids.size() << ", "
        << (lang.keys.empty() ? "nullptr" : "kKeys_" + id) << ", " << lang.keys.size() << "},\n";
  }
  out << "};\nconst size_t kLanguageCount = " << languages.size() << ";\n\n"
      << "}  // namespace platform::strings_data\n";
  return out.str();
}

// Rewrites the output only when it changed, so a touched source that compiles to the same
// tables does not rebuild the library.
void WriteIfChanged(const std::string& path, const std::string& text) {
  {
    std::ifstream old(path, std::ios::binary);
    std::ostringstream current;
    current << old.rdbuf();
    if (old && current.str() == text) return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out.flush()) throw SourceError(path + ": cannot write");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: trillot_strtable <out.cpp> <lang>=<file.tsv>... (a language may name several files)\n";
    return 2;
  }
  try {
    std::vector<Language> languages;
    for (int i = 2; i < argc; ++i) {
      std::string arg = argv[i];
      size_t eq = arg.find('=');
      if (eq == std::string::npos || eq == 0) throw SourceError("bad argument '" + arg + "'");
      // A language named again takes the entries of a further file.
      const std::string code = arg.substr(0, eq);
      auto it = std::find_if(languages.begin(), languages.end(), [&](const Language& l) { return l.code == code; });
      if (it == languages.end()) it = languages.insert(languages.end(), Language{code, {}, {}});
      ReadLanguage(*it, arg.substr(eq + 1));
    }
    WriteIfChanged(argv[1], Generate(languages));
  } catch (const std::exception& e) {
    std::cerr << "trillot_strtable: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
