// The song initialisation: a MIDI list that an importer has just read becomes the document's
// events, tempo map, cue points, setup, voices, master volume, contents information and times.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/host/HostServices.h"
#include "platform/text/Format.h"
#include "song/SongPrimitives.h"
#include "song/Stopwatch.h"
#include "song/document/KZ1Doc.h"
#include "song/document/MetaMsgClass.h"
#include "song/midilist/MidiList.h"

namespace {

int ChipMode() { return platform::settings().GetChipMode(); }
int OutputProfile() { return platform::settings().GetOutputProfile(); }
bool IsGen35(int chip) { return chip == 3 || chip == 5; }
bool IsNoteOnStatus(uint8_t status) { return (status & 0xF0) == 0x90; }

int StreamReserveSetting() {
  return platform::profile().GetProfileInt("Setting", "KZ-3_StreamPCMReserve", 0);
}

// The value of a device tempo message: the bytes from 7 on, 7 bits each, up to F7.
uint32_t DeviceTempoValue(const CMidiMsg& m) {
  uint32_t value = 0;
  for (uint32_t i = 7; i < m.GetLength() && m.GetByte(i) != 0xF7; ++i) {
    value = (value << 7) | (m.GetByte(i) & 0x7F);
  }
  return value;
}

// The contents type with its group cleared: generation and index stay.
uint8_t TypeWithoutGroup(uint8_t type) {
  if (ContentsTypeGroup(type) == 0) return type;
  return type < 0x30 ? static_cast<uint8_t>(type & 0x0F) : static_cast<uint8_t>(0x30 | (type & 0x0F));
}

// Times one phase of the initialisation into the document's list of stopwatches.
class PhaseStopwatch {
 public:
  PhaseStopwatch(std::vector<CStopwatch>& phases, const char* name) : m_phases(phases), m_watch(name) {
    m_watch.Start();
  }
  ~PhaseStopwatch() {
    m_watch.Stop();
    m_phases.push_back(m_watch);
  }
  PhaseStopwatch(const PhaseStopwatch&) = delete;
  PhaseStopwatch& operator=(const PhaseStopwatch&) = delete;

 private:
  std::vector<CStopwatch>& m_phases;
  CStopwatch m_watch;
};

}  // namespace

void CKZ1Doc::AppendInitEvents(const CMidiList& list, bool pcm) {
  EventList& target = pcm ? m_midlist_PCM : m_midlist;
  TChunkListIter<CSeqEvent> it(pcm ? list.GetSetupList() : list.GetSongList());
  CSeqEvent* e = nullptr;
  while (it.Next(e)) {
    if (e->IsDropped()) continue;
    auto msg = std::make_unique<CMidiMsg>(e->GetTick(), e->GetValue(), e->GetLength(),
                                          e->GetData(), e->GetExtra());
    const CMidiMsg& m = *msg;
    target.push_back(std::move(msg));
    if (m_debugFlag) {
      m_debugText = pcm ? "CKZ1Doc::init m_midlist_PCM.AddTail" : "CKZ1Doc::init m_midlist.AddTail";
    }
    if (m.GetLength() >= 1 && IsNoteOnStatus(m.GetByte(0))) {
      int* flags = pcm ? m_channelWords : m_channelValues;
      flags[m.GetByte(0) & 0x0F] = 1;
    }
    if (m.GetExtra() != 0) {
      SetCuePoint(static_cast<int>(m.GetExtra()), m.GetTick(), 0);
      continue;
    }
    switch (ClassifyMetaMsg(m)) {
      case kMsgTempo:
        if (m.GetLength() >= 6) {
          m_tempoMap.AddTempo(m.GetTick(), (uint32_t{m.GetByte(3)} << 16) |
                                               (uint32_t{m.GetByte(4)} << 8) | m.GetByte(5));
        }
        break;
      case kMsgDeviceTempo: m_tempoMap.AddSmfTempo(m.GetTick(), DeviceTempoValue(m)); break;
      case kMsgMarkerQ00: m_markerWords[0] = static_cast<int32_t>(m.GetTick()); break;
      case kMsgMarkerQ0F: m_markerWords[1] = static_cast<int32_t>(m.GetTick()); break;
      case kMsgDeviceStream:
        if (pcm && StreamReserveSetting() != 2) {
          platform::profile().WriteProfileInt("Setting", "KZ-3_StreamPCMReserve", 2);
        }
        break;
      default: break;
    }
  }
}

