// Reads song-data SMF bytes into the converter's MIDI list: a checking pass, then a filling pass.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/SmfTrackWalker.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/SongTextInfo.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"

namespace velkgate {

namespace {

constexpr uint32_t kWarnReplaced = 0x01;
constexpr uint32_t kWarnCueSupplied = 0x02;
constexpr uint32_t kWarnCueRepeated = 0x04;
constexpr uint32_t kWarnCommand = 0x08;
constexpr uint32_t kWarnRateClamped = 0x20;
constexpr uint32_t kWarnProgramWhileSounding = 0x200;
constexpr uint32_t kResultFailed = 0x80000000u;
constexpr uint32_t kResultCueOrder = 0x80000001u;
constexpr uint32_t kResultTooManyVoices = 0x80000003u;

constexpr int kChannels = 16;
constexpr int kFirstSlot = 1;
constexpr int kLastSlot = 32;
constexpr uint8_t kBankGeneral = 0x00;
constexpr uint16_t kMinPcmRate = 1500;
constexpr uint16_t kMaxPcmRate = 48000;
constexpr uint8_t kDefaultVolume = 100;
constexpr uint8_t kDefaultMaster = 100;
constexpr uint8_t kRhythmMeta[] = {kDialectMakerId, 0x02, 0x01, 0x02};
constexpr uint8_t kChordMeta[] = {kDialectMakerId, kSequencerSectionId, 0x01};

bool IsSlot(int s) { return s >= kFirstSlot && s <= kLastSlot; }

/// Slot of a stream key (0-12 and 92-110), 0 for another note.
int StreamSlotOfNote(uint8_t note) {
  if (note <= 12) return note + 1;
  if (note >= 92 && note <= 110) return note - 78;
  return 0;
}

/// Bank MSB as the dialect maps it: 7A is 7C and 7B is 7D.
uint8_t MappedBank(uint8_t v) {
  if (v == 0x7A) return kBankMelody;
  if (v == 0x7B) return kBankDrum;
  return v;
}

std::vector<uint8_t> Unpack(const uint8_t* packed, uint32_t n) {
  std::vector<uint8_t> plain(UnpackedSize7In8(n));
  if (!plain.empty()) Unpack7In8(packed, n, plain.data());
  return plain;
}

bool StartsWith(const SmfWalkEvent& e, const uint8_t* prefix, uint32_t n) {
  return e.dataSize >= n && std::memcmp(e.data, prefix, n) == 0;
}

/// What the first pass learns about the song.
struct FirstPass {
  uint32_t startCount = 0;
  uint32_t stopCount = 0;
  uint32_t lastStartTick = 0;
  uint32_t lastStopTick = 0;
  uint32_t sectionCount[kCueLastSection + 1] = {};
  bool timeSignatureAtZero = false;
  bool tempoAtZero = false;
  int rhythmChannel = -1;
  int partner[kLastSlot + 1] = {};
  int pan[kLastSlot + 1] = {};
  int sounding[kLastSlot + 1] = {};
  bool playsStreamKeys[kChannels] = {};
};

class SmfReader {
 public:
  SmfReader(CMidiList& list, const uint8_t* smf, uint32_t size, uint32_t* report)
      : m_list(list), m_setup(list.GetSetup()), m_smf(smf), m_size(size), m_report(report),
        m_walker(smf, size) {}

  void Run();

 private:
  struct Channel {
    uint8_t bank = kBankGeneral;
    bool programSeen = false;
    bool stream = false;
    int sounding = 0;
    CSeqEvent* pendingPan = nullptr;
  };

  void Warn(uint32_t bits) {
    if (m_report) *m_report |= bits;
  }
  [[noreturn]] void Fail(uint32_t result) {
    if (m_report) *m_report = result;
    throw kErrRejected;
  }

  void ScanFirstPass();
  void ScanChannel(const SmfWalkEvent& e);
  void ScanSysEx(const SmfWalkEvent& e);
  void ApplyCueRules();
  void AddDefaults();
  void FillSecondPass();
  void Finish();

  CSeqEvent* Store(CEventList& list, uint32_t tick, const uint8_t* bytes, uint32_t n,
                   uint32_t cue = 0);
  CSeqEvent* StoreWalked(const SmfWalkEvent& e, uint32_t cue = 0);

  void HandleMeta(const SmfWalkEvent& e);
  void HandleCuePoint(const SmfWalkEvent& e);
  void HandleSequencerMeta(const SmfWalkEvent& e);
  void HandleChannel(const SmfWalkEvent& e);
  void HandleController(const SmfWalkEvent& e, int ch);
  void HandleProgram(const SmfWalkEvent& e, int ch);
  void HandleNote(const SmfWalkEvent& e, int ch, bool on);
  void CloseTrackNotes(int track, uint32_t tick);
  void HandleSysEx(const SmfWalkEvent& e);
  void HandleSong(const SmfWalkEvent& e, const DialectMessage& m);
  void HandleContentsHeader(const DialectMessage& m);
  void HandleContentsTexts(const DialectMessage& m);
  void ReadTextChunk(const uint8_t* p, const uint8_t* end, bool bytesOnly);
  void HandleTempo(const SmfWalkEvent& e, const DialectMessage& m);
  void HandleDevice(const SmfWalkEvent& e, const DialectMessage& m);
  void HandleMaster(const SmfWalkEvent& e, const DialectMessage& m);
  void HandleVoice(const DialectMessage& m, bool secondLayout);
  void HandleWave(const DialectMessage& m);
  void HandleStreamWave(const DialectMessage& m);
  void HandleStreamCommand(const SmfWalkEvent& e, const DialectMessage& m);
  void HandleUserWave(const DialectMessage& m);

