// CnvTo: the song-data dialect out to a plain Standard MIDI File of format 0.
#pragma once

#include <cstdint>

#include "app/CnvParam.h"
#include "plugins/midigate/TrackCursor.h"

namespace midigate {

class CSmfImage;

/// Merges the tracks of a song-data SMF (format 0 or 1) into one track that other sequencers
/// read: device tempo and master volume in their standard forms, section cues as
/// sequencer-specific events, and what a plain file cannot carry left out.
class CSmfExport {
 public:
  explicit CSmfExport(CSmfImage& image) : m_image(image) {}

  /// Converts the whole source into the image; throws on a source it refuses.
  static uint32_t Convert(CnvParam& param);

  void OnEvent(const SmfEvent& event);
  uint64_t EndTick() const { return m_endTick; }

 private:
  void OnMeta(const SmfEvent& event);
  void OnCuePoint(const SmfEvent& event);
  void OnSysEx(const SmfEvent& event);
  void OnDeviceTempo(const SmfEvent& event);

  CSmfImage& m_image;
  uint64_t m_endTick = 0;
};

}  // namespace midigate
