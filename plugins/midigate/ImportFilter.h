// Second pass of the import: the song's events brought into the forms the chip accepts.
#pragma once

#include <cstdint>

#include "plugins/midigate/TrackCursor.h"

namespace midigate {

class CImportScan;
class CSmfImage;
class CTrackSet;

/// Writes every event of the merged source that the song data keeps, changed where the chip
/// needs it, and collects a result bit for each kind of change.
class CImportFilter {
 public:
  /// Result bits are ORed into flags as the changes are made.
  CImportFilter(const CImportScan& scan, CSmfImage& image, uint16_t division, uint32_t& flags);

  void Run(CTrackSet& tracks);

 private:
  template <typename Handler>
  friend void DispatchEvents(CTrackSet& tracks, Handler& handler);
  void OnMeta(const SmfEvent& event);
  void OnTempo(const SmfEvent& event);
  void OnTimeSignature(const SmfEvent& event);
  void OnCuePoint(const SmfEvent& event);
  void OnSequencerEvent(const SmfEvent& event);
  void CloseSection(uint64_t tick);
  void OnSysEx(const SmfEvent& event);
  bool KeepDeviceCommand(const SmfEvent& event);
  void OnChannel(const SmfEvent& event);
  void OnControl(const SmfEvent& event);
  void OnDataEntry(const SmfEvent& event);
  void OnProgram(const SmfEvent& event);
  void OnNote(const SmfEvent& event);
  void ClearBankLsb(uint8_t channel);

  const CImportScan& m_scan;
  CSmfImage& m_image;
  uint16_t m_division;
  uint32_t& m_flags;
  uint64_t m_endTick = 0;

  uint32_t m_lastTempo = 0;  // 0: none written yet
  uint8_t m_numerator = 0;
  uint8_t m_denominator = 0;
  uint8_t m_pendingSection = 0;  // section code 1..7 of the open section marker, 0 when none
  bool m_headerVolumePending = true;
  bool m_noteWritten = false;

  uint8_t m_bankMsb[16];
  int32_t m_bankLsbPos[16];  // output position of the last bank select LSB value, -1 when none
  bool m_programSeen[16] = {};
  uint8_t m_rpnMsb[16];
  uint8_t m_rpnLsb[16];
  uint16_t m_sounding[16][128] = {};
};

}  // namespace midigate
