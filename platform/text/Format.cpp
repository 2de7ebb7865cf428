// Printf-style formatting over typed arguments, and the C rule for reading a decimal number.
#include "platform/text/Format.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace platform {
namespace {

// Widths and precisions come from our own templates; the cap only keeps a mistaken "%*d" with a
// huge argument from asking for gigabytes.
constexpr int kMaxField = 4096;

enum class Length { Default, Char, Short, LongLong };

struct Directive {
  std::string flags;
  int width = -1;          // -1 none; -2 taken from an argument
  int precision = -1;      // -1 none; -2 taken from an argument
  Length length = Length::Default;
  char conversion = 0;
  size_t end = 0;          // index just past the conversion character
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int ReadNumber(std::string_view f, size_t& i) {
  long long n = 0;
  while (i < f.size() && IsDigit(f[i])) {
    if (n <= kMaxField) n = n * 10 + (f[i] - '0');
    ++i;
  }
  return static_cast<int>(n > kMaxField ? kMaxField : n);
}

Length ReadLength(std::string_view f, size_t& i) {
  Length len = Length::Default;
  while (i < f.size()) {
    char c = f[i];
    if (c == 'h') {
      len = len == Length::Short ? Length::Char : Length::Short;
    } else if (c == 'l') {
      // "l" is 32 bits on the target, like int; only "ll" widens.
      if (i + 1 < f.size() && f[i + 1] == 'l') {
        len = Length::LongLong;
        ++i;
      }
    } else if (c == 'q' || c == 'j') {
      len = Length::LongLong;
    } else if (c == 'I' && f.substr(i, 3) == "I64") {
      len = Length::LongLong;
      i += 2;
    } else if (c != 'L' && c != 'z' && c != 't') {
      break;
    }
    ++i;
  }
  return len;
}

// Parses the conversion that starts at f[start] == '%'; nothing when it is incomplete.
std::optional<Directive> ParseDirective(std::string_view f, size_t start) {
  Directive s;
  size_t i = start + 1;
  while (i < f.size() && std::string_view("-+ #0").find(f[i]) != std::string_view::npos) {
    s.flags += f[i++];
  }
  if (i < f.size() && f[i] == '*') {
    s.width = -2;
    ++i;
  } else if (i < f.size() && IsDigit(f[i])) {
    s.width = ReadNumber(f, i);
  }
  if (i < f.size() && f[i] == '.') {
    ++i;
    if (i < f.size() && f[i] == '*') {
      s.precision = -2;
      ++i;
    } else {
      s.precision = ReadNumber(f, i);
    }
  }
  s.length = ReadLength(f, i);
  if (i >= f.size()) return std::nullopt;
  s.conversion = f[i];
  s.end = i + 1;
  return s;
}

class ArgReader {
 public:
  explicit ArgReader(const FormatArgs& args) : m_args(args) {}

  const FormatArg* Next() { return m_next < m_args.size() ? &m_args[m_next++] : nullptr; }

  long long NextSigned() {
    const FormatArg* a = Next();
    if (!a) return 0;
    if (auto* v = std::get_if<long long>(a)) return *v;
    if (auto* v = std::get_if<unsigned long long>(a)) return static_cast<long long>(*v);
    if (auto* v = std::get_if<double>(a)) {
      if (!std::isfinite(*v) || std::fabs(*v) >= 9.2e18) return 0;
      return static_cast<long long>(*v);
    }
    return ParseDecimal(std::get<std::string>(*a));
  }

  double NextDouble() {
    const FormatArg* a = Next();
    if (!a) return 0.0;
    if (auto* v = std::get_if<double>(a)) return *v;
    if (auto* v = std::get_if<long long>(a)) return static_cast<double>(*v);
    if (auto* v = std::get_if<unsigned long long>(a)) return static_cast<double>(*v);
    return 0.0;
  }

  std::string NextText() {
    const FormatArg* a = Next();
    if (!a) return {};
    if (auto* v = std::get_if<std::string>(a)) return *v;
    if (auto* v = std::get_if<long long>(a)) return std::to_string(*v);
    if (auto* v = std::get_if<unsigned long long>(a)) return std::to_string(*v);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", std::get<double>(*a));
    return buf;
  }

