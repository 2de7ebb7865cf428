// What the song readers share: reading a song file whole, running a converter plug-in into a
// buffer, and reading song data into a MIDI list.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMidiList;

namespace songimport {

/// The largest destination a conversion grows to when the plug-in asks for more room.
inline constexpr uint32_t kMaxDestination = 256u << 20;

/// The bytes of a song file, or nothing for a missing, unreadable or empty file and for one
/// whose size times `factor` (the destination the read will need) does not fit 32 bits. The
/// size is checked before anything is allocated.
std::optional<std::vector<uint8_t>> ReadSongFile(const std::string& path, uint32_t factor);

/// What a conversion into song data gave.
struct Conversion {
  uint32_t result = 0;  // bytes written, or 0 / a failure code
  uint32_t flags = 0;   // the flags the plug-in returned
  std::unique_ptr<uint8_t[]> bytes;
  uint32_t capacity = 0;  // size of `bytes`
  uint32_t sourceSize = 0;

  bool Succeeded() const { return result != 0 && result < 0x80000000u; }
};

/// Runs converter `kind` (direction 0) over the source with a destination of `factor` times
/// its size (none for factor 0). A plug-in asking for more room gets twice the destination,
/// up to kMaxDestination, before the conversion fails; a result larger than the destination
/// counts as a failure (0x80000000). Throws -108 when a destination cannot be had.
Conversion RunConverter(int kind, uint32_t flags, const std::vector<uint8_t>& source,
                        uint32_t factor);

/// Reads the file and runs converter `kind` over it as RunConverter does; a failed result is
/// reported, a success's notes too. Nothing when the file cannot be read or the conversion
/// failed.
std::optional<Conversion> ConvertSongFile(const std::string& path, int kind, uint32_t flags,
                                          uint32_t factor);

/// Reads song data into the list with the "DensWidth" density window while the busy picture
/// shows, and gives the reader's result to the short converter report. 1 when the data were
/// read and the report passed, else 0.
int ReadSongData(const uint8_t* bytes, uint32_t size, CMidiList& list);

}  // namespace songimport
