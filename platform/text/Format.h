// Printf-style formatting over typed arguments, and the C rule for reading a decimal number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/HostServices.h"

namespace platform {

/// Formats `format` with `args` the way printf would on the 32-bit target, into a string sized
/// to its result. Never reads past the arguments: a missing one formats as 0 or an empty text,
/// and an argument of the wrong kind is converted (a number for %s prints in decimal).
/// Without a length modifier %d, %u, %x and %c take 32 bits; "ll" takes 64, "h" 16 and "hh" 8.
std::string FormatPrintf(std::string_view format, const FormatArgs& args);

/// FormatPrintf with the arguments given in place.
template <typename... Args>
std::string Format(std::string_view format, Args&&... args) {
  return FormatPrintf(format, MakeFormatArgs(std::forward<Args>(args)...));
}

/// The conversions of a format in order, each as written ("%u", "%02d", "%s"); "%%" is not one.
std::vector<std::string> PrintfConversions(std::string_view format);

/// The decimal value of a text by the C library's rule: leading blanks, an optional sign, then
/// digits up to the first other character. No digits give 0; values beyond int saturate.
int ParseDecimal(std::string_view text);

/// The bytes in upper-case hex, one space apart ("F0 43 F7"); empty for none.
std::string HexBytes(const uint8_t* data, size_t size);

}  // namespace platform
