// The version tag's origin prefix and placeholder, taken from the converter's version.
#pragma once

#include <cstdint>
#include <string>

#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {

/// Length of the "A0" and "A2" entries: prefix, two version digits, two check characters.
inline constexpr uint32_t kTrSigLength = 6;

/// "K9" and the version digits: '0' + bits 15..12 and '0' + bits 11..8 ("K929" for 0x2970).
std::string GetTrSigPrefix(uint32_t version = kKZxVersion);
/// The prefix and two spaces: what "A0" and "A2" hold before the tag is stamped.
std::string GetTrSigPlaceholder();
/// A stored tag fitted to six bytes: cut, or padded with spaces.
std::string FitTrSig(const std::string& text);

}  // namespace velkgate