  void InsertStop();
  void InsertStart();
  void DropTentative();

  CMidiList& m_list;
  CSongSetup& m_setup;
  const uint8_t* m_smf;
  uint32_t m_size;
  uint32_t* m_report;
  CSmfTrackWalker m_walker;
  FirstPass m_first;

  Channel m_channels[kChannels];
  std::map<uint32_t, std::deque<CSeqEvent*>> m_sounding;
  uint32_t m_startSeen = 0;
  uint32_t m_stopSeen = 0;
  uint32_t m_sectionSeen[kCueLastSection + 1] = {};
  bool m_firstTimeSignature = true;
  uint8_t m_timeSignature[4] = {};
  bool m_firstTempo = true;
  uint32_t m_firstTempoValue = 0;
  bool m_haveDeviceTempo = false;
  uint32_t m_deviceTempo = 0;
  bool m_masterSeen = false;
  bool m_noteSeen = false;
  uint32_t m_voiceMessages = 0;
  int m_nextVoice = 0;
  bool m_songTextGiven = false;
  CSongTextInfo m_optionSongText;
  bool m_streamUsed = false;
  bool m_slotNoted[kLastSlot + 1] = {};
  uint32_t m_lastEnd = 0;
  uint32_t m_firstDeltaTick = 0;
  bool m_anyEvent = false;
};

// ---- First pass -----------------------------------------------------------------------------

void SmfReader::ScanFirstPass() {
  bool tempoSeen = false;
  uint8_t bank[kChannels] = {};
  bool streamChannel[kChannels] = {};
  int sounding[kChannels] = {};
  SmfWalkEvent e;
  while (m_walker.Next(e)) {
    if (e.IsMeta()) {
      if (e.metaType == kMetaCuePoint) {
        uint8_t code = CueCodeOfText(e.data, e.dataSize);
        if (code == kCueStart) {
          ++m_first.startCount;
          m_first.lastStartTick = e.tick;
        } else if (code == kCueStop) {
          ++m_first.stopCount;
          m_first.lastStopTick = e.tick;
        } else if (code >= kCueFirstSection && code <= kCueLastSection) {
          ++m_first.sectionCount[code];
        }
      } else if (e.metaType == kMetaTempo) {
        tempoSeen = true;
      } else if (e.metaType == kMetaTimeSignature && e.tick == 0) {
        m_first.timeSignatureAtZero = true;
      } else if (e.metaType == kMetaSequencerSpecific && e.dataSize >= 6 &&
                 StartsWith(e, kRhythmMeta, sizeof kRhythmMeta) && e.data[5] == 0x01 &&
                 e.data[4] < kChannels) {
        m_first.rhythmChannel = e.data[4];
      }
    } else if (e.IsSysEx()) {
      ScanSysEx(e);
    } else {
      int ch = e.status & 0x0F;
      uint8_t kind = e.status & 0xF0;
      for (uint32_t i = 0; i < e.dataSize; ++i)
        if (e.data[i] & 0x80) throw kErrNotSmf;
      if (kind == 0xB0 && e.dataSize >= 2 && e.data[0] == 0x00) {
        bank[ch] = MappedBank(e.data[1]);
      } else if (kind == 0xC0) {
        streamChannel[ch] = bank[ch] == kBankDrum && ch != m_first.rhythmChannel;
        if (sounding[ch] > 0) Warn(kWarnProgramWhileSounding);
      } else if ((kind == 0x90 || kind == 0x80) && e.dataSize >= 2) {
        bool on = kind == 0x90 && e.data[1] > 0;
        sounding[ch] += on ? 1 : (sounding[ch] > 0 ? -1 : 0);
        int slot = streamChannel[ch] ? StreamSlotOfNote(e.data[0]) : 0;
        if (slot) {
          m_first.playsStreamKeys[ch] = true;
          m_first.sounding[slot] += on ? 1 : (m_first.sounding[slot] > 0 ? -1 : 0);
        }
      }
    }
  }
  (void)tempoSeen;
}

void SmfReader::ScanSysEx(const SmfWalkEvent& e) {
  DialectMessage m;
  if (e.status != 0xF0 || !ParseDialectMessage(e.data, e.dataSize, m) || m.device != 0x06) return;
  const uint8_t* p = m.payload;
  if (m.group == kGroupSong && m.command == kSongTempo && e.tick == 0) {
    m_first.tempoAtZero = true;
  } else if (m.group == kGroupDevice && m.command == kDeviceStreamPair && m.payloadSize >= 3) {
    int a = p[1];
    int b = p[2];
    if (!IsSlot(a) || !IsSlot(b) || m_first.sounding[a] > 0 || m_first.sounding[b] > 0) return;
    if (p[0] != 0) {
      if (m_first.partner[a] == b) m_first.partner[a] = 0;
      if (m_first.partner[b] == a) m_first.partner[b] = 0;
    } else if (a == b + 1 || b == a + 1) {
      m_first.partner[a] = b;
      m_first.partner[b] = a;
    }
  } else if (m.group == kGroupDevice && m.command == kDeviceStreamSlot && m.payloadSize >= 3 &&
             IsSlot(p[0])) {
    m_first.pan[p[0]] = p[1] != 0 ? 255 : p[2];
  }
}

void SmfReader::ApplyCueRules() {
  bool start = m_first.startCount > 0;
  bool stop = m_first.stopCount > 0;
  if (start && stop && m_first.lastStopTick < m_first.lastStartTick) Fail(kResultCueOrder);
  if (start != stop) Warn(kWarnCueSupplied);
  if (m_first.startCount > 1 || m_first.stopCount > 1) Warn(kWarnCueRepeated);
}

void SmfReader::AddDefaults() {
  if (!m_first.tempoAtZero) {
    std::vector<uint8_t> tempo = MakeTempoMessage(kDefaultQuarterTempo);
    Store(m_list.GetMainList(), 0, tempo.data(), static_cast<uint32_t>(tempo.size()));
    m_haveDeviceTempo = true;
    m_deviceTempo = kDefaultQuarterTempo;
  }
  if (!m_first.timeSignatureAtZero) {
    Store(m_list.GetMainList(), 0, kDefaultTimeSignatureMeta, sizeof kDefaultTimeSignatureMeta);
    m_firstTimeSignature = false;
    std::memcpy(m_timeSignature, kDefaultTimeSignatureMeta + 3, 4);
  }
}

// ---- Second pass ----------------------------------------------------------------------------

CSeqEvent* SmfReader::Store(CEventList& list, uint32_t tick, const uint8_t* bytes, uint32_t n,
                            uint32_t cue) {
  auto event = std::make_unique<CSeqEvent>(tick, n, bytes, tick, cue);
  CSeqEvent* raw = event.get();
  list.Add(event.release());
  return raw;
}

CSeqEvent* SmfReader::StoreWalked(const SmfWalkEvent& e, uint32_t cue) {
  std::vector<uint8_t> bytes(e.StoredSize());
  e.CopyStored(bytes.data());
  return Store(m_list.GetMainList(), e.tick, bytes.data(), e.StoredSize(), cue);
}

void SmfReader::FillSecondPass() {
  m_walker.Rewind();
  SmfWalkEvent e;
  while (m_walker.Next(e)) {
    if (!m_anyEvent) {
      m_anyEvent = true;
      m_firstDeltaTick = e.tick;
    }
    if (e.IsMeta()) {
      HandleMeta(e);
    } else if (e.IsSysEx()) {
      HandleSysEx(e);
    } else {
      HandleChannel(e);
    }
    if (e.endsTrack) {
      CloseTrackNotes(e.track, e.tick);
      m_lastEnd = std::max(m_lastEnd, e.tick);
    }
  }
}

void SmfReader::HandleMeta(const SmfWalkEvent& e) {
  switch (e.metaType) {
    case kMetaText:
      if (e.dataSize >= kQxTextMarker.size() &&
          std::memcmp(e.data, kQxTextMarker.data(), kQxTextMarker.size()) == 0) {
        CSongTextInfo text(e.data, e.dataSize);
        if (e.dataSize >= 8 && e.data[5] != ':' && e.data[7] == ':') {
          int index = QxLanguageIndex(static_cast<char>(e.data[5]), static_cast<char>(e.data[6]));
          if (index >= 0) m_list.SetLanguageIndex(index);
        }
        m_list.GetContentsInfo().SetSongTextInfo(text);
        m_songTextGiven = true;
      }
      break;
    case kMetaCopyright: {
      CContentsInfo& info = m_list.GetContentsInfo();
      info.SetText(CMidiList::TextFieldOfTag(kTagCR),
                   std::string_view(reinterpret_cast<const char*>(e.data), e.dataSize));
      info.SetOptionByte1(1);
      info.SetFlagC(true);
      break;
    }
    case kMetaMarker:
    case kMetaEndOfTrack:
      StoreWalked(e);
      break;
    case kMetaCuePoint:
      HandleCuePoint(e);
      break;
    case kMetaTempo:
      if (m_firstTempo && e.dataSize >= 3) {
        m_firstTempo = false;
        m_firstTempoValue = (uint32_t{e.data[0]} << 16) | (uint32_t{e.data[1]} << 8) | e.data[2];
      }
      StoreWalked(e);
      break;
    case kMetaTimeSignature:
      if (!IsValidTimeSignature(e.data, e.dataSize)) break;
      if (!m_firstTimeSignature && std::memcmp(m_timeSignature, e.data, 4) == 0) break;
      m_firstTimeSignature = false;
      std::memcpy(m_timeSignature, e.data, 4);
      StoreWalked(e);
      break;
    case kMetaKeySignature:
      if (IsValidKeySignature(e.data, e.dataSize)) StoreWalked(e);
      break;
    case kMetaSequencerSpecific:
      HandleSequencerMeta(e);
      break;
    default:
      break;
  }
}

void SmfReader::HandleCuePoint(const SmfWalkEvent& e) {
  uint8_t code = CueCodeOfText(e.data, e.dataSize);
  if (code == kCueStart) {
    if (++m_startSeen == m_first.startCount) StoreWalked(e, code);
  } else if (code == kCueStop) {
    if (++m_stopSeen == m_first.stopCount) StoreWalked(e, code);
  } else if (code >= kCueFirstSection && code <= kCueLastSection) {
    if (++m_sectionSeen[code] == m_first.sectionCount[code]) StoreWalked(e, code);
  } else if (SectionEndCodeOfText(e.data, e.dataSize) == 0) {
    StoreWalked(e);
  }
}

/// A chord root or bass byte: high nibble at most 6, low nibble 1..7.
bool IsChordNote(uint8_t b) { return (b >> 4) <= 6 && (b & 0x0F) >= 1 && (b & 0x0F) <= 7; }

void SmfReader::HandleSequencerMeta(const SmfWalkEvent& e) {
  if (e.dataSize == 0 || e.data[0] != kDialectMakerId) {
    StoreWalked(e);
    return;
  }
  if (StartsWith(e, kChordMeta, sizeof kChordMeta)) {
    // 43 7B 01 root type bass [bass type]
    if (e.dataSize < 6) return;
    uint8_t root = e.data[3];
    uint8_t type = e.data[4];
    uint8_t bass = e.data[5];
    if (!IsChordNote(root) || type > 34) return;
    if (bass != 0x7F && (!IsChordNote(bass) || e.dataSize < 7 || e.data[6] > 34)) return;
    StoreWalked(e);
    return;
  }
  uint8_t code = CueCodeOfSequencerMeta(e.data, e.dataSize);
  if (code == 0) return;
  std::vector<uint8_t> cue = MakeCueMeta(CueText(code));
  Store(m_list.GetMainList(), e.tick, cue.data(), static_cast<uint32_t>(cue.size()), code);
}

void SmfReader::HandleChannel(const SmfWalkEvent& e) {
  for (uint32_t i = 0; i < e.dataSize; ++i)
    if (e.data[i] & 0x80) throw kErrNotSmf;
  int ch = e.status & 0x0F;
  switch (e.status & 0xF0) {
    case 0xB0:
      HandleController(e, ch);
      break;
    case 0xC0:
      HandleProgram(e, ch);
      break;
    case 0x90:
      HandleNote(e, ch, e.data[1] > 0);
      break;
    case 0x80:
      HandleNote(e, ch, false);
      break;
    default:
      StoreWalked(e);
      break;
  }
}

void SmfReader::HandleController(const SmfWalkEvent& e, int ch) {
  uint8_t control = e.data[0];
  uint8_t value = e.data[1];
  Channel& c = m_channels[ch];
  switch (control) {
    case 0x00: {
      uint8_t bank = MappedBank(value);
      if (bank != kBankGeneral && bank != kBankMelody && bank != kBankDrum) {
        bank = kBankGeneral;
        Warn(kWarnReplaced);
      }
      const uint8_t bytes[3] = {e.status, 0x00, bank};
      Store(m_list.GetMainList(), e.tick, bytes, 3);
      m_setup.SetBankMsb(ch, bank);
      c.bank = bank;
      return;
    }
    case 0x07:
      m_setup.SetVolume(ch, value);
      break;
    case 0x0A:
      if (m_first.playsStreamKeys[ch]) {
        std::vector<uint8_t> bytes(e.StoredSize());
        e.CopyStored(bytes.data());
        c.pendingPan = Store(m_list.GetStreamList(), e.tick, bytes.data(), e.StoredSize());
        c.pendingPan->SetDropped(true);
      }
      break;
    case 0x20:
      m_setup.SetBankLsb(ch, value);
      break;
    case 0x38:
      if (value != 0)
        m_list.SetControl56Channels(
            static_cast<uint16_t>(m_list.GetControl56Channels() | (1u << ch)));
      break;
    default:
      break;
  }
  StoreWalked(e);
}

void SmfReader::HandleProgram(const SmfWalkEvent& e, int ch) {
  Channel& c = m_channels[ch];
  uint8_t program = e.data[0];
  c.programSeen = true;
  if (c.bank == kBankDrum) {
    if (program > 10) {
      program = 0;
      Warn(kWarnReplaced);
    }
    c.stream = ch != m_first.rhythmChannel;
  } else {
    c.stream = false;
  }
  m_setup.SetProgram(ch, program);
  const uint8_t bytes[2] = {e.status, program};
  Store(m_list.GetMainList(), e.tick, bytes, 2);
}

void SmfReader::HandleNote(const SmfWalkEvent& e, int ch, bool on) {
  Channel& c = m_channels[ch];
  if (!c.programSeen) {
    c.programSeen = true;
    c.bank = kBankGeneral;
    c.stream = false;
  }
  uint8_t note = e.data[0];
  uint32_t key = (static_cast<uint32_t>(e.track) << 11) | (static_cast<uint32_t>(ch) << 7) | note;
  if (!on) {
    auto it = m_sounding.find(key);
    if (it == m_sounding.end() || it->second.empty()) return;
    it->second.front()->SetEndTick(e.tick);
    m_lastEnd = std::max(m_lastEnd, e.tick);
    it->second.pop_front();
    return;
  }
  m_noteSeen = true;
  CSeqEvent* event = nullptr;
  if (c.stream) {
    int slot = StreamSlotOfNote(note);
    if (note > 110) return;
    if (slot) {
      std::vector<uint8_t> bytes(e.StoredSize());
      e.CopyStored(bytes.data());
      event = Store(m_list.GetStreamList(), e.tick, bytes.data(), e.StoredSize());
      if (c.pendingPan) c.pendingPan->SetDropped(false);
      m_setup.SetSlotFlag(slot, 1);
      m_slotNoted[slot] = true;
      m_streamUsed = true;
    }
  }
  if (!event) event = StoreWalked(e);
  m_sounding[key].push_back(event);
}

void SmfReader::CloseTrackNotes(int track, uint32_t tick) {
  uint32_t first = static_cast<uint32_t>(track) << 11;
  auto it = m_sounding.lower_bound(first);
  while (it != m_sounding.end() && it->first < first + (1u << 11)) {
    for (CSeqEvent* event : it->second) event->SetEndTick(tick);
    it = m_sounding.erase(it);
  }
}

// ---- SysEx ----------------------------------------------------------------------------------

void SmfReader::HandleSysEx(const SmfWalkEvent& e) {
  if (e.status != 0xF0) return;
  DialectMessage m;
  if (!ParseDialectMessage(e.data, e.dataSize, m)) {
    StoreWalked(e);
    return;
  }
  if (m.device == kDialectVoiceDeviceId) {
    HandleVoice(m, true);
    StoreWalked(e);
  } else if (m.group == kGroupSong) {
    HandleSong(e, m);
  } else if (m.group == kGroupDevice) {
    HandleDevice(e, m);
  }
}

void SmfReader::HandleSong(const SmfWalkEvent& e, const DialectMessage& m) {
  switch (m.command) {
    case kSongContentsHeader:
      HandleContentsHeader(m);
      break;
    case kSongChannelStatus: {
      std::vector<uint8_t> plain = Unpack(m.payload, m.payloadSize);
      if (plain.size() < kChannels) {
        Warn(kWarnCommand);
        break;
      }
      for (int ch = 0; ch < kChannels; ++ch) m_setup.SetStatus(ch, plain[ch]);
      break;
    }
    case kSongContentsTexts:
      HandleContentsTexts(m);
      break;
    case kSongLastText: {
      std::vector<uint8_t> plain = Unpack(m.payload, m.payloadSize);
      size_t n = std::min<size_t>(plain.size(), CMidiList::kMaxTextValue);
      m_list.GetContentsInfo().SetText(
          9, std::string_view(reinterpret_cast<const char*>(plain.data()), n));
      break;
    }
    case kSongTempo:
      HandleTempo(e, m);
      break;
    default:
      break;
  }
}

void SmfReader::HandleContentsHeader(const DialectMessage& m) {
  std::vector<uint8_t> plain = Unpack(m.payload, m.payloadSize);
  if (plain.size() < 5) {
    Warn(kWarnCommand);
    return;
  }
  CContentsInfo& info = m_list.GetContentsInfo();
  info.SetContentsClass(plain[0]);
  info.SetContentsTypeByte(plain[1]);
  info.SetCodeType(plain[2]);
  info.SetOptionByte1(plain[3]);
  info.SetOptionByte2(plain[4]);
  m_list.SetTextCodeType(plain[2]);
  m_list.SetHasContentsInfo(true);
  if (m_songTextGiven) return;
  const uint8_t* p = plain.data() + 5;
  const uint8_t* end = plain.data() + plain.size();
  while (end - p >= 3) {
    int tag = ContentsTagIndex(static_cast<char>(p[0]), static_cast<char>(p[1]));
    bool item = p[2] == ':';
    p += item ? 3 : 1;
    if (!item) continue;
    std::string value;
    m_list.ReadTagValue(p, end, value, CMidiList::kMaxTextValue);
    if (tag >= kTagST && tag <= kTagAN) {
      m_optionSongText.SetText(tag + 1, value);
    } else if (int text = CMidiList::TextFieldOfTag(tag)) {
      info.SetText(text, value);
    }
  }
}

void SmfReader::HandleContentsTexts(const DialectMessage& m) {
  std::vector<uint8_t> plain = Unpack(m.payload, m.payloadSize);
  struct Chunk {
    const uint8_t* body;
    const uint8_t* end;
    uint8_t code;
  };
  std::vector<Chunk> chunks;
  const uint8_t* p = plain.data();
  const uint8_t* end = p + plain.size();
  while (end - p >= 8) {
    uint32_t size = (uint32_t{p[4]} << 24) | (uint32_t{p[5]} << 16) | (uint32_t{p[6]} << 8) | p[7];
    const uint8_t* body = p + 8;
    uint32_t left = static_cast<uint32_t>(end - body);
    const uint8_t* bodyEnd = body + std::min(size, left);
    chunks.push_back({body, bodyEnd, p[3]});
    p = bodyEnd;
  }
  if (chunks.empty()) return;
  uint8_t code = chunks[0].code;
  m_list.GetContentsInfo().SetTextCodeType(code);
  m_list.SetTextCodeType(code);
  if (code != kTextCodeByteItems) {
    for (size_t i = 1; i < chunks.size(); ++i) {
      if (chunks[i].code != kTextCodeByteItems) continue;
      ReadTextChunk(chunks[i].body, chunks[i].end, true);
      break;
    }
  }
  ReadTextChunk(chunks[0].body, chunks[0].end, false);
  m_songTextGiven = true;
}

void SmfReader::ReadTextChunk(const uint8_t* p, const uint8_t* end, bool bytesOnly) {
  CContentsInfo& info = m_list.GetContentsInfo();
  while (end - p >= 4) {
    int tag = ContentsTagIndex(static_cast<char>(p[0]), static_cast<char>(p[1]));
    p += 2;
    if (tag == kTagES || tag == kTagDV) {
      uint32_t n = (uint32_t{p[0]} << 8) | p[1];
      p += 2;
      if (n > static_cast<uint32_t>(end - p)) return;
      if (n >= 1) {
        if (tag == kTagES) info.SetOptionByte3(p[0]);
        else info.SetOptionByte4(p[0]);
      }
      p += n;
      continue;
    }
    std::string value;
    try {
      m_list.ReadEntryValue(p, end, value, CMidiList::kMaxTextValue);
    } catch (int error) {
      if (error != kErrEndOfData) throw;
      return;
    }
    if (bytesOnly) continue;
    if (tag >= kTagST && tag <= kTagAN) {
      info.GetSongTextInfo().SetText(tag + 1, value);
    } else if (int text = CMidiList::TextFieldOfTag(tag)) {
      info.SetText(text, value);
    }
  }
}

void SmfReader::HandleTempo(const SmfWalkEvent& e, const DialectMessage& m) {
  uint32_t value = 0;
  if (!DecodeDialectTempo(m.payload, m.payloadSize, e.declaredLength, value)) {
    Warn(kWarnCommand);
    return;
  }
  if (m_haveDeviceTempo && value == m_deviceTempo) return;
  m_haveDeviceTempo = true;
  m_deviceTempo = value;
  std::vector<uint8_t> tempo = MakeTempoMessage(value);
  Store(m_list.GetMainList(), e.tick, tempo.data(), static_cast<uint32_t>(tempo.size()));
}

void SmfReader::HandleDevice(const SmfWalkEvent& e, const DialectMessage& m) {
  const uint8_t* p = m.payload;
  switch (m.command) {
    case kDeviceMasterVolume:
      HandleMaster(e, m);
      break;
    case kDeviceVoice:
      HandleVoice(m, false);
      break;
    case kDeviceWave:
      HandleWave(m);
      break;
    case kDeviceStreamWave:
      HandleStreamWave(m);
      break;
    case kDeviceSetupMode:
      if (m.payloadSize < 1 || p[0] > 2) Warn(kWarnCommand);
      else m_setup.SetStreamMode(p[0]);
      break;
    case kDeviceStreamPair:
    case kDeviceStreamSwitch:
    case kDeviceStreamSlot:
      HandleStreamCommand(e, m);
      break;
    case kDeviceUserWave:
      HandleUserWave(m);
      break;
    case kDeviceSongValue:
      if (m.payloadSize < 1 || p[0] > 15) Warn(kWarnCommand);
      else StoreWalked(e);
      break;
    case kDeviceGroupVoices:
      StoreWalked(e);
      break;
    default:
      break;
  }
}

void SmfReader::HandleMaster(const SmfWalkEvent& e, const DialectMessage& m) {
  if (m.payloadSize < 1) {
    Warn(kWarnCommand);
    return;
  }
  uint8_t value = m.payload[0];
  if (!m_masterSeen || !m_noteSeen) {
    if (value >= 0x80) Fail(kResultFailed);
    m_setup.SetMasterVolume(value);
  }
  m_masterSeen = true;
  const uint8_t v = value & 0x7F;
  std::vector<uint8_t> bytes = MakeDialectMessage(kGroupDevice, kDeviceMasterVolume, &v, 1);
  Store(m_list.GetMainList(), e.tick, bytes.data(), static_cast<uint32_t>(bytes.size()));
  (void)e;
}

void SmfReader::HandleVoice(const DialectMessage& m, bool secondLayout) {
  if (++m_voiceMessages > kMaxVoiceDefinitions) Fail(kResultTooManyVoices);
  if (m.payloadSize < 5) {
    Warn(kWarnCommand);
    return;
  }
  const uint8_t* p = m.payload;
  if (secondLayout && p[0] != kBankMelody && p[0] != kBankDrum) return;
  uint8_t kind = p[4];
  if (kind > 3) {
    Warn(kWarnCommand);
    return;
  }
  std::vector<uint8_t> plain = Unpack(p + 5, m.payloadSize - 5);
  size_t pos = 0;
  // Blocks are cut to their size; a short one leaves the rest zero.
  auto takeBlock = [&](uint32_t size) {
    std::vector<uint8_t> block(size, 0);
    size_t n = std::min<size_t>(size, plain.size() - pos);
    std::copy_n(plain.begin() + static_cast<std::ptrdiff_t>(pos), n, block.begin());
    pos += n;
    return block;
  };
  auto item = std::make_unique<CVoiceItem>();
  if (secondLayout) item->SetHeader(takeBlock(CVoiceItem::GetHeaderSize()).data());
  item->SetBankMsb(p[0]);
  item->SetBankLsb(p[1]);
  item->SetProgram(p[2]);
  item->SetNote(p[3]);
  item->SetPcmFlag(kind != 0 ? 1 : 0);
  if (kind != 0) {
    item->SetPcmVoice(takeBlock(CVoiceItem::GetPcmVoiceSize()).data());
    uint16_t rate = item->GetPcmFs();
    if (rate < kMinPcmRate || rate > kMaxPcmRate) {
      item->SetPcmFs(rate < kMinPcmRate ? kMinPcmRate : kMaxPcmRate);
      Warn(kWarnRateClamped);
    }
  } else {
    item->SetFmVoice(takeBlock(CVoiceItem::GetFmVoiceSize()).data());
  }
  m_setup.SetVoiceItem(m_nextVoice++, item.release());
}

void SmfReader::HandleWave(const DialectMessage& m) {
  if (m.payloadSize < 2 || m.payload[0] >= CMidiList::kPcmWaveCount) {
    Warn(kWarnCommand);
    return;
  }
  uint8_t id = m.payload[0];
  uint8_t flags = m.payload[1];
  std::vector<uint8_t> plain = Unpack(m.payload + 2, m.payloadSize - 2);
  std::vector<uint8_t>& wave = m_list.GetPcmWave(id);
  wave.insert(wave.end(), plain.begin(), plain.end());
  if (flags & kBlockContinues) return;
  if (CVoiceItem* item = m_setup.FindPcmVoiceByWave(id)) {
    item->SetWaveHeaderId(id);
    item->SetWaveSamples(wave.data(), static_cast<uint32_t>(wave.size()));
  }
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    CVoiceItem* item = m_setup.GetVoiceItem(i);
    if (!item || !item->IsPcm() || item->GetRM() != 0 || item->GetWaveId() != id) continue;
    if (item->GetWaveDataSize() == 0) continue;
    item->SetWaveHeaderFlags(
        static_cast<uint8_t>((item->GetWaveHeaderFlags() & ~kBlockFormatMask) |
                             (flags & kBlockFormatMask)));
  }
}

void SmfReader::HandleStreamWave(const DialectMessage& m) {
  if (m.payloadSize < 2 || !IsSlot(m.payload[0])) {
    Warn(kWarnCommand);
    return;
  }
  int s = m.payload[0];
  uint8_t flags = m.payload[1];
  std::vector<uint8_t> plain = Unpack(m.payload + 2, m.payloadSize - 2);
  if (plain.size() < 2) {
    Warn(kWarnCommand);
    return;
  }
  CMidiList::StreamWave& wave = m_list.GetStreamWave(s);
  if (wave.data.empty() && wave.rate == 0) wave.rate = static_cast<uint16_t>((plain[0] << 8) | plain[1]);
  wave.data.insert(wave.data.end(), plain.begin() + 2, plain.end());
  if (flags & kBlockContinues) return;
  auto slot = std::make_unique<CStreamPCMSlot>();
  slot->SetRate(wave.rate);
  slot->SetWaveData(wave.data.data(), static_cast<uint32_t>(wave.data.size()));
  slot->SetFormat(flags & kBlockFormatMask);
  slot->SetFlag(flags & 0x04);
  slot->SetId(s);
  int partner = m_first.partner[s];
  if (partner && ((m_first.pan[s] == 0 && m_first.pan[partner] == 127) ||
                  (m_first.pan[s] == 127 && m_first.pan[partner] == 0)))
    slot->SetIndex(partner);
  m_setup.SetStreamPcmSlot(s, slot.release());
  uint8_t formatByte = CWaveDataChunk::FormatByteOfCode(flags & kBlockFormatMask);
  m_list.GetWaveChunks().Add(new CWaveDataChunk(static_cast<uint8_t>(s), formatByte, wave.rate,
                                                wave.data.data(),
                                                static_cast<uint32_t>(wave.data.size())));
}

void SmfReader::HandleStreamCommand(const SmfWalkEvent& e, const DialectMessage& m) {
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
      if (valid && !m_slotNoted[p[0]]) m_setup.SetSlotSetting(p[0], p[1], p[2]);
      break;
  }
  if (!valid) {
    Warn(kWarnCommand);
    return;
  }
  std::vector<uint8_t> bytes(e.StoredSize());
  e.CopyStored(bytes.data());
  Store(m_list.GetStreamList(), e.tick, bytes.data(), e.StoredSize());
  m_streamUsed = true;
}