void CKZ1Doc::TakeInitSetup(const CMidiList& list) {
  m_refreshSuppress = 0;
  m_secondResolution = list.GetDivision();
  m_setup.Reset();
  const CSongSetup& from = list.GetSongSetup();
  for (int k = 0; k < 16; ++k) m_setup.SetStatus(k, from.GetStatus(k));
  m_setup.SetStreamMode(from.GetStreamMode());
  m_setup.SetOptionByte(from.GetOptionByte());
  const int reserve = StreamReserveSetting();
  const uint8_t copied = m_setup.GetStreamMode();
  if (copied == 255) {
    m_setup.SetStreamMode(static_cast<uint8_t>(reserve));
  } else if (copied != reserve && copied <= 2) {
    if (platform::board().HasBoardDevice()) platform::board().SendBoardCommand07(copied);
    platform::profile().WriteProfileInt("Setting", "KZ-3_StreamPCMReserve", copied);
  }
}

void CKZ1Doc::TakeInitMasterVolume(const CMidiList& list, int keep) {
  const int profile = OutputProfile();
  int volume = list.GetSongSetup().GetMasterVolume();
  if (profile != 4 && profile != 6 && m_volumePresetPending == 1) {
    if (profile == 1 || profile == 7) {
      volume = 100;
    } else {
      const std::string section = "Setting\\Volume\\" + platform::ui().GetVolumePresetName();
      volume = platform::profile().GetProfileInt(section, "MV", 100);
    }
    m_volumePresetPending = 0;
    if (keep == 0) volume = platform::settings().GetMasterVolume();
    SetMasterVolumeEvent(volume);
  }
  m_setup.SetMasterVolume(static_cast<uint8_t>(volume));
  platform::ui().SetMasterVolumeSpin(std::min(volume, 127));
  platform::ui().IsVolumeBarChanged();
}

int CKZ1Doc::CheckInitWaveCount() const {
  const int profile = OutputProfile();
  if (profile != 1 && profile != 7) return 1;
  bool carried[128] = {};
  int count = 0;
  for (int i = 0; i < CVoiceAssignTable::kAreaSize; ++i) {
    const CVoiceItem* item = m_voiceAssign.GetVoiceItem(i);
    if (m_voiceAssign.GetProgram(i) == 255 || !item || item->GetWaveSampleSize() == 0) continue;
    const int id = item->GetWaveId();
    if (!carried[id]) {
      carried[id] = true;
      ++count;
    }
  }
  if (count <= 32) return 1;
  platform::ShowMessage(7057);
  return 0;
}

void CKZ1Doc::TakeInitContentsInfo(CMidiList& list) {
  const int chip = ChipMode();
  const int profile = OutputProfile();
  const int modeValue = (chip == 1 || chip == 2 || chip == 3 || chip == 5) ? chip : 0;
  CContentsInfo& from = list.GetContentsInfo();
  if (IsGen35(chip) && profile != 1 && profile != 6 && profile != 7) {
    from.SetOptionByte1(static_cast<uint8_t>(
        platform::profile().GetProfileInt("Setting", "CopyStatus", 0xFD)));
    from.SetOptionByte3(static_cast<uint8_t>(
        platform::profile().GetProfileInt("Setting", "EditStatus", 0x80)));
  }
  CContentsInfo& info = m_contentsInfo;
  info.CopyFrom(from, modeValue);
  switch (profile) {
    case 3:
      info.SetContentsClass(1);
      info.SetContentsTypeByte(TypeWithoutGroup(info.GetContentsType()));
      info.SetCodeType(0x80);
      break;
    case 4:
      info.SetContentsClass(0);
      info.SetContentsTypeByte(0xF0);
      info.SetCodeType(1);
      break;
    case 5:
      break;
    default:
      if (profile == 8) {
        if (chip == 5) info.SetContentsClass(2);
      } else {
        info.SetContentsClass(0);
      }
      info.SetContentsTypeByte(TypeWithoutGroup(info.GetContentsType()));
      if (info.GetCodeType() > 6) info.SetCodeType(0);
      break;
  }
}

int CKZ1Doc::CheckInitPlayTime(const CMidiList& list) {
  const int section = platform::ui().GetSelectedSection();
  const uint32_t end = GetCueSectionTime(section, 0);
  const uint32_t length = GetCueSectionTime(section, 1);
  const uint32_t start = end - std::min(length, end);
  platform::ui().SetTimeRange(start, end);
  const uint32_t span = list.GetDensityLength();
  if (end > 5999999) {
    m_playTimeText = "Error";
  } else if (length <= 2000000) {
    m_playTimeText = OutputProfile() == 4 ? platform::Format("%d", span)
                                          : platform::Format("%d(%d)", length, span);
  }
  // The limit holds for the song's real length: the shown length is cut to time-base steps.
  if (length <= 2000000 && GetCueSectionLength(section) <= 2000000) return 1;
  platform::ShowMessage(7058);
  return 0;
}

