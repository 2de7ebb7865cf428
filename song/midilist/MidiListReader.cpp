// One read of a song-data SMF into a MIDI list.
#include "song/midilist/MidiListReader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "platform/host/HostServices.h"
#include "platform/text/CodePage.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/SmfChannelStreams.h"
#include "song/SmfDialectText.h"
#include "song/SmfStreamReaders.h"
#include "song/SongTextInfo.h"
#include "song/StreamPCMSlot.h"
#include "song/TextCodec.h"
#include "song/VoiceItem.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr uint8_t kDefaultTimeSignature[4] = {0x04, 0x02, 0x18, 0x08};
constexpr uint32_t kMaxSlot = 32;
constexpr uint8_t kMaxUserWave = 32;
constexpr uint16_t kMinPcmRate = 1500;
constexpr uint16_t kMaxPcmRate = 48000;
constexpr uint8_t kLastStreamKey = 110;

std::vector<uint8_t> Unpack(const uint8_t* p, uint32_t n) {
  std::vector<uint8_t> plain(UnpackedSize7In8(n));
  if (n > 0) plain.resize(Unpack7In8(p, n, plain.data()));
  return plain;
}

bool IsSlot(uint8_t s) { return s >= 1 && s <= kMaxSlot; }

/// A chord nibble pair: high nibble at most 6, low nibble 1..7.
bool IsChordRoot(uint8_t b) { return (b >> 4) <= 6 && (b & 0x0F) >= 1 && (b & 0x0F) <= 7; }

/// FF 7F 43 7B 01 root type bass bass-type: a bass of 0x7F needs no bass type.
bool IsValidChord(const uint8_t* d, uint32_t n) {
  if (n < 6 || !IsChordRoot(d[3]) || d[4] > 34) return false;
  if (d[5] == 0x7F) return true;
  return IsChordRoot(d[5]) && n >= 7 && d[6] <= 34;
}

/// Converts a contents text of the given text code into the narrow code page.
std::string DecodeText(const uint8_t* p, uint32_t n, uint8_t code) {
  std::string_view raw(reinterpret_cast<const char*>(p), n);
  std::string out;
  if (code == kTextCodeUtf8) {
    if (!CTextCodec::Utf8ToNarrow(raw, out)) out.clear();
  } else if (code == kTextCodeUtf16) {
    std::u16string units;
    for (uint32_t i = 0; i + 1 < n; i += 2) units.push_back(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
    if (!CTextCodec::Utf16ToNarrow(units, out)) out.clear();
  } else {
    out.assign(raw);
  }
  if (out.size() > CContentsInfo::kMaxText) out.resize(CContentsInfo::kMaxText);
  return out;
}

/// Stores a text by its tag: ST..AN the song texts, VN..MI the text fields 1..8.
void StoreTaggedText(CContentsInfo& info, int tag, const std::string& text) {
  static constexpr int kFieldOfTag[] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0, 0, 7, 8};
  if (tag >= kTagST && tag <= kTagAN) {
    info.GetSongTextInfo().SetText(tag + 1, text);
  } else if (tag >= kTagVN && tag <= kTagMI && kFieldOfTag[tag] != 0) {
    info.SetText(kFieldOfTag[tag], text);
  }
}

bool IsNoteOnOrStop(const CSeqEvent& e, uint32_t tick) {
  return e.GetTick() == tick &&
         (((e.GetDataByte(0) & 0xF0) == 0x90 && e.GetDataByte(2) != 0) || e.GetExtra() == kCueStop);
}

bool IsAtOrAfter(const CSeqEvent& e, uint32_t tick) { return e.GetTick() >= tick; }

bool IsAfterTickZero(const CSeqEvent& e, uint32_t) { return e.GetTick() > 0; }

}  // namespace

CMidiListReader::CMidiListReader(CMidiList& list, uint32_t* flags) : m_list(list), m_flags(flags) {
  m_partner.fill(kNone);
  for (auto& v : m_slotValues) v = {kNone, kNone};
}

void CMidiListReader::AddFlags(uint32_t bits) {
  if (m_flags) *m_flags |= bits;
}

void CMidiListReader::Fail(uint32_t code) {
  if (m_flags) *m_flags = code;
  throw kSmfMalformed;
}

void CMidiListReader::Read(const uint8_t* image, uint32_t size) {
  m_kind = CMidiList::GetOutputKind();
  m_maker = platform::settings().GetMakerID();
  m_clamp = m_kind == 1 || m_kind == 6;
  m_phrase = m_kind == 4;
  std::vector<uint8_t> rewritten;
  const uint8_t* data = image;
  uint32_t dataSize = size;
  if (m_phrase && image) {
    try {
      CSmfChannelStreams split;
      split.SplitChannels(image, size);
      rewritten.resize(split.GetStreamSize());
      split.CopyStream(rewritten.data(), split.GetStreamSize());
      data = rewritten.data();
      dataSize = static_cast<uint32_t>(rewritten.size());
    } catch (int) {
      // Not a song the split applies to: the input is read as it is.
    }
  }
  if (!data) throw kSmfMalformed;
  m_walk.Open(data, dataSize);
  // A division of 0 is the converter's own form: ticks of the time base, FF 51 giving the
  // microseconds of one tick. Nothing here divides by it.
  m_division = m_walk.GetHeader().division;
  m_tracks.resize(m_walk.GetTrackCount());
  FirstPass();
  CheckCues();
  AddDefaults();
  m_walk.Rewind();
  SecondPass();
  RepairStartStop();
  Tidy();
  CMemStream input(const_cast<uint8_t*>(image), static_cast<int32_t>(size), false);
  m_list.AnalyseDensity(input, m_list.m_densWidth);
}

