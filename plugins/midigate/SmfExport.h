// CnvTo: the song-data dialect out to a plain Standard MIDI File of format 0.
#pragma once

#include <cstdint>

#include <optional>

#include "app/CnvParam.h"
#include "plugins/midigate/TickRetimer.h"
#include "plugins/midigate/TrackCursor.h"

namespace midigate {

class CSmfImage;

/// Merges the tracks of a song-data SMF (format 0 or 1) into one track that other sequencers
/// read: device tempo and master volume in their standard forms, section cues as
/// sequencer-specific events, and what a plain file cannot carry left out.
class CSmfExport {
 public:
  /// With a retimer, the source is song data of division 0, written at 480 ticks a quarter.
  CSmfExport(CSmfImage& image, std::optional<CTickRetimer> retimer)
      : m_image(image), m_retimer(std::move(retimer)) {}

  /// Converts the whole source into the image; throws on a source it refuses.
  static uint32_t Convert(CnvParam& param);

  void OnEvent(const SmfEvent& source);
  uint64_t EndTick() const { return m_endTick; }

 private:
  void OnMeta(const SmfEvent& event);
  void OnCuePoint(const SmfEvent& event);
  void OnSysEx(const SmfEvent& event);
  void OnDeviceTempo(const SmfEvent& event);

  CSmfImage& m_image;
  std::optional<CTickRetimer> m_retimer;
  uint64_t m_sourceTick = 0;
  uint64_t m_endTick = 0;
};

}  // namespace midigate
