#include "app/core/ValueEditText.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace value_edit {
namespace {

constexpr uint64_t kSaturate = uint64_t{1} << 52;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Leading digits of a run as a number, saturating far above any value the edits accept.
uint64_t ReadDigits(std::string_view run) {
  uint64_t v = 0;
  for (char c : run) {
    if (!IsDigit(c)) break;
    v = std::min<uint64_t>(v * 10 + static_cast<uint64_t>(c - '0'), kSaturate);
  }
  return v;
}

/// The fraction behind a point: one digit is tenths, two hundredths, else thousandths.
uint64_t ReadFraction(std::string_view run) {
  const uint64_t v = ReadDigits(run);
  if (run.size() == 1) return v * 100;
  if (run.size() == 2) return v * 10;
  return v;
}

/// Digits and points only, at most `maxPoints` points and three digits behind the last.
bool AcceptsPointedText(std::string_view text, size_t maxPoints) {
  if (!std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '.'; })) return false;
  const auto points = static_cast<size_t>(std::count(text.begin(), text.end(), '.'));
  if (points > maxPoints) return false;
  if (points == 0) return true;
  return text.size() - text.rfind('.') - 1 <= 3;
}

}  // namespace

bool AcceptsTimeBaseText(std::string_view text) { return AcceptsPointedText(text, 1); }

std::optional<uint64_t> ParseTimeBaseText(std::string_view text) {
  if (text.empty() || text.front() == '.') return std::nullopt;
  const size_t point = text.find('.');
  if (point == std::string_view::npos) return ReadDigits(text);
  const std::string_view fraction = text.substr(point + 1);
  if (fraction.size() > 3) return std::nullopt;
  return ReadDigits(text.substr(0, point)) * 1000 + ReadFraction(fraction);
}

std::string FormatTimeBase(int64_t timeBase) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%1.3f", static_cast<double>(timeBase) / 1000.0);
  return buf;
}

bool AcceptsTimeText(std::string_view text) { return AcceptsPointedText(text, 2); }

std::optional<uint64_t> ParseTimeText(std::string_view text) {
  if (text.empty() || text.front() == '.') return std::nullopt;
  const auto points = std::count(text.begin(), text.end(), '.');
  if (points == 0) return ReadDigits(text);
  if (points > 2) return std::nullopt;
  uint64_t ms = 0;
  std::string_view rest = text;
  if (points == 2) {
    const size_t p = rest.find('.');
    ms += ReadDigits(rest.substr(0, p)) * 60000;
    rest = rest.substr(p + 1);
  }
  const size_t p = rest.find('.');
  ms += ReadDigits(rest.substr(0, p)) * 1000;
  const std::string_view fraction = rest.substr(p + 1);
  if (fraction.size() > 3) return std::nullopt;
  return ms + ReadFraction(fraction);
}

std::string FormatPlayPosition(uint32_t ms) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u . %02u . %03u", (ms / 60000) % 100, (ms / 1000) % 60, ms % 1000);
  return buf;
}

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != ' ') out += c;
  }
  return out;
}

int ReadValueText(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t v = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t{std::numeric_limits<int>::max()} + 1);
  }
  if (negative) v = -v;
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool CheckValueText(std::string_view text, int lower, int upper) {
  if (!std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '-'; })) return false;
  const size_t minus = text.rfind('-');
  if (minus != std::string_view::npos && (minus != 0 || lower >= 0)) return false;
  if (text.empty()) return true;
  // Read wider than int, so that a long run of digits is out of range rather than wrapped.
  int64_t v = 0;
  for (char c : text.substr(minus == 0 ? 1 : 0)) v = std::min<int64_t>(v * 10 + (c - '0'), int64_t{1} << 40);
  if (minus == 0) v = -v;
  if (v < lower || v > upper) return false;
  return v != 0 || text.size() == 1;
}

std::string ClampRateText(std::string_view text) {
  if (text.empty()) return std::string(text);
  const int v = ReadValueText(text);
  if (v < 50) return "50";
  if (v > 200) return "200";
  return std::string(text);
}

}  // namespace value_edit