// ---- First pass ----------------------------------------------------------------------------

void CMidiListReader::FirstPass() {
  m_walk.Walk([this](const SmfEvent& e, CSmfTrackCursor& cursor) { CountEvent(e, cursor); });
}

void CMidiListReader::CountEvent(const SmfEvent& e, CSmfTrackCursor& cursor) {
  if (e.IsSysEx()) {
    CountDeviceMessage(e);
    return;
  }
  if (!e.IsMeta()) return;
  switch (e.metaType) {
    case kMetaCuePoint: {
      if (m_phrase) break;
      uint8_t code = CueCodeOfText(e.data, e.dataSize);
      if (code == kCueStart) {
        ++m_startCount;
        m_lastStartTick = e.tick;
      } else if (code == kCueStop) {
        ++m_stopCount;
        m_lastStopTick = e.tick;
      } else if (code >= kCueFirstSection && code <= kCueLastSection) {
        ++m_sectionCount[code];
      }
      break;
    }
    case kMetaTempo:
      if (!m_tempoFound && e.dataSize >= 3) {
        m_tempoFound = true;
        m_firstTempo = (uint32_t{e.data[0]} << 16) | (uint32_t{e.data[1]} << 8) | e.data[2];
      }
      break;
    case kMetaTimeSignature:
      if (e.track == 0 && e.tick == 0) m_timeSignatureAtZero = true;
      break;
    case kMetaSequencerSpecific:
      if (e.dataSize == 6 && e.data[0] == kDialectMakerId && e.data[1] == 0x02 && e.data[2] == 0x01 &&
          e.data[3] == 0x02 && e.data[5] == 0x01) {
        m_rhythmChannel = e.data[4] & 0x0F;
      }
      break;
    case kMetaEndOfTrack:
      cursor.End();
      break;
    default:
      break;
  }
}

void CMidiListReader::CountDeviceMessage(const SmfEvent& e) {
  DialectMessage m;
  if (!ParseDialectMessage(e.data, e.dataSize, m) || m.device != kDialectDeviceId) return;
  if (m.group == kGroupSong && m.command == kSongTempo && e.tick == 0) m_deviceTempoAtZero = true;
  if (m.group != kGroupDevice) return;
  const uint8_t* p = m.payload;
  if (m.command == kDeviceStreamPair && m.payloadSize >= 3 && IsSlot(p[1]) && IsSlot(p[2])) {
    if (p[0] == 0 && (p[1] == p[2] + 1 || p[2] == p[1] + 1)) {
      m_partner[p[1]] = p[2];
      m_partner[p[2]] = p[1];
    } else if (p[0] == 1) {
      m_partner[p[1]] = kNone;
      m_partner[p[2]] = kNone;
    }
  } else if (m.command == kDeviceStreamSlot && m.payloadSize >= 3 && IsSlot(p[0])) {
    m_slotValues[p[0]] = {p[1], p[2]};
  }
}

void CMidiListReader::CheckCues() {
  if (m_phrase) return;
  if ((m_stopCount > 0) != (m_startCount > 0)) AddFlags(CMidiList::kFlagCueSupplied);
  if (m_startCount > 1 || m_stopCount > 1) AddFlags(CMidiList::kFlagCueRepeated);
  if (m_startCount > 0 && m_stopCount > 0 && m_lastStopTick < m_lastStartTick) {
    Fail(CMidiList::kFailStopBeforeStart);
  }
}

void CMidiListReader::AddDefaults() {
  if (!m_deviceTempoAtZero) {
    std::vector<uint8_t> tempo = MakeTempoMessage(kDefaultQuarterTempo);
    AddSong(0, tempo.data(), static_cast<uint32_t>(tempo.size()));
    m_lastDeviceTempo = kDefaultQuarterTempo;
  }
  if (!m_timeSignatureAtZero) {
    AddSong(0, kDefaultTimeSignatureMeta, sizeof kDefaultTimeSignatureMeta);
    std::copy(std::begin(kDefaultTimeSignature), std::end(kDefaultTimeSignature),
              m_lastTimeSignature.begin());
    m_hasTimeSignature = true;
  }
  if (m_clamp && m_tempoFound) m_firstTempo = ClampTickTempo(m_firstTempo, m_division, nullptr);
}

// ---- Second pass ---------------------------------------------------------------------------

void CMidiListReader::SecondPass() {
  m_walk.Walk([this](const SmfEvent& e, CSmfTrackCursor& cursor) {
    HandleEvent(e, cursor);
    if (!cursor.IsActive()) EndTrack(e.track, e.tick);
  });
}

