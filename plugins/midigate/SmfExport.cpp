// CnvTo: the song-data dialect out to a plain Standard MIDI File of format 0.
#include "plugins/midigate/SmfExport.h"

#include <cstring>

#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfBytes.h"
#include "plugins/midigate/SmfImage.h"
#include "plugins/midigate/TrackSet.h"
#include "song/SmfDialect.h"

namespace midigate {

namespace {

constexpr uint8_t kMetaCuePoint = 0x07;

// Cue texts "01LSTP" + letter and the section numbers their sequencer-specific form carries.
struct SectionCode {
  char letter;
  uint8_t number;
};
constexpr SectionCode kSections[] = {{'I', 0}, {'E', 1}, {'A', 3}, {'B', 4}, {'S', 5}, {'K', 6}, {'R', 7}};

bool CueIs(const SmfEvent& event, const char* text) {
  size_t n = std::strlen(text);
  return event.length == n && std::memcmp(event.data, text, n) == 0;
}

bool IsCopiedMeta(uint8_t type) {
  return type == 0x01 || type == 0x02 || type == 0x06 || type == 0x58 || type == 0x59 || type == 0x7F;
}

bool IsCopiedDeviceCommand(uint8_t command) {
  switch (command) {
    case 1: case 3: case 5: case 7: case 8: case 9: case 11: case 12: case 16: case 32: return true;
    default: return false;
  }
}

}  // namespace

uint32_t CSmfExport::Convert(CnvParam& param) {
  SmfHeader header = ReadSmfHeader(param.src, param.srcSize);
  if (header.Format() > 1) Fail();
  CTrackSet tracks(param.src, param.srcSize, header);
  CSmfImage image(header.division);
  CSmfExport exporter(image);
  SmfEvent event;
  while (tracks.Next(event)) exporter.OnEvent(event);
  image.Finish(exporter.EndTick());
  return image.CopyTo(param);
}

void CSmfExport::OnEvent(const SmfEvent& event) {
  if (event.IsChannel()) {
    // Written with its status byte whatever the source did.
    uint8_t bytes[3] = {event.status, event.Data1(), event.Data2()};
    m_image.WriteEvent(event.tick, bytes, 1 + event.length);
  } else if (event.status == kStatusMeta) {
    OnMeta(event);
  } else if (event.status == kStatusSysEx) {
    OnSysEx(event);
  }
  // F7 escapes are dropped.
}

void CSmfExport::OnMeta(const SmfEvent& event) {
  if (event.metaType == kMetaEndOfTrack) {
    // The merged track gets one end of track, after every event of every track.
    if (event.tick > m_endTick) m_endTick = event.tick;
  } else if (event.metaType == kMetaCuePoint) {
    OnCuePoint(event);
  } else if (IsCopiedMeta(event.metaType)) {
    m_image.WriteEvent(event.tick, event.raw, event.rawLength);
  }
  // FF 51 holds the song data's microseconds per tick: the device tempo gives the real one.
}

void CSmfExport::OnCuePoint(const SmfEvent& event) {
  if (CueIs(event, "START") || CueIs(event, "STOP")) {
    m_image.WriteEvent(event.tick, event.raw, event.rawLength);
    return;
  }
  if (event.length != 7 || std::memcmp(event.data, "01LSTP", 6) != 0) return;
  for (const SectionCode& section : kSections) {
    if (event.data[6] == section.letter) {
      const uint8_t data[4] = {kDialectMakerId, 0x7B, 0x02, section.number};
      m_image.WriteMeta(event.tick, 0x7F, data, sizeof data);
      return;
    }
  }
}

void CSmfExport::OnSysEx(const SmfEvent& event) {
  // Only the maker byte and the group byte decide; the two bytes between are not looked at.
  if (event.length < 5 || event.data[0] != kDialectMakerId) return;
  uint8_t group = event.data[3];
  uint8_t command = event.data[4];
  if (group == kGroupDevice) {
    if (command == 0x00) {
      if (event.length < 7) return;  // no value byte before the closing F7
      const uint8_t message[] = {0xF0, 0x07, 0x7F, 0x7F, 0x04, 0x01, 0x00,
                                 static_cast<uint8_t>(event.data[5] & 0x7F), 0xF7};
      m_image.WriteEvent(event.tick, message, sizeof message);
    } else if (IsCopiedDeviceCommand(command)) {
      m_image.WriteEvent(event.tick, event.raw, event.rawLength);
    }
  } else if (group == kGroupSong) {
    if (command == 0x02 || command == 0x03) {
      m_image.WriteEvent(event.tick, event.raw, event.rawLength);
    } else if (command == 0x10) {
      OnDeviceTempo(event);
    }
  }
}

void CSmfExport::OnDeviceTempo(const SmfEvent& event) {
  const uint8_t* p = event.data + 5;
  const uint8_t* end = event.data + event.length;
  if (end[-1] == 0xF7) --end;
  uint32_t tempo = 0;
  if (p < end && (*p & 0x80)) {
    tempo = ReadVarLen(p, end);
  } else {
    // The whole event, F0 and its length included, is 12 bytes long in the four-group form.
    uint32_t groups = event.rawLength == 12 ? 4 : 3;
    if (static_cast<uint32_t>(end - p) < groups) Fail();
    for (uint32_t i = 0; i < groups; ++i) tempo = (tempo << 7) | (p[i] & 0x7F);
  }
  // FF 51 holds 24 bits; a larger tempo cannot be written without changing it.
  if (tempo > 0xFFFFFF) Fail();
  const uint8_t value[3] = {static_cast<uint8_t>(tempo >> 16), static_cast<uint8_t>(tempo >> 8),
                            static_cast<uint8_t>(tempo)};
  m_image.WriteMeta(event.tick, 0x51, value, sizeof value);
}

}  // namespace midigate