void SmfReader::HandleUserWave(const DialectMessage& m) {
  if (m.payloadSize < 1 || m.payload[0] >= CSongSetup::kUserWaveCount) {
    Warn(kWarnCommand);
    return;
  }
  std::vector<uint8_t> plain = Unpack(m.payload + 1, m.payloadSize - 1);
  auto block = std::make_unique<CNamedBlock>();
  if (!block->SetData(plain.data(), static_cast<uint32_t>(plain.size()))) {
    Warn(kWarnCommand);
    return;
  }
  m_setup.SetUserWave(m.payload[0], block.release());
}

// ---- End of the read ------------------------------------------------------------------------

void SmfReader::InsertStop() {
  uint32_t tick = std::max(m_first.lastStartTick, m_lastEnd);
  std::vector<CSeqEvent*> items = m_list.GetMainList().Items();
  size_t at = items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->GetTick() >= tick) {
      at = i;
      break;
    }
  }
  for (size_t i = at; i < items.size() && items[i]->GetTick() == tick; ++i)
    if (items[i]->GetExtra() == kCueStart) at = i + 1;
  std::vector<uint8_t> cue = MakeCueMeta(kCueStopText);
  auto stop = std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(cue.size()), cue.data(),
                                          tick, kCueStop);
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), stop.release());
  CEventList& list = m_list.GetMainList();
  for (CSeqEvent* event : items) list.Remove(event);
  for (CSeqEvent* event : items) list.Add(event);
}

