// The texts of the value edits: what may be typed, how a typed value reads, how a value shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace value_edit {

/// The time-base edit's text after a key: digits and at most one point, at most three digits
/// behind it (a fourth would change the value's scale).
bool AcceptsTimeBaseText(std::string_view text);
/// The typed time base in microseconds: "4.5" 4500, "4" 4; nothing for an empty text, one
/// beginning with a point or four or more digits behind the point.
std::optional<uint64_t> ParseTimeBaseText(std::string_view text);
/// The time base in microseconds shown in milliseconds with three decimals ("16777.001").
std::string FormatTimeBase(int64_t timeBase);

/// The play-position edit's text after a key: digits and at most two points, at most three
/// digits behind the last one.
bool AcceptsTimeText(std::string_view text);
/// A typed position "minutes.seconds.fraction", "seconds.fraction" or milliseconds, in ms;
/// nothing for an empty text, one beginning with a point, more than two points or four or more
/// fraction digits.
std::optional<uint64_t> ParseTimeText(std::string_view text);
/// "01 . 02 . 300": minutes mod 100, seconds, milliseconds.
std::string FormatPlayPosition(uint32_t ms);

/// The text with every blank removed.
std::string WithoutBlanks(std::string_view text);

/// The signed-value edit's content check: digits and "-" only, a "-" only in front and only
/// with a negative lower bound, a value within the bounds, and a zero only as one character.
bool CheckValueText(std::string_view text, int lower, int upper);
/// The text read as a decimal integer: a leading sign, reading stops at the first non-digit,
/// 0 for an empty text; saturates at the int limits.
int ReadValueText(std::string_view text);

/// The rate edit's text after focus-out: below 50 becomes "50", above 200 "200", an empty text
/// and 50..200 stay as typed.
std::string ClampRateText(std::string_view text);

}  // namespace value_edit
