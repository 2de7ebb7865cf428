// The voice-allocation check without a window: the checker's flag word, the call through the
// binder and the decoding of what it returns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CKZ1Doc;
namespace platform {
class IConverterBinder;
}

/// The checker plug-in's converter kind; the check runs its CnvTo.
inline constexpr int kPolyscanKind = 19;
inline constexpr int kPolyscanDirection = 1;

/// The four result fields of the check dialog.
struct PolyscanResult {
  std::string result;  // "OK", "Over", "Error" or empty
  std::string time;    // milliseconds of the reported point
  std::string fm;      // FM voice count
  std::string pcm;     // PCM voice count
  bool operator==(const PolyscanResult&) const = default;
};

/// The flags word handed to the checker: 0, 0x02, 0x0A for mode settings 0 (FM16), 1 (FM32)
/// and 2 (ALL64, other values count as 0), plus 0x08 for Mode 1 and 0x8000 for "Output File".
uint32_t PolyscanFlags(int modeSetting, int mode, bool outputFile);

/// What the dialog shows for the checker's result word and returned flags; `tickToMs` turns the
/// reported tick into milliseconds through the song's tempo map.
PolyscanResult DecodePolyscanResult(uint32_t result, uint32_t flags, int mode,
                                    const std::function<uint32_t(uint32_t)>& tickToMs);

/// The whole check: the song's generation-3 native data through the checker (kind 19, CnvTo).
/// No song or no native data leaves every field empty; a failing call gives "Error".
PolyscanResult RunPolyscanCheck(CKZ1Doc* document, int modeSetting, int mode, bool outputFile,
                                platform::IConverterBinder& binder);
