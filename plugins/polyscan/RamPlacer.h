// Placement of a song's waves, voices and extra data in the chip RAM.
#pragma once

#include <cstdint>

#include "plugins/polyscan/SongTables.h"

namespace polyscan {

inline constexpr uint32_t kRamStart = 0x4000;

class RamPlacer {
 public:
  /// limit: 0x6000, 0x5C00 or 0x5800 by stream mode.
  RamPlacer(SongTables& tables, uint32_t limit) : m_tables(tables), m_limit(limit) {}

  /// Places everything and returns the number of stream keys (0 in stream mode 0).
  /// Throws CheckFailure: CNVERR_CHIPRAM when it does not fit, CNVERR_FAILED for a voice of
  /// the wrong size or one naming a wave that is not there.
  int PlaceAll(int streamMode);

 private:
  uint16_t Allocate(uint32_t size);
  void PlaceWaves();
  void PlaceVoices();
  void PlaceFmVoice(VoiceDef& v);
  void PlacePcmVoice(VoiceDef& v);
  void PlaceExtras();

  SongTables& m_tables;
  uint32_t m_limit;
  uint32_t m_pointer = kRamStart;
};

}  // namespace polyscan
