// First pass of the import.
#include "plugins/midigate/ImportScan.h"

#include <cstring>

#include "app/CnvParam.h"
#include "plugins/midigate/Failure.h"
#include "plugins/midigate/TrackSet.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/SongTextInfo.h"

namespace midigate {

namespace {

bool IsDialectMessage(const SmfEvent& event, uint8_t group, uint8_t command) {
  return event.length >= 5 && event.data[0] == kDialectMakerId && event.data[1] == kDialectModelId &&
         event.data[2] == kDialectDeviceId && event.data[3] == group && event.data[4] == command;
}

}  // namespace

bool EndsInF7(const SmfEvent& event) {
  return (event.status == kStatusSysEx || event.status == kStatusEscape) && event.length > 0 &&
         event.data[event.length - 1] == 0xF7;
}

bool IsMasterVolume(const SmfEvent& event) {
  return EndsInF7(event) && event.length == 7 && event.data[0] == 0x7F && event.data[2] == 0x04 &&
         event.data[3] == 0x01;
}

CImportScan::CImportScan(uint32_t& flags) : m_flags(flags) {
  std::memset(m_pendingMsb, kUnset, sizeof m_pendingMsb);
  std::memset(m_pendingLsb, kUnset, sizeof m_pendingLsb);
  std::memset(m_msb, kUnset, sizeof m_msb);
  std::memset(m_lsb, kUnset, sizeof m_lsb);
  std::memset(m_program, kUnset, sizeof m_program);
  std::memset(m_lastRecorded, kUnset, sizeof m_lastRecorded);
}

void CImportScan::Run(CTrackSet& tracks) {
  DispatchEvents(tracks, *this);
}

void CImportScan::OnMeta(const SmfEvent& event) {
  switch (event.metaType) {
    case kMetaText:
      if (IsQXlnText(event.data, event.length)) ReadQxInfo(event.data, event.length);
      break;
    case kMetaCopyright: {
      uint32_t kept = event.length < kInfoFieldSize - 1 ? event.length : kInfoFieldSize - 1;
      std::memcpy(m_copyright, event.data, kept);
      m_copyright[kept] = '\0';
      m_hasCopyright = true;
      break;
    }
    case kMetaTempo: {
      if (event.length < 3) Fail();
      uint32_t tempo = (uint32_t{event.data[0]} << 16) | (uint32_t{event.data[1]} << 8) | event.data[2];
      if (tempo < kMinTempo || tempo > kMaxTempo) Fail();
      if (event.tick == 0) m_tempoAtZero = true;
      break;
    }
    case kMetaTimeSignature:
      if (event.length < 2) Fail();
      if (event.tick == 0) m_timeSignatureAtZero = true;
      break;
    case kMetaSequencerSpecific:
      if (event.length >= 20 && event.data[0] == kDialectMakerId && event.data[1] == 0x02 &&
          event.data[2] == 0x00 && event.data[3] == 0x04) {
        for (int channel = 0; channel < 16; ++channel) {
          m_channelBytes[channel] = static_cast<uint8_t>((event.data[4 + channel] & 3) << 4);
        }
        m_hasChannelBytes = true;
      }
      break;
    default:
      break;
  }
}

void CImportScan::ReadQxInfo(const uint8_t* text, uint32_t n) {
  // "QXln" and its separator come before any field; anything shorter is no song information.
  if (n < 6) Fail();
  char language[2] = {0, 0};
  uint32_t pos = 6;
  if (n > 7 && text[5] != ':' && text[7] == ':') {
    language[0] = static_cast<char>(text[5]);
    language[1] = static_cast<char>(text[6]);
    pos = 8;
  }
  m_songText.Reset();
  m_songText.SetLanguage(static_cast<uint8_t>(language[0]), static_cast<uint8_t>(language[1]));
  char field[kInfoFieldSize];
  for (int k = 1; k <= CSongTextInfo::kTextCount; ++k) {
    pos += static_cast<uint32_t>(SplitInfoField(text + pos, n - pos, field));
    m_songText.SetText(k, field);
  }
  int index = QxLanguageIndex(language[0], language[1]);
  m_languageIndex = index < 0 ? kUnset : static_cast<uint8_t>(index);
  m_hasSongText = true;
}

void CImportScan::OnSysEx(const SmfEvent& event) {
  if (!EndsInF7(event)) return;
  if (IsMasterVolume(event)) {
    uint8_t value = event.data[5];
    // Every Master Volume is checked, not only the one the header takes.
    if (value >= 0x80) Fail();
    if (m_masterVolume == kUnset) m_masterVolume = value;
  } else if (IsDialectMessage(event, kGroupDevice, kDeviceVoice)) {
    m_voiceDefinitions = true;
  } else if (IsDialectMessage(event, kGroupSong, kSongChannelStatus)) {
    if (!m_channelBlock.Present()) m_channelBlock = {event.raw, event.rawLength};
  } else if (IsDialectMessage(event, kGroupSong, kSongContentsTexts)) {
    if (!m_infoBlock.Present()) m_infoBlock = {event.raw, event.rawLength};
  }
}

void CImportScan::OnChannel(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  switch (event.Kind()) {
    case 0xB0:
      if (event.Data1() == 0) m_pendingMsb[channel] = MapBankMsb(event.Data2());
      if (event.Data1() == 32) m_pendingLsb[channel] = event.Data2();
      break;
    case 0xC0:
      m_program[channel] = event.Data1();
      // A program change without a new bank select keeps the bank it had.
      if (m_pendingMsb[channel] != kUnset) m_msb[channel] = m_pendingMsb[channel];
      if (m_pendingLsb[channel] != kUnset) m_lsb[channel] = m_pendingLsb[channel];
      m_pendingMsb[channel] = kUnset;
      m_pendingLsb[channel] = kUnset;
      break;
    case 0x80:
    case 0x90:
      if (m_masterVolume == kUnset) {
        m_masterVolume = 100;
        m_flags |= CNVF_DEFAULT_VOLUME;
      }
      if (event.Kind() == 0x90 && event.Data2() > 0) OnNoteOn(channel, event.Data1());
      break;
    default:
      break;
  }
}

void CImportScan::OnNoteOn(uint8_t channel, uint8_t key) {
  VoiceUse voice;
  voice.msb = m_msb[channel] == kUnset ? 0 : m_msb[channel];
  voice.lsb = m_lsb[channel] == kUnset ? 0 : m_lsb[channel];
  voice.program = m_program[channel] == kUnset ? 0 : m_program[channel];
  if (voice.msb == kBankDrum) {
    if (key < 13 || key > 91 || voice.program == 10) return;
    voice.lsb = 0;
    if (voice.program >= 11) voice.program = 0;
    voice.key = key;
    Record(channel, voice, false);
  } else if (voice.msb == kBankMelody) {
    if (voice.lsb == 10) return;
    if (voice.lsb >= 11) voice.lsb = 0;
    Record(channel, voice, true);
  }
}

void CImportScan::Record(uint8_t channel, const VoiceUse& voice, bool melody) {
  // A full table stops recording; the conversion goes on without the later voices.
  if (m_voices.size() >= kVoiceUseCapacity) return;
  if (melody && voice.program == m_lastRecorded[channel]) return;
  if (melody) m_lastRecorded[channel] = voice.program;
  uint32_t id = (uint32_t{voice.msb} << 24) | (uint32_t{voice.lsb} << 16) | (uint32_t{voice.program} << 8) | voice.key;
  if (m_voiceKeys.insert(id).second) m_voices.push_back(voice);
}

}  // namespace midigate
