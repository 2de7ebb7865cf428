// CnvTo: the song-data dialect out to a plain Standard MIDI File of format 0.
#include "plugins/midigate/SmfExport.h"

#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfImage.h"
#include "plugins/midigate/TrackSet.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"

namespace midigate {

namespace {

bool IsCopiedMeta(uint8_t type) {
  return type == kMetaText || type == kMetaCopyright || type == kMetaMarker || type == kMetaTimeSignature ||
         type == kMetaKeySignature || type == kMetaSequencerSpecific;
}

bool IsCopiedDeviceCommand(uint8_t command) {
  switch (command) {
    case kDeviceVoice:
    case kDeviceWave:
    case kDeviceStreamWave:
    case kDeviceSetupMode:
    case kDeviceStreamPair:
    case kDeviceStreamSwitch:
    case kDeviceStreamSlot:
    case kDeviceUserWave:
    case kDeviceSongValue:
    case kDeviceGroupVoices: return true;
    default: return false;
  }
}

}  // namespace

uint32_t CSmfExport::Convert(CnvParam& param) {
  SourceHeader header = ReadSourceHeader(param.src, param.srcSize);
  if (header.Format() > 1) Fail();
  CTrackSet tracks(param.src, param.srcSize, header);
  // A division of 0 is the song data's own time form, which no plain file can hold.
  std::optional<CTickRetimer> retimer;
  if (header.division == 0) retimer.emplace();
  CSmfImage image(retimer ? CTickRetimer::kDivision : header.division);
  CSmfExport exporter(image, retimer);
  SmfEvent event;
  while (tracks.Next(event)) exporter.OnEvent(event);
  image.Finish(exporter.EndTick());
  return image.CopyTo(param);
}

void CSmfExport::OnEvent(const SmfEvent& source) {
  SmfEvent event = source;
  if (m_retimer) {
    m_sourceTick = source.tick;
    event.tick = m_retimer->ToNew(source.tick);
    if (source.IsMeta(kMetaTempo)) {
      if (source.length < 3) Fail();
      m_retimer->SetTickLength(source.tick, (uint32_t{source.data[0]} << 16) | (uint32_t{source.data[1]} << 8) |
                                                source.data[2]);
    }
  }
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
  uint8_t code = CueCodeOfText(event.data, event.length);
  if (code == kCueStart || code == kCueStop) {
    m_image.WriteEvent(event.tick, event.raw, event.rawLength);
  } else if (code != kCueNone) {
    const uint8_t data[4] = {kDialectMakerId, kSequencerSectionId, kSequencerSectionKind,
                             SectionNumberOfCueCode(code)};
    m_image.WriteMeta(event.tick, kMetaSequencerSpecific, data, sizeof data);
  }
  // Section ends and any other cue text have no place in a plain file.
}

void CSmfExport::OnSysEx(const SmfEvent& event) {
  // Only the maker byte and the group byte decide; the two bytes between are not looked at.
  if (event.length < 5 || event.data[0] != kDialectMakerId) return;
  uint8_t group = event.data[3];
  uint8_t command = event.data[4];
  if (group == kGroupDevice) {
    if (command == kDeviceMasterVolume) {
      if (event.length < 7) return;  // no value byte before the closing F7
      // The universal real-time Master Volume: 7F (all devices) 04 01, LSB 0, MSB the volume.
      const uint8_t message[] = {0xF0, 0x07, 0x7F, 0x7F, 0x04, 0x01, 0x00,
                                 static_cast<uint8_t>(event.data[5] & 0x7F), 0xF7};
      m_image.WriteEvent(event.tick, message, sizeof message);
    } else if (IsCopiedDeviceCommand(command)) {
      m_image.WriteEvent(event.tick, event.raw, event.rawLength);
    }
  } else if (group == kGroupSong) {
    if (command == kSongChannelStatus || command == kSongContentsTexts) {
      m_image.WriteEvent(event.tick, event.raw, event.rawLength);
    } else if (command == kSongTempo) {
      OnDeviceTempo(event);
    }
  }
}

void CSmfExport::OnDeviceTempo(const SmfEvent& event) {
  uint32_t payloadSize = event.length - 5;
  if (event.data[event.length - 1] == 0xF7) --payloadSize;
  uint32_t tempo = 0;
  // The four-group form is told by its length field: 10, a whole event of 12 bytes.
  if (!DecodeDialectTempo(event.data + 5, payloadSize, event.length, tempo)) Fail();
  // FF 51 holds 24 bits; a larger tempo cannot be written without changing it.
  if (tempo > 0xFFFFFF) Fail();
  const uint8_t value[3] = {static_cast<uint8_t>(tempo >> 16), static_cast<uint8_t>(tempo >> 8),
                            static_cast<uint8_t>(tempo)};
  m_image.WriteMeta(event.tick, kMetaTempo, value, sizeof value);
  if (m_retimer) m_retimer->SetTempo(m_sourceTick, tempo);
}

}  // namespace midigate
