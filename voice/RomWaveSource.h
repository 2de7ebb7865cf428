// The seven built-in ROM waves: their table and the files that stand in for the program's
// "BIN" resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One ROM wave as the PCM page offers it: the values a choice of it sets.
struct RomWaveInfo {
  int resourceId;
  const char* name;
  uint16_t fs;
  uint16_t loopPoint;
  uint16_t endPoint;
};

/// ROM waves are 4-bit ADPCM, read from "rom/<resource id>.bin" in the program's folder.
class RomWaveSource {
 public:
  static constexpr int kCount = 7;
  /// The sample kind of every ROM wave (4-bit ADPCM).
  static constexpr uint8_t kKind = 0;

  /// The table row of wave id 0..6, or null for another id.
  static const RomWaveInfo* Info(int waveId);
  /// "rom/<id>.bin" for a resource id.
  static std::string FileName(int resourceId);
  /// The wave's bytes; empty ("no wave") for another id, a missing file or an empty one.
  static std::vector<uint8_t> Read(int waveId);
};