 private:
  const FormatArgs& m_args;
  size_t m_next = 0;
};

template <typename T>
std::string CFormat(const std::string& cformat, T value) {
  int n = std::snprintf(nullptr, 0, cformat.c_str(), value);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), cformat.c_str(), value);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string BuildCFormat(const Directive& s, const char* lengthModifier, char conversion) {
  std::string cformat = "%" + s.flags;
  if (s.width >= 0) cformat += std::to_string(s.width);
  if (s.precision >= 0) cformat += "." + std::to_string(s.precision);
  cformat += lengthModifier;
  cformat += conversion;
  return cformat;
}

// Cuts a text to at most `bytes` bytes without splitting a UTF-8 character.
std::string CutUtf8(std::string text, size_t bytes) {
  if (text.size() <= bytes) return text;
  size_t cut = bytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text;
}

std::string Pad(std::string text, const Directive& s) {
  if (s.width < 0 || text.size() >= static_cast<size_t>(s.width)) return text;
  std::string fill(static_cast<size_t>(s.width) - text.size(), ' ');
  return s.flags.find('-') != std::string::npos ? text + fill : fill + text;
}

long long TruncateSigned(long long v, Length len) {
  switch (len) {
    case Length::Char: return static_cast<int8_t>(v);
    case Length::Short: return static_cast<int16_t>(v);
    case Length::LongLong: return v;
    default: return static_cast<int32_t>(v);
  }
}

unsigned long long TruncateUnsigned(long long v, Length len) {
  switch (len) {
    case Length::Char: return static_cast<uint8_t>(v);
    case Length::Short: return static_cast<uint16_t>(v);
    case Length::LongLong: return static_cast<unsigned long long>(v);
    default: return static_cast<uint32_t>(v);
  }
}

void TakeStarArguments(Directive& s, ArgReader& args) {
  if (s.width == -2) {
    long long w = static_cast<int32_t>(args.NextSigned());
    if (w < 0) {
      s.flags += '-';
      w = -w;
    }
    s.width = static_cast<int>(w > kMaxField ? kMaxField : w);
  }
  if (s.precision == -2) {
    long long p = static_cast<int32_t>(args.NextSigned());
    s.precision = p < 0 ? -1 : static_cast<int>(p > kMaxField ? kMaxField : p);
  }
}

// One conversion; nothing when the conversion character is not one we format.
std::optional<std::string> Convert(Directive s, ArgReader& args) {
  TakeStarArguments(s, args);
  switch (s.conversion) {
    case 'd': case 'i':
      return CFormat(BuildCFormat(s, "ll", s.conversion), TruncateSigned(args.NextSigned(), s.length));
    case 'u': case 'o': case 'x': case 'X':
      return CFormat(BuildCFormat(s, "ll", s.conversion), TruncateUnsigned(args.NextSigned(), s.length));
    case 'p':
      return CFormat(BuildCFormat(s, "ll", 'X'), TruncateUnsigned(args.NextSigned(), Length::LongLong));
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
      return CFormat(BuildCFormat(s, "", s.conversion), args.NextDouble());
    case 'c': {
      char c = static_cast<char>(args.NextSigned());
      return Pad(c == '\0' ? std::string() : std::string(1, c), s);
    }
    case 's': {
      std::string text = args.NextText();
      if (s.precision >= 0) text = CutUtf8(std::move(text), static_cast<size_t>(s.precision));
      return Pad(std::move(text), s);
    }
    case 'n':
      // Writes through a pointer in C; here it only consumes its argument.
      args.Next();
      return std::string();
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string FormatPrintf(std::string_view format, const FormatArgs& args) {
  std::string out;
  out.reserve(format.size() + 16);
  ArgReader reader(args);
  size_t i = 0;
  while (i < format.size()) {
    size_t pct = format.find('%', i);
    if (pct == std::string_view::npos) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, pct - i));
    if (pct + 1 < format.size() && format[pct + 1] == '%') {
      out += '%';
      i = pct + 2;
      continue;
    }
    std::optional<Directive> directive = ParseDirective(format, pct);
    if (!directive) {
      out.append(format.substr(pct));
      break;
    }
    std::optional<std::string> text = Convert(*directive, reader);
    out.append(text ? *text : std::string(format.substr(pct, directive->end - pct)));
    i = directive->end;
  }
  return out;
}

std::vector<std::string> PrintfConversions(std::string_view format) {
  std::vector<std::string> found;
  size_t i = 0;
  while ((i = format.find('%', i)) != std::string_view::npos) {
    if (i + 1 < format.size() && format[i + 1] == '%') {
      i += 2;
      continue;
    }
    std::optional<Directive> directive = ParseDirective(format, i);
    if (!directive) {
      found.emplace_back(format.substr(i));
      break;
    }
    found.emplace_back(format.substr(i, directive->end - i));
    i = directive->end;
  }
  return found;
}

int ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string HexBytes(const uint8_t* data, size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; data && i < size; ++i) {
    if (i) text += ' ';
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 0x0F];
  }
  return text;
}

}  // namespace platform