void SmfReader::InsertStart() {
  std::vector<CSeqEvent*> items = m_list.GetMainList().Items();
  size_t at = items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    const CSeqEvent* event = items[i];
    bool noteOn = (event->GetDataByte(0) & 0xF0) == 0x90;
    if (event->GetTick() > 0 || noteOn || event->GetExtra() == kCueStop) {
      at = i;
      break;
    }
  }
  std::vector<uint8_t> cue = MakeCueMeta(kCueStartText);
  auto start = std::make_unique<CSeqEvent>(0, static_cast<uint32_t>(cue.size()), cue.data(), 0,
                                           kCueStart);
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), start.release());
  CEventList& list = m_list.GetMainList();
  for (CSeqEvent* event : items) list.Remove(event);
  for (CSeqEvent* event : items) list.Add(event);
}

void SmfReader::DropTentative() {
  CEventList& stream = m_list.GetStreamList();
  if (!m_streamUsed) {
    stream.DeleteAll();
    return;
  }
  for (CSeqEvent* event : stream.Items())
    if (event->IsDropped()) stream.Delete(event);
}

void SmfReader::Finish() {
  CContentsInfo& info = m_list.GetContentsInfo();
  if (!m_songTextGiven) info.SetSongTextInfo(m_optionSongText);
  bool start = m_first.startCount > 0;
  bool stop = m_first.stopCount > 0;
  if (start && !stop) InsertStop();
  if (stop && !start) InsertStart();
  DropTentative();
  uint32_t division = m_walker.GetDivision();
  uint32_t tempo = m_firstTempo ? kDefaultTickTempo : m_firstTempoValue;
  m_list.SetDivision(division);
  m_list.SetTempo(tempo);
  m_list.SetValue120(120);
  m_list.SetTempoMs(tempo / 1000);
  m_setup.SetTimeBase(static_cast<uint16_t>(division));
  if (!m_masterSeen) m_setup.SetMasterVolume(kDefaultMaster);
  for (int ch = 0; ch < kChannels; ++ch) {
    if (m_setup.GetBankMsb(ch) == CSongSetup::kUnset) m_setup.SetBankMsb(ch, 0);
    if (m_setup.GetBankLsb(ch) == CSongSetup::kUnset) m_setup.SetBankLsb(ch, 0);
    if (m_setup.GetProgram(ch) == CSongSetup::kUnset) m_setup.SetProgram(ch, 0);
    if (m_setup.GetVolume(ch) == CSongSetup::kUnset) m_setup.SetVolume(ch, kDefaultVolume);
  }
  m_list.ComputeDensity(m_smf, m_size);
}

void SmfReader::Run() {
  m_setup.SetOwnsObjects(1);
  ScanFirstPass();
  ApplyCueRules();
  AddDefaults();
  FillSecondPass();
  Finish();
}

}  // namespace

int CMidiList::TextFieldOfTag(int tag) {
  switch (tag) {
    case kTagVN: return 1;
    case kTagCN: return 2;
    case kTagCA: return 3;
    case kTagCR: return 4;
    case kTagCD: return 5;
    case kTagUD: return 6;
    case kTagGR: return 7;
    case kTagMI: return 8;
    default: return 0;
  }
}

void CMidiList::ReadSmf(const uint8_t* smf, uint32_t size, uint32_t* report) {
  try {
    SmfReader reader(*this, smf, size, report);
    reader.Run();
  } catch (int error) {
    // A read past a track or the bytes is a broken file like any other.
    throw error == kErrEndOfData ? kErrNotSmf : error;
  }
}

}  // namespace velkgate