void CMidiListReader::HandleEvent(const SmfEvent& e, CSmfTrackCursor& cursor) {
  if (e.IsMeta()) {
    HandleMeta(e, cursor);
  } else if (e.IsSysEx()) {
    HandleSysEx(e);
  } else if (e.IsChannel()) {
    HandleChannel(e);
  }
  // F7 escapes carry nothing of the song.
}

void CMidiListReader::EndTrack(uint32_t track, uint32_t tick) {
  m_lastTrackEnd = std::max(m_lastTrackEnd, tick);
  TrackNotes* notes = track < m_tracks.size() ? m_tracks[track].get() : nullptr;
  if (!notes || notes->count == 0) return;
  for (auto& queue : notes->notes) {
    for (CSeqEvent* e : queue) e->SetEndTick(tick);
    queue.clear();
  }
  notes->count = 0;
}

CSeqEvent* CMidiListReader::AddSong(uint32_t tick, const uint8_t* bytes, uint32_t n, uint32_t cue) {
  auto event = std::make_unique<CSeqEvent>(tick, n, bytes, tick, cue);
  CSeqEvent* raw = event.get();
  m_list.AddSongEvent(std::move(event));
  return raw;
}

CSeqEvent* CMidiListReader::AddSetup(uint32_t tick, const uint8_t* bytes, uint32_t n) {
  auto event = std::make_unique<CSeqEvent>(tick, n, bytes, tick, 0);
  CSeqEvent* raw = event.get();
  m_list.AddSetupEvent(std::move(event));
  return raw;
}

// ---- Meta events ---------------------------------------------------------------------------

void CMidiListReader::HandleMeta(const SmfEvent& e, CSmfTrackCursor& cursor) {
  CContentsInfo& info = m_list.m_info;
  switch (e.metaType) {
    case kMetaText:
      if (IsQXlnText(e.data, e.dataSize)) {
        CSongTextInfo text(e.data, e.dataSize);
        info.SetSongTextInfo(text);
        int language = QxLanguageIndex(static_cast<char>(text.GetLangByte(0)),
                                       static_cast<char>(text.GetLangByte(1)));
        if (language >= 0) info.SetCodeType(static_cast<uint8_t>(language));
        m_songTextRead = true;
      }
      break;
    case kMetaCopyright:
      info.SetText4(std::string_view(reinterpret_cast<const char*>(e.data), e.dataSize));
      info.SetFlagC(false);
      info.SetOptionByte1(1);
      break;
    case kMetaMarker:
      AddSong(e.tick, e.stored, e.storedSize);
      break;
    case kMetaCuePoint:
      HandleCue(e);
      break;
    case kMetaEndOfTrack:
      AddSong(e.tick, e.stored, e.storedSize);
      cursor.End();
      break;
    case kMetaTempo:
      HandleTickTempo(e);
      break;
    case kMetaTimeSignature:
      if (IsValidTimeSignature(e.data, e.dataSize) &&
          !(m_hasTimeSignature && std::equal(m_lastTimeSignature.begin(), m_lastTimeSignature.end(), e.data))) {
        std::copy(e.data, e.data + 4, m_lastTimeSignature.begin());
        m_hasTimeSignature = true;
        if (e.tick == 0) m_list.m_timeSignature = e.data[0];
        AddSong(e.tick, e.stored, e.storedSize);
      }
      break;
    case kMetaKeySignature:
      if (IsValidKeySignature(e.data, e.dataSize)) AddSong(e.tick, e.stored, e.storedSize);
      break;
    case kMetaSequencerSpecific:
      HandleSequencerMeta(e);
      break;
    default:
      break;
  }
}

void CMidiListReader::HandleCue(const SmfEvent& e) {
  if (m_phrase) return;
  uint8_t code = CueCodeOfText(e.data, e.dataSize);
  // Only the last mark of each kind counts; earlier ones and section ends are dropped.
  if (code == kCueStart) {
    if (++m_startSeen == m_startCount) {
      m_startTick = e.tick;
      AddSong(e.tick, e.stored, e.storedSize, code);
    }
  } else if (code == kCueStop) {
    if (++m_stopSeen == m_stopCount) AddSong(e.tick, e.stored, e.storedSize, code);
  } else if (code >= kCueFirstSection && code <= kCueLastSection) {
    if (++m_sectionSeen[code] == m_sectionCount[code]) AddSong(e.tick, e.stored, e.storedSize, code);
  } else if (SectionEndCodeOfText(e.data, e.dataSize) == 0) {
    AddSong(e.tick, e.stored, e.storedSize);
  }
}

