// Second pass of the import.
#include "plugins/midigate/ImportFilter.h"

#include <cstring>
#include <vector>

#include "app/CnvParam.h"
#include "plugins/midigate/ImportHeader.h"
#include "plugins/midigate/ImportScan.h"
#include "plugins/midigate/SmfBytes.h"
#include "plugins/midigate/SmfImage.h"
#include "plugins/midigate/TrackSet.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"

namespace midigate {

namespace {

// A value byte of a SysEx body; 0xFF (out of every range) when the message has ended before it.
uint8_t ValueAt(const SmfEvent& event, uint32_t index) {
  return index + 1 < event.length ? event.data[index] : 0xFF;
}

void CopyEvent(CSmfImage& image, const SmfEvent& event) {
  if (event.status == kStatusEscape) {
    image.WriteSysEx(event.tick, event.raw, event.rawLength);  // song data holds the F0 form
  } else {
    image.WriteEvent(event.tick, event.raw, event.rawLength);
  }
}

void WriteBytes(CSmfImage& image, uint64_t tick, const std::vector<uint8_t>& event) {
  image.WriteEvent(tick, event.data(), static_cast<uint32_t>(event.size()));
}

void CopyChannelEvent(CSmfImage& image, const SmfEvent& event) {
  if (event.length == 1) {
    image.WriteChannel(event.tick, event.status, event.Data1());
  } else {
    image.WriteChannel(event.tick, event.status, event.Data1(), event.Data2());
  }
}

}  // namespace

CImportFilter::CImportFilter(const CImportScan& scan, CSmfImage& image, uint16_t division, uint32_t& flags)
    : m_scan(scan), m_image(image), m_division(division), m_flags(flags) {
  // The header wrote the defaults only when the song brought none at tick 0.
  if (!scan.TempoAtZero()) m_lastTempo = kDefaultQuarterTempo;
  if (!scan.TimeSignatureAtZero()) {
    m_numerator = 4;
    m_denominator = 2;
  }
  std::memset(m_bankMsb, kUnset, sizeof m_bankMsb);
  std::memset(m_rpnMsb, kUnset, sizeof m_rpnMsb);
  std::memset(m_rpnLsb, kUnset, sizeof m_rpnLsb);
  for (int32_t& pos : m_bankLsbPos) pos = -1;
}

void CImportFilter::Run(CTrackSet& tracks) {
  DispatchEvents(tracks, *this);
  m_image.Finish(m_endTick);
}

void CImportFilter::OnMeta(const SmfEvent& event) {
  switch (event.metaType) {
    case kMetaEndOfTrack:
      // One end of track closes the merged output; it is written last.
      if (event.tick > m_endTick) m_endTick = event.tick;
      break;
    case kMetaTempo: OnTempo(event); break;
    case kMetaTimeSignature: OnTimeSignature(event); break;
    case kMetaCuePoint: OnCuePoint(event); break;
    case kMetaSequencerSpecific: OnSequencerEvent(event); break;
    case kMetaMarker:
    case kMetaKeySignature: CopyEvent(m_image, event); break;
    default: break;  // texts travel in the header blocks; the rest has no place in song data
  }
}

void CImportFilter::OnTempo(const SmfEvent& event) {
  uint32_t tempo = (uint32_t{event.data[0]} << 16) | (uint32_t{event.data[1]} << 8) | event.data[2];
  uint32_t perTick = RoundTempoPerTick(tempo, m_division);
  const uint8_t value[3] = {static_cast<uint8_t>(perTick >> 16), static_cast<uint8_t>(perTick >> 8),
                            static_cast<uint8_t>(perTick)};
  m_image.WriteMeta(event.tick, kMetaTempo, value, sizeof value);
  if (tempo != m_lastTempo) {
    WriteDeviceTempo(m_image, event.tick, tempo);
    m_lastTempo = tempo;
  }
}

void CImportFilter::OnTimeSignature(const SmfEvent& event) {
  if (event.data[0] == m_numerator && event.data[1] == m_denominator) return;
  m_numerator = event.data[0];
  m_denominator = event.data[1];
  CopyEvent(m_image, event);
}

void CImportFilter::OnCuePoint(const SmfEvent& event) {
  if (m_pendingSection && CueCodeOfText(event.data, event.length) == kCueStop) CloseSection(event.tick);
  CopyEvent(m_image, event);
}

void CImportFilter::CloseSection(uint64_t tick) {
  WriteBytes(m_image, tick, MakeCueMeta(SectionEndText(m_pendingSection)));
  m_pendingSection = kCueNone;
}

void CImportFilter::OnSequencerEvent(const SmfEvent& event) {
  if (event.length == 0 || event.data[0] != kDialectMakerId) {
    CopyEvent(m_image, event);
    return;
  }
  if (event.length >= 3 && event.data[1] == kSequencerSectionId && event.data[2] == 0x01) {
    CopyEvent(m_image, event);
    return;
  }
  if (event.length < 4 || event.data[1] != kSequencerSectionId || event.data[2] != kSequencerSectionKind) return;
  // Only the low nibble names the section here.
  uint8_t section = CueCodeOfSectionNumber(event.data[3] & 0x0F);
  if (section == kCueNone) return;
  if (m_pendingSection) CloseSection(event.tick);
  WriteBytes(m_image, event.tick, MakeCueMeta(CueText(section)));
  m_pendingSection = section;
}

void CImportFilter::OnSysEx(const SmfEvent& event) {
  if (!EndsInF7(event)) return;
  if (IsMasterVolume(event)) {
    uint8_t value = event.data[5];
    if (m_headerVolumePending && value == m_scan.MasterVolume()) {
      m_headerVolumePending = false;  // the header block already says it
      return;
    }
    WriteBytes(m_image, event.tick, MakeMasterVolumeMessage(value));
    return;
  }
  if (event.data[0] == 0x7F) {
    CopyEvent(m_image, event);
    return;
  }
  if (event.data[0] != kDialectMakerId || event.length < 6) return;
  bool keep;
  if (event.data[3] == kGroupDevice) {
    keep = KeepDeviceCommand(event);
  } else {
    uint8_t command = event.data[4];
    // The header blocks carry these.
    keep = command != kSongContentsHeader && command != kSongChannelStatus && command != kSongContentsTexts &&
           command != kSongTempo;
  }
  if (keep) CopyEvent(m_image, event);
}

bool CImportFilter::KeepDeviceCommand(const SmfEvent& event) {
  uint8_t first = ValueAt(event, 5);
  bool keep;
  switch (event.data[4]) {
    case kDeviceVoice: keep = ValueAt(event, 9) <= 3; break;  // the voice kind
    case kDeviceWave:
    case kDeviceUserWave:
    case kDeviceGroupVoices: return true;
    case kDeviceStreamWave: keep = first >= 1 && first <= 32; break;
    case kDeviceSetupMode: keep = first <= 2; break;
    case kDeviceStreamPair:
    case kDeviceStreamSwitch: keep = first <= 1; break;
    case kDeviceStreamSlot: keep = first >= 1 && first <= 32 && ValueAt(event, 6) < 3; break;
    case kDeviceSongValue: keep = first < 16; break;
    default: return false;
  }
  if (!keep) m_flags |= CNVF_SYSEX_CHANGED;
  return keep;
}

void CImportFilter::OnChannel(const SmfEvent& event) {
  switch (event.Kind()) {
    case 0xB0: OnControl(event); break;
    case 0xC0: OnProgram(event); break;
    case 0x80:
    case 0x90: OnNote(event); break;
    default: CopyChannelEvent(m_image, event); break;
  }
}

void CImportFilter::OnControl(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  uint8_t value = event.Data2();
  switch (event.Data1()) {
    case 0: {
      uint8_t bank = MapBankMsb(value);
      if (bank != 0 && bank != kBankMelody && bank != kBankDrum) {
        bank = 0;
        m_flags |= CNVF_VOICE_CHANGED;
      }
      m_bankMsb[channel] = bank;
      m_image.WriteChannel(event.tick, event.status, 0, bank);
      break;
    }
    case 32:
      m_image.WriteChannel(event.tick, event.status, 32, value);
      m_bankLsbPos[channel] = m_image.Stream().GetPosition() - 1;
      break;
    case 98:
    case 99:
      m_rpnMsb[channel] = m_rpnLsb[channel] = kUnset;
      break;
    case 101:
      if (value == 0) m_rpnMsb[channel] = 0; else m_rpnMsb[channel] = m_rpnLsb[channel] = kUnset;
      break;
    case 100:
      if (value == 0) m_rpnLsb[channel] = 0; else m_rpnMsb[channel] = m_rpnLsb[channel] = kUnset;
      break;
    case 6: OnDataEntry(event); break;
    case 38: break;
    case 55:
      if (event.tick == 0 && !m_programSeen[channel]) {
        m_image.WriteChannel(event.tick, event.status, 55, value > 16 ? 16 : value);
      } else {
        m_flags |= CNVF_SYSEX_CHANGED;
      }
      break;
    default: CopyChannelEvent(m_image, event); break;
  }
}

void CImportFilter::OnDataEntry(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  // Only the pitch-bend sensitivity reaches the chip, and only up to two octaves.
  if (m_rpnMsb[channel] != 0 || m_rpnLsb[channel] != 0 || event.Data2() > 24) return;
  m_image.WriteChannel(event.tick, event.status, 101, 0);
  m_image.WriteChannel(event.tick, event.status, 100, 0);
  m_image.WriteChannel(event.tick, event.status, 6, event.Data2());
}

void CImportFilter::OnProgram(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  uint8_t program = event.Data1();
  uint8_t bank = m_bankMsb[channel];
  if (bank == kBankDrum && program > 10) {
    program = 0;
    m_flags |= CNVF_VOICE_CHANGED;
  }
  m_image.WriteChannel(event.tick, event.status, program);
  m_programSeen[channel] = true;
  int32_t pos = m_bankLsbPos[channel];
  if (pos < 0) return;
  uint8_t& lsb = m_image.Stream().GetData()[pos];
  if ((bank == kBankMelody && lsb > 10) || (bank != kBankMelody && lsb != 0)) {
    lsb = 0;
    m_flags |= CNVF_VOICE_CHANGED;
  }
}

void CImportFilter::ClearBankLsb(uint8_t channel) {
  int32_t pos = m_bankLsbPos[channel];
  if (pos < 0) return;
  uint8_t& lsb = m_image.Stream().GetData()[pos];
  if (lsb != 0) {
    lsb = 0;
    m_flags |= CNVF_VOICE_CHANGED;
  }
}

void CImportFilter::OnNote(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  if (!m_programSeen[channel]) ClearBankLsb(channel);
  uint16_t& count = m_sounding[channel][event.Data1()];
  bool keyDown = event.Kind() == 0x90 && event.Data2() > 0;
  bool write;
  if (keyDown) {
    write = count == 0;
    if (write) ++count;
  } else {
    write = count == 1;
    if (count > 0) --count;
  }
  if (!write) {
    m_flags |= CNVF_NOTES_TIED;
    return;
  }
  CopyChannelEvent(m_image, event);
  m_headerVolumePending = false;  // the first note written uses up the header's volume
}

}  // namespace midigate
