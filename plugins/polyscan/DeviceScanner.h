// The pre-scan of a song track: device messages into the tables, cue points into the region.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/polyscan/SongTables.h"

namespace polyscan {

class DeviceScanner {
 public:
  explicit DeviceScanner(SongTables& tables) : m_tables(tables) {}

  /// Walks the whole track up to its end-of-track event. Throws CheckFailure{CNVERR_FAILED}
  /// for a broken or cut track (no end-of-track event), a full table, an empty payload,
  /// stream format 1 or a stream id of 50 or more.
  void ScanDeviceSysEx(const uint8_t* track, size_t size);

 private:
  void OnSysEx(const uint8_t* body, uint32_t length);
  void OnCuePoint(const uint8_t* text, uint32_t length, size_t offsetAfter);
  void AddVoice(const uint8_t* payload, uint32_t size);
  void AddWave(const uint8_t* payload, uint32_t size);
  void AddStreamWave(const uint8_t* payload, uint32_t size);
  void AddExtra(const uint8_t* payload, uint32_t size);
  void SetStreamMode(const uint8_t* payload, uint32_t size);

  SongTables& m_tables;
};

}  // namespace polyscan