void CMidiListReader::HandleTickTempo(const SmfEvent& e) {
  if (e.dataSize < 3 || !m_clamp) {
    AddSong(e.tick, e.stored, e.storedSize);
    return;
  }
  uint32_t value = (uint32_t{e.data[0]} << 16) | (uint32_t{e.data[1]} << 8) | e.data[2];
  bool clamped = false;
  value = ClampTickTempo(value, m_division, &clamped);
  if (!clamped) {
    AddSong(e.tick, e.stored, e.storedSize);
    return;
  }
  AddFlags(CMidiList::kFlagTempoClamped);
  const uint8_t bytes[6] = {0xFF, kMetaTempo, 0x03, static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  AddSong(e.tick, bytes, sizeof bytes);
}

void CMidiListReader::HandleSequencerMeta(const SmfEvent& e) {
  const uint8_t* d = e.data;
  if (e.dataSize < 3 || d[0] != kDialectMakerId || d[1] != kSequencerSectionId) return;
  if (d[2] == kSequencerSectionKind) {
    uint8_t code = CueCodeOfSequencerMeta(d, e.dataSize);
    if (code == 0 || m_phrase) return;
    std::vector<uint8_t> cue = MakeCueMeta(CueText(code));
    AddSong(e.tick, cue.data(), static_cast<uint32_t>(cue.size()), code);
  } else if (d[2] == 0x01 && IsValidChord(d, e.dataSize)) {
    AddSong(e.tick, e.stored, e.storedSize);
  }
}

// ---- System-exclusive messages -------------------------------------------------------------

void CMidiListReader::HandleSysEx(const SmfEvent& e) {
  DialectMessage m;
  if (!ParseDialectMessage(e.data, e.dataSize, m)) {
    AddSong(e.tick, e.stored, e.storedSize);
    return;
  }
  m_list.m_eventCount += e.dataSize + 1;
  if (m.device == kDialectVoiceDeviceId) {
    HandleVoice(m);
  } else if (m.group == kGroupSong) {
    HandleSongRecord(e, m);
  } else if (m.group == kGroupDevice) {
    HandleDevice(e, m);
  } else {
    AddSong(e.tick, e.stored, e.storedSize);
  }
}

void CMidiListReader::HandleSongRecord(const SmfEvent& e, const DialectMessage& m) {
  CContentsInfo& info = m_list.m_info;
  switch (m.command) {
    case kSongContentsHeader:
      HandleContentsHeader(Unpack(m.payload, m.payloadSize));
      break;
    case kSongChannelStatus: {
      std::vector<uint8_t> status = Unpack(m.payload, m.payloadSize);
      for (size_t ch = 0; ch < status.size() && ch < kChannels; ++ch) {
        m_list.m_setup.SetStatus(static_cast<int>(ch), status[ch]);
      }
      break;
    }
    case kSongContentsTexts:
      ReadTextChunks(Unpack(m.payload, m.payloadSize));
      break;
    case kSongLastText: {
      std::vector<uint8_t> text = Unpack(m.payload, m.payloadSize);
      info.SetText9(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
      break;
    }
    case kSongTempo:
      HandleDeviceTempo(e, m);
      break;
    default:
      break;
  }
}

void CMidiListReader::HandleContentsHeader(const std::vector<uint8_t>& plain) {
  if (plain.size() < 5) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  CContentsInfo& info = m_list.m_info;
  info.SetContentsClass(plain[0]);
  info.SetContentsTypeByte(plain[1]);
  info.SetCodeType(plain[2]);
  info.SetOptionByte1(plain[3]);
  info.SetOptionByte2(plain[4]);
  if (m_clamp && plain[1] != 1 && plain[1] != 2) {
    info.SetContentsClass(0);
    info.SetContentsTypeByte(1);
    info.SetCodeType(0);
    info.SetOptionByte1(4);
    info.SetOptionByte2(0);
  }
  m_list.m_contentsHeader = true;
  if (!m_songTextRead) ReadContentsItems(plain.data() + 5, static_cast<uint32_t>(plain.size() - 5));
}

void CMidiListReader::ReadContentsItems(const uint8_t* p, uint32_t n) {
  auto lead = platform::CodePage::Ansi();
  uint32_t i = 0;
  while (i + 3 <= n) {
    int tag = LookupInfoTag(static_cast<char>(p[i]), static_cast<char>(p[i + 1]));
    if (p[i + 2] != ':') break;
    i += 3;
    std::string text;
    while (i < n && p[i] != ',') {
      if (lead->IsLeadByte(p[i]) && i + 1 < n) {
        // The second byte of a double-byte character is never a separator.
        text.push_back(static_cast<char>(p[i]));
        text.push_back(static_cast<char>(p[i + 1]));
        i += 2;
        continue;
      }
      if (p[i] == '\\' && i + 1 < n && (p[i + 1] == ',' || p[i + 1] == '\\')) ++i;
      text.push_back(static_cast<char>(p[i++]));
    }
    ++i;  // the ','
    if (text.size() > CContentsInfo::kMaxText) text.resize(CContentsInfo::kMaxText);
    if (tag == kTagCD && m_clamp && text.size() > 8) text.resize(8);
    StoreTaggedText(m_list.m_info, tag, text);
  }
}

void CMidiListReader::ReadTextChunks(const std::vector<uint8_t>& plain) {
  const uint8_t* p = plain.data();
  uint32_t n = static_cast<uint32_t>(plain.size());
  uint32_t pos = 0;
  bool first = true;
  while (n - pos >= 8) {
    if (std::memcmp(p + pos, kContentsChunkId, 3) != 0) break;
    uint8_t code = p[pos + 3];
    uint32_t length = GetBE32(p + pos + 4);
    pos += 8;
    // A chunk never runs past the message.
    if (length > n - pos) break;
    if (first) {
      m_list.m_info.SetTextCodeType(code);
      m_list.m_textCode = code;
      first = false;
    }
    ReadTextItems(p + pos, length);
    pos += length;
  }
  m_songTextRead = true;
}

void CMidiListReader::ReadTextItems(const uint8_t* p, uint32_t n) {
  CContentsInfo& info = m_list.m_info;
  uint8_t code = info.GetTextCodeType();
  uint32_t pos = 0;
  while (n - pos >= 4) {
    int tag = LookupInfoTag(static_cast<char>(p[pos]), static_cast<char>(p[pos + 1]));
    uint32_t length = GetBE16(p + pos + 2);
    pos += 4;
    if (length > n - pos) break;
    const uint8_t* text = p + pos;
    pos += length;
    if (tag < 0 || IsSkippedContentsTag(tag)) continue;
    if (tag == kTagES) {
      if (length >= 1) info.SetOptionByte3(text[0]);
    } else if (tag == kTagDV) {
      if (length >= 1) info.SetOptionByte4(text[0]);
    } else {
      StoreTaggedText(info, tag, DecodeText(text, length, code));
    }
  }
}

void CMidiListReader::HandleDeviceTempo(const SmfEvent& e, const DialectMessage& m) {
  uint32_t value = 0;
  if (!DecodeDialectTempo(m.payload, m.payloadSize, e.dataSize, value)) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  if (m_clamp) {
    bool clamped = false;
    value = ClampQuarterTempo(value, &clamped);
    if (clamped) AddFlags(CMidiList::kFlagTempoClamped);
  }
  if (value == m_lastDeviceTempo) return;
  m_lastDeviceTempo = value;
  std::vector<uint8_t> tempo = MakeTempoMessage(value);
  AddSong(e.tick, tempo.data(), static_cast<uint32_t>(tempo.size()));
}

void CMidiListReader::HandleDevice(const SmfEvent& e, const DialectMessage& m) {
  const uint8_t* p = m.payload;
  switch (m.command) {
    case kDeviceMasterVolume:
      HandleMasterVolume(e, m);
      break;
    case kDeviceVoice:
      HandleVoice(m);
      break;
    case kDeviceWave:
      HandleWave(m);
      break;
    case kDeviceStreamWave:
      HandleStreamWave(m);
      break;
    case kDeviceSetupMode:
      if (m.payloadSize < 1 || p[0] > 2) {
        AddFlags(CMidiList::kFlagSettingSkipped);
      } else {
        m_list.m_setup.SetStreamMode(p[0]);
      }
      break;
    case kDeviceStreamPair:
    case kDeviceStreamSwitch:
    case kDeviceStreamSlot:
      HandleStreamSetting(e, m);
      break;
    case kDeviceUserWave:
      HandleUserWave(m);
      break;
    case kDeviceSongValue:
      if (m.payloadSize < 1 || p[0] > 15) {
        AddFlags(CMidiList::kFlagSettingSkipped);
      } else {
        AddSong(e.tick, e.stored, e.storedSize);
      }
      break;
    case kDeviceGroupVoices:
      AddSong(e.tick, e.stored, e.storedSize);
      break;
    default:
      break;
  }
}

void CMidiListReader::HandleMasterVolume(const SmfEvent& e, const DialectMessage& m) {
  if (m.payloadSize < 1) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  uint8_t volume = m.payload[0];
  if (volume >= 0x80 && (!m_volumeSeen || !m_noteSeen)) Fail(CMidiList::kFailVolume);
  if (!m_volumeSeen) {
    m_list.m_setup.SetMasterVolume(volume);
    m_volumeSeen = true;
  }
  AddSong(e.tick, e.stored, e.storedSize);
}

void CMidiListReader::HandleVoice(const DialectMessage& m) {
  if (++m_voiceCount > kMaxVoiceDefinitions) Fail(CMidiList::kFailTooManyVoices);
  if (m.payloadSize < 5) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  const uint8_t* p = m.payload;
  if (p[0] != kBankMelody && p[0] != kBankDrum) return;
  uint8_t kind = p[4];
  if (kind > 3) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  std::vector<uint8_t> plain = Unpack(p + 5, m.payloadSize - 5);
  auto item = std::make_unique<CVoiceItem>();
  item->SetBankMsb(p[0]);
  item->SetBankLsb(p[1]);
  item->SetProgram(p[2]);
  item->SetNote(p[3]);
  item->SetPcmFlag(kind & 1);
  item->SetExtFlag((kind >> 1) & 1);
  size_t pos = 0;
  // Blocks shorter than their size leave the rest zero; longer ones are cut.
  auto takeBlock = [&](uint32_t size) {
    std::vector<uint8_t> block(size, 0);
    size_t n = std::min<size_t>(size, plain.size() - pos);
    std::copy_n(plain.begin() + static_cast<std::ptrdiff_t>(pos), n, block.begin());
    pos += n;
    return block;
  };
  if (kind & 2) item->SetExtBlock(takeBlock(CVoiceItem::kExtSize).data());
  if (kind & 1) {
    item->SetPcmVoice(takeBlock(CVoiceItem::kPcmSize).data());
    uint16_t rate = item->GetPcmFs();
    if (rate < kMinPcmRate || rate > kMaxPcmRate) {
      item->SetPcmFs(rate < kMinPcmRate ? kMinPcmRate : kMaxPcmRate);
      AddFlags(CMidiList::kFlagRateClamped);
    }
  } else {
    item->SetFmVoice(takeBlock(CVoiceItem::kFmSize).data());
  }
  m_list.m_setup.SetVoiceItem(m_nextVoiceSlot++, item.release());
}

void CMidiListReader::HandleWave(const DialectMessage& m) {
  if (m.payloadSize < 2 || m.payload[0] >= CMidiList::kWaveCount) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  uint8_t id = m.payload[0];
  uint8_t flags = m.payload[1];
  CMidiList::WaveEntry& wave = m_list.m_waves[id];
  if (wave.complete) {
    wave.data.clear();
    wave.complete = false;
  }
  std::vector<uint8_t> plain = Unpack(m.payload + 2, m.payloadSize - 2);
  wave.data.insert(wave.data.end(), plain.begin(), plain.end());
  if (flags & kBlockContinues) return;
  wave.complete = true;
  CSongSetup& setup = m_list.m_setup;
  if (!setup.FindPcmVoiceByWave(id)) return;
  setup.SetWaveSamplesForId(id, wave.data.data(), static_cast<uint32_t>(wave.data.size()));
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    CVoiceItem* item = setup.GetVoiceItem(i);
    if (!item || !item->IsPcm() || item->GetRM() != 0 || item->GetWaveId() != id) continue;
    uint8_t header = item->GetWaveHeaderFlags();
    item->SetWaveHeaderFlags(static_cast<uint8_t>((header & ~kBlockFormatMask) | (flags & kBlockFormatMask)));
  }
}

void CMidiListReader::HandleStreamWave(const DialectMessage& m) {
  if (m.payloadSize < 2 || !IsSlot(m.payload[0])) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  uint8_t slot = m.payload[0];
  uint8_t flags = m.payload[1];
  std::vector<uint8_t> plain = Unpack(m.payload + 2, m.payloadSize - 2);
  // Every block begins with the slot's 16-bit rate.
  if (plain.size() < 2) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  CMidiList::StreamEntry& stream = m_list.m_streams[slot];
  if (!stream.started) {
    stream.data.clear();
    stream.rate = GetBE16(plain.data());
    stream.started = true;
  }
  stream.data.insert(stream.data.end(), plain.begin() + 2, plain.end());
  if (!(flags & kBlockContinues)) FinishStreamWave(slot, flags);
}

void CMidiListReader::FinishStreamWave(int slot, uint8_t flags) {
  CMidiList::StreamEntry& stream = m_list.m_streams[static_cast<size_t>(slot)];
  stream.started = false;
  auto object = std::make_unique<CStreamPCMSlot>();
  uint8_t format = flags & kBlockFormatMask;
  object->SetRate(stream.rate);
  object->SetWaveData(stream.data.data(), static_cast<uint32_t>(stream.data.size()));
  object->SetFormat(format);
  object->SetFlag((flags >> 2) & 1);
  object->SetId(slot);
  uint8_t partner = m_partner[static_cast<size_t>(slot)];
  if (partner != kNone) {
    const auto& values = m_slotValues[partner];
    bool stereo = (values[0] == 0 && values[1] == 127) || (values[0] == 127 && values[1] == 0);
    if (stereo) object->SetIndex(partner);
  }
  m_list.m_setup.SetStreamPcmSlot(slot, object.release());

  // The "Mwa" wave chunk of the slot, read back as the VELK writer will want it.
  uint32_t dataSize = static_cast<uint32_t>(stream.data.size());
  CMemStream image;
  const uint8_t id[4] = {'M', 'w', 'a', static_cast<uint8_t>(slot)};
  image.Write(id, 4);
  image.WriteBE32(dataSize + 3);
  image.WriteByte(format == 0 ? 0x20 : format == 2 ? 0x11 : 0x01);
  image.WriteBE16(stream.rate);
  if (dataSize > 0) image.Write(stream.data.data(), dataSize);
  image.SeekToBegin();
  m_list.m_streamSlots.AddOwned(std::make_unique<CWaveDataChunk>(image));
}

void CMidiListReader::HandleUserWave(const DialectMessage& m) {
  if (m.payloadSize < 1 || m.payload[0] >= kMaxUserWave) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  std::vector<uint8_t> plain = Unpack(m.payload + 1, m.payloadSize - 1);
  auto block = std::make_unique<CNamedBlock>();
  if (!block->SetData(plain.data(), static_cast<uint32_t>(plain.size()))) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  m_list.m_setup.SetUserWave(m.payload[0], block.release());
}

void CMidiListReader::HandleStreamSetting(const SmfEvent& e, const DialectMessage& m) {
  const uint8_t* p = m.payload;
  bool valid = false;
  switch (m.command) {
    case kDeviceStreamPair:
      valid = m.payloadSize >= 3 && p[0] <= 1 && IsSlot(p[1]) && IsSlot(p[2]);
      break;
    case kDeviceStreamSwitch:
      valid = m.payloadSize >= 1 && p[0] <= 1;
      break;
    default:
      valid = m.payloadSize >= 3 && IsSlot(p[0]) && p[1] <= 2;
      if (valid) m_list.m_setup.SetSlotSetting(p[0], p[1], p[2]);
      break;
  }
  if (!valid) {
    AddFlags(CMidiList::kFlagSettingSkipped);
    return;
  }
  m_streamSetting = true;
  AddSetup(e.tick, e.stored, e.storedSize);
}

// ---- Channel messages ----------------------------------------------------------------------

void CMidiListReader::HandleChannel(const SmfEvent& e) {
  m_list.m_eventCount += e.ChannelSize();
  switch (e.Kind()) {
    case 0x90:
      if (e.Data2() != 0) {
        HandleNoteOn(e);
      } else {
        HandleNoteOff(e);
      }
      break;
    case 0x80:
      HandleNoteOff(e);
      break;
    case 0xB0:
      HandleControl(e, e.Data2());
      break;
    case 0xC0:
      HandleProgram(e);
      break;
    default: {
      const uint8_t bytes[3] = {e.status, e.Data1(), e.Data2()};
      AddSong(e.tick, bytes, e.ChannelSize());
      break;
    }
  }
}

uint8_t CMidiListReader::FixBankMsb(uint8_t channel, uint8_t value) {
  uint8_t fixed = value;
  if (value == 0x7A) fixed = kBankMelody;
  if (value == 0x7B) fixed = kBankDrum;
  if (fixed != 0 && fixed != kBankMelody && fixed != kBankDrum) {
    fixed = 0;
    AddFlags(CMidiList::kFlagVoiceChanged);
  }
  if (m_kind == 4 && channel == 9 && fixed != kBankMelody && fixed != kBankDrum) {
    fixed = kBankDrum;
    AddFlags(CMidiList::kFlagVoiceChanged);
  }
  return fixed;
}

void CMidiListReader::HandleControl(const SmfEvent& e, uint8_t value) {
  uint8_t ch = e.Channel();
  uint8_t control = e.Data1();
  CSongSetup& setup = m_list.m_setup;
  ChannelState& state = m_channels[ch];
  if (control == 0) value = FixBankMsb(ch, value);
  const uint8_t bytes[3] = {e.status, control, value};
  CSeqEvent* event = AddSong(e.tick, bytes, 3);
  switch (control) {
    case 0:
      state.msb = value;
      state.bankEvent = event;
      if (setup.GetBankMsb(ch) == CSongSetup::kUnset) setup.SetBankMsb(ch, value);
      break;
    case 32:
      state.lsb = value;
      if (setup.GetBankLsb(ch) == CSongSetup::kUnset) setup.SetBankLsb(ch, value);
      break;
    case 7:
      if (setup.GetVolume(ch) == CSongSetup::kUnset) setup.SetVolume(ch, value);
      break;
    case 10:
      if (state.streamKeys) {
        // Kept for the stream player only when a trigger note follows on the channel.
        state.pendingPan = AddSetup(e.tick, bytes, 3);
        state.pendingPan->SetDropped(true);
      }
      break;
    case 56:
      if (value != 0) setup.SetNoVolumeEvent(ch, 1);
      break;
    default:
      break;
  }
}

void CMidiListReader::SetBankEvent(uint8_t channel, uint8_t msb) {
  ChannelState& state = m_channels[channel];
  if (state.bankEvent) {
    const uint8_t bytes[3] = {static_cast<uint8_t>(0xB0 | channel), 0, msb};
    *state.bankEvent = CSeqEvent(state.bankEvent->GetTick(), 3, bytes, state.bankEvent->GetTick(), 0);
  }
  state.msb = msb;
  AddFlags(CMidiList::kFlagVoiceChanged);
}

void CMidiListReader::EnsureBankSelect(uint8_t channel, uint32_t tick, uint8_t msb) {
  ChannelState& state = m_channels[channel];
  if (!state.bankEvent) {
    const uint8_t bytes[3] = {static_cast<uint8_t>(0xB0 | channel), 0, msb};
    state.bankEvent = AddSong(tick, bytes, 3);
    state.msb = msb;
    AddFlags(CMidiList::kFlagVoiceChanged);
  } else if (state.msb != msb && channel == 9) {
    SetBankEvent(channel, msb);
  }
}

void CMidiListReader::HandleProgram(const SmfEvent& e) {
  uint8_t ch = e.Channel();
  uint8_t program = e.Data1();
  ChannelState& state = m_channels[ch];
  bool maker4 = m_kind == 1 && m_maker == 4;
  if (maker4) {
    if (state.msb == kBankMelody && state.lsb == 10) SetBankEvent(ch, 0);
    EnsureBankSelect(ch, e.tick, ch == 9 ? kBankDrum : kBankMelody);
    if (ch == 9 && program != 0) {
      program = 0;
      AddFlags(CMidiList::kFlagVoiceChanged);
    }
  } else if (m_kind == 4 && ch == 9 && !state.bankEvent) {
    EnsureBankSelect(ch, e.tick, kBankDrum);
  }
  if (state.msb == kBankDrum) {
    if (program > (maker4 ? 9 : 10)) {
      program = 0;
      AddFlags(CMidiList::kFlagVoiceChanged);
    }
    state.streamKeys = ch != m_rhythmChannel;
  } else {
    state.streamKeys = false;
  }
  CSongSetup& setup = m_list.m_setup;
  if (setup.GetProgram(ch) == CSongSetup::kUnset) setup.SetProgram(ch, program);
  const uint8_t bytes[2] = {e.status, program};
  AddSong(e.tick, bytes, 2);
}

void CMidiListReader::HandleNoteOn(const SmfEvent& e) {
  uint8_t ch = e.Channel();
  uint8_t key = e.Data1();
  ChannelState& state = m_channels[ch];
  m_noteSeen = true;
  const uint8_t bytes[3] = {e.status, key, e.Data2()};
  CSeqEvent* event = nullptr;
  if (state.streamKeys) {
    if (key > kLastStreamKey) return;
    if (key <= 12 || key >= 92) {
      event = AddSetup(e.tick, bytes, 3);
      m_streamSetting = true;
      if (state.pendingPan) state.pendingPan->SetDropped(false);
      state.pendingPan = nullptr;
    }
  }
  if (!event) event = AddSong(e.tick, bytes, 3);
  auto& notes = m_tracks[e.track];
  if (!notes) notes = std::make_unique<TrackNotes>();
  notes->notes[ch * kKeys + key].push_back(event);
  ++notes->count;
}

void CMidiListReader::HandleNoteOff(const SmfEvent& e) {
  TrackNotes* notes = m_tracks[e.track].get();
  if (!notes) return;
  auto& queue = notes->notes[e.Channel() * kKeys + e.Data1()];
  if (queue.empty()) return;
  queue.front()->SetEndTick(e.tick);
  queue.erase(queue.begin());
  --notes->count;
}

// ---- End of the read -----------------------------------------------------------------------

void CMidiListReader::InsertBefore(CSeqEvent* event, bool (*isPlace)(const CSeqEvent&, uint32_t),
                                   uint32_t tick) {
  std::unique_ptr<CSeqEvent> owned(event);
  CSeqEventList& list = m_list.m_songList;
  CSeqEventIter it(list);
  CSeqEvent* e = nullptr;
  int32_t position = 1;
  while (it.Next(e) && !isPlace(*e, tick)) ++position;
  list.InsertAt(position, CSeqEventList::ToValue(owned.release()));
}

void CMidiListReader::RepairStartStop() {
  if (m_stopCount > 0 && m_startCount == 0) {
    std::vector<uint8_t> cue = MakeCueMeta(kCueStartText);
    auto* start = new CSeqEvent(0, static_cast<uint32_t>(cue.size()), cue.data(), 0, kCueStart);
    // Before the first note or STOP at tick 0, else after the events of tick 0.
    bool placed = false;
    CSeqEventIter it(m_list.m_songList);
    CSeqEvent* e = nullptr;
    while (it.Next(e) && e->GetTick() == 0) placed = placed || IsNoteOnOrStop(*e, 0);
    InsertBefore(start, placed ? IsNoteOnOrStop : IsAfterTickZero, 0);
  } else if (m_startCount > 0 && m_stopCount == 0) {
    uint32_t tick = std::max(m_startTick, m_lastTrackEnd);
    std::vector<uint8_t> cue = MakeCueMeta(kCueStopText);
    auto* stop = new CSeqEvent(tick, static_cast<uint32_t>(cue.size()), cue.data(), tick, kCueStop);
    InsertBefore(stop, IsAtOrAfter, tick);
  }
}

void CMidiListReader::Tidy() {
  CSeqEventList& setupList = m_list.m_setupList;
  std::vector<CSeqEvent*> dropped;
  CSeqEventIter it(setupList);
  CSeqEvent* e = nullptr;
  while (it.Next(e)) {
    if (e->IsDropped() || !m_streamSetting) dropped.push_back(e);
  }
  if (!m_streamSetting) {
    setupList.DeleteAll();
  } else {
    for (CSeqEvent* d : dropped) {
      setupList.RemoveItem(d);
      delete d;
    }
  }
  m_list.m_division = m_division;
  m_list.SetTempo(m_tempoFound ? m_firstTempo : kDefaultTickTempo);
  m_list.m_quarterRate = CMidiList::kQuarterRate;
  CSongSetup& setup = m_list.m_setup;
  if (!m_volumeSeen) setup.SetMasterVolume(100);
  setup.SetTimeBase(m_division);
  for (int ch = 0; ch < kChannels; ++ch) {
    if (setup.GetBankMsb(ch) == CSongSetup::kUnset) setup.SetBankMsb(ch, 0);
    if (setup.GetBankLsb(ch) == CSongSetup::kUnset) setup.SetBankLsb(ch, 0);
    if (setup.GetProgram(ch) == CSongSetup::kUnset) setup.SetProgram(ch, 0);
    if (setup.GetVolume(ch) == CSongSetup::kUnset) setup.SetVolume(ch, 100);
  }
  CContentsInfo& info = m_list.m_info;
  if (info.GetTextCodeType() == kTextCodeNone) {
    int code = 0;
    platform::IAppSettings& settings = platform::settings();
    switch (m_kind) {
      case 1: code = m_maker == 2 ? settings.GetInfoCodeTypeDoCoMo() : 0; break;
      case 2:
      case 4: code = settings.GetInfoCodeType(); break;
      case 5: code = kTextCodeNone; break;
      default: code = 0; break;
    }
    info.SetTextCodeType(static_cast<uint8_t>(code));
    m_list.m_textCode = static_cast<uint8_t>(code);
  }
}