void CKZ1Doc::TakeInitSectionTime() {
  const int profile = OutputProfile();
  if (profile != 1 && profile != 7) return;
  const uint32_t a = static_cast<uint32_t>(m_markerWords[0]);
  const uint32_t b = static_cast<uint32_t>(m_markerWords[1]);
  if (a == kNoCue || a > b) return;
  const uint32_t start = m_cuePoints[kStartCue];
  const uint32_t stop = m_cuePoints[kStopCue];
  const bool bothSet = start != kNoCue && stop != kNoCue;
  if (bothSet && !(a >= start && a < stop && b >= start && b < stop)) return;
  const uint32_t from = start == kNoCue ? 0 : start;
  m_markerWords[2] = static_cast<int32_t>(m_tempoMap.TickToMs(a - from, 2, 1, 0));
}

void CKZ1Doc::TakeInitFigures(const CMidiList& list) {
  // 64 bits: a long dense song overflows total x 1000 in 32.
  const uint64_t span = list.GetDensityLength();
  const uint64_t average = span ? uint64_t{list.GetDensityTotal()} * 1000 / span : 0;
  SetDensityInfo(list.GetDensityFailed() ? 1 : 0, static_cast<uint32_t>(average),
                 list.GetMaxDensity(), list.GetMaxDensityTime(), list.GetDensityLength(),
                 list.GetDensityPoints());
  m_firstTempo = list.GetTempo();
  m_quarterRate = list.GetQuarterRate();
  m_listDivision = list.GetDivision();
  m_beatsPerMeasure = list.GetTimeSignature();
  m_buildWord = 0;
  m_setup.SetTimeBase(list.GetSongSetup().GetTimeBase());
  if (IsGen35(ChipMode())) {
    for (int k = 0; k < 16; ++k) {
      if (m_setup.GetVoiceSlot(k) == 255) m_setup.SetVoiceSlot(k, 0);
    }
  }
  InitChannelSetupFromEvents();
}

int CKZ1Doc::init(CMidiList& list, int keep, int fresh) {
  m_initStopwatches.clear();
  m_debugText.clear();
  const InitSnapshot snapshot = TakeInitSnapshot(list);
  if (keep == 0) ClearForMerge();
  const int chip = ChipMode();
  for (int k = 0; k < 16; ++k) {
    m_channelValues[k] = IsGen35(chip) ? 0 : 1;
    m_channelWords[k] = IsGen35(chip) ? 0 : 1;
  }
  m_tempoMap.Reset(list.GetTempo(), list.GetDivision());
  std::fill(std::begin(m_cuePoints), std::end(m_cuePoints), kNoCue);
  m_markerWords[0] = -1;
  m_markerWords[1] = -1;
  m_markerWords[2] = 0;
  m_refreshSuppress = 1;

  {
    PhaseStopwatch watch(m_initStopwatches, "CKZ1Doc::init  Setup MidiList");
    AppendInitEvents(list, false);
    if (GetModeSetting() != 2) AppendInitEvents(list, true);
  }
  TakeInitSetup(list);
  {
    PhaseStopwatch watch(m_initStopwatches, "CKZ1Doc::init  SetVAMFromMidiList()");
    // A merge may need the extension areas while the old voices still hold their slots.
    if (keep == 0) m_extensionArea = 1;
    const bool assigned = SetVAMFromMidiList();
    m_extensionArea = 0;
    if (!assigned) return 0;
  }
  int result = 1;
  if (keep == 1) {
    PhaseStopwatch watch(m_initStopwatches, "CKZ1Doc::init  Setup VoiceItem");
    result = SetupInitVoices(list, fresh);
    if (result == 0) return 0;
  } else if (!CompactVoiceSlots(list, snapshot)) {
    return 0;
  }
  TakeInitMasterVolume(list, keep);
  for (int k = 0; k < 16; ++k) {
    if (m_channelValues[k] == 0 && m_channelWords[k] == 0) {
      SetChannelLED(k, 0);
      SetChannelVS(k, 0);
    }
  }
  if (!CheckInitWaveCount()) return 0;
  SendUsedUserWaves();
  TakeInitContentsInfo(list);
  const int timeBase = OutputProfile() == 4 ? 20 : list.GetTimeBase();
  SetTimeBaseKZ3((timeBase == 4 || timeBase == 5 || timeBase == 10 || timeBase == 20) ? timeBase : 4);
  if (!CheckInitPlayTime(list)) return 0;
  TakeInitSectionTime();
  TakeInitFigures(list);
  return result;
}
