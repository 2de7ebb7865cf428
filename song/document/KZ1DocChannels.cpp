// The song document's channel map: cue points, time bases, initial channel values from the
// events, channel volume and stream-PCM settings.
#include "platform/host/HostServices.h"
#include "song/SmfDialect.h"
#include "song/document/KZ1Doc.h"
#include "song/document/MetaMsgClass.h"

namespace {

int ChipMode() { return platform::settings().GetChipMode(); }
bool IsGen35(int chip) { return chip == 3 || chip == 5; }
bool IsGen12(int chip) { return chip == 1 || chip == 2; }
bool IsNoteOn(const CMidiMsg& m) { return m.GetLength() >= 1 && (m.GetByte(0) & 0xF0) == 0x90; }

bool FirstNoteTick(const CKZ1Doc::EventList& list, uint32_t& tick) {
  for (const auto& m : list) {
    if (IsNoteOn(*m)) {
      tick = m->GetTick();
      return true;
    }
  }
  return false;
}

bool LastNoteEnd(const CKZ1Doc::EventList& list, uint32_t& end) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (IsNoteOn(**it)) {
      end = (*it)->GetEndTick();
      return true;
    }
  }
  return false;
}

// Stream-PCM slot of a drum key: notes 0-12 trigger slots 1-13, notes 92-127 slots 14-49.
int SlotOfKey(int key) {
  if (key >= 0 && key <= 12) return key + 1;
  if (key >= 92 && key <= 127) return key - 78;
  return 0;
}

}  // namespace

int CKZ1Doc::SetCuePoint(int kind, uint32_t tick, int refresh) {
  if (kind == 0) return 1;
  if (kind < 0 || kind >= kCueCount) return 0;
  if (!m_refreshSuppress && !IsCueTickAllowed(kind, tick)) return 0;
  m_cuePoints[kind] = tick;
  if (refresh == 1 && IsGen12(ChipMode())) StoreCueEvent(kind, tick);
  platform::ui().FillSectionCombo();
  return 1;
}

bool CKZ1Doc::IsCueTickAllowed(int kind, uint32_t tick) const {
  if (tick == kNoCue || (kind != kStartCue && kind != kStopCue)) return true;
  const uint32_t start = m_cuePoints[kStartCue];
  const uint32_t stop = m_cuePoints[kStopCue];
  if (kind == kStopCue) {
    uint32_t first = 0;
    if ((FirstNoteTick(m_midlist, first) || FirstNoteTick(m_midlist_PCM, first)) && tick <= first) {
      return false;
    }
    if (start != kNoCue && tick <= start) return false;
  } else {
    uint32_t end = 0;
    if ((LastNoteEnd(m_midlist, end) || LastNoteEnd(m_midlist_PCM, end)) && tick > end) {
      return false;
    }
    if (stop != kNoCue && tick >= stop) return false;
  }
  if (m_playRangeOn && (tick < m_playRangeStart || tick > m_playRangeEnd)) return false;
  return true;
}

void CKZ1Doc::StoreCueEvent(int kind, uint32_t tick) {
  m_midlist.remove_if([kind](const std::unique_ptr<CMidiMsg>& m) {
    return m->GetExtra() == static_cast<uint32_t>(kind);
  });
  if (tick != kNoCue) {
    const uint8_t code = static_cast<uint8_t>(kind <= 2 ? kind - 1 : kind);
    const uint8_t bytes[] = {0xFF, 0x7F, 0x04, kDialectMakerId, 0x7B, 0x02, code};
    auto cue = std::make_unique<CMidiMsg>(tick, 0, 7, bytes, static_cast<uint32_t>(kind));
    // Kept at its tick, behind the events already there, so the list stays in song order.
    auto at = m_midlist.begin();
    while (at != m_midlist.end() && (*at)->GetTick() <= tick) ++at;
    m_midlist.insert(at, std::move(cue));
  }
  RefreshChannelVoices(0);
  SetModifiedFlags(0);
}

int CKZ1Doc::SetTimeBaseKZ3(int v) {
  if (v <= 0 || v > 0xFFFFFF) return 0;
  m_timeBaseKZ3 = v;
  return 1;
}

int CKZ1Doc::SetTimeBaseMs(int ms) {
  if (!IsGen12(ChipMode())) return 0;
  m_timeBase = ms;
  m_tempo = QuantizeTempo(m_tempo);
  m_pendingTimeBase = 4;
  SetModifiedFlags(0);
  return 1;
}

void CKZ1Doc::RefreshChannelVoices(int secondPass) {
  if (m_refreshSuppress) return;
  InitChannelSetupFromEvents();
  if (IsGen12(ChipMode())) {
    RefreshEventsKZ12(secondPass);
    if (secondPass == 0) {
      RefreshChannelVoices(1);
      RefreshChannelVoices(1);
    }
  }
  // In chip modes 3 and 5 a channel is present while it has a note; the other modes count
  // every channel as present.
  const bool byNotes = IsGen35(ChipMode());
  bool hasNote[16] = {};
  for (const auto& m : m_midlist) {
    if (byNotes && IsNoteOn(*m)) hasNote[m->GetByte(0) & 0x0F] = true;
  }
  for (int k = 0; k < 16; ++k) m_channelValues[k] = (!byNotes || hasNote[k]) ? 1 : 0;
}

void CKZ1Doc::InitChannelSetupFromEvents() {
  enum { kMsb, kLsb, kProgram, kVolume };
  const int chip = ChipMode();
  bool taken[16][4];
  uint32_t firstNote[16];
  bool hasNote[16] = {};
  for (int k = 0; k < 16; ++k) {
    taken[k][kMsb] = m_setup.GetBankMsb(k) < 255;
    taken[k][kLsb] = m_setup.GetBankLsb(k) < 255;
    taken[k][kProgram] = m_setup.GetProgram(k) < 255;
    taken[k][kVolume] = m_setup.GetVolume(k) < 255;
    firstNote[k] = 0;
  }
  for (const auto& m : m_midlist) {
    if (m->GetLength() < 2) continue;
    const uint8_t status = m->GetByte(0);
    if (status < 0x80 || status >= 0xF0) continue;
    const int k = status & 0x0F;
    if (k >= m_channelCount) continue;
    const int kind = status & 0xF0;
    if (kind == 0x90) {
      if (!hasNote[k]) firstNote[k] = m->GetTick();
      hasNote[k] = true;
      continue;
    }
    const bool lateEvent = hasNote[k] && m->GetTick() != firstNote[k];
    const auto take = [&](int field, uint8_t v) {
      if (taken[k][field]) return;
      taken[k][field] = true;
      if (field == kMsb) m_setup.SetBankMsb(k, v);
      if (field == kLsb) m_setup.SetBankLsb(k, v);
      if (field == kProgram) m_setup.SetProgram(k, v);
      if (field == kVolume) m_setup.SetVolume(k, v);
    };
    if (kind == 0xC0) {
      if (!lateEvent) take(kProgram, m->GetByte(1));
    } else if (kind == 0xB0 && m->GetLength() >= 3) {
      const uint8_t controller = m->GetByte(1);
      const uint8_t value = m->GetByte(2);
      if (controller == 0 && !lateEvent) take(kMsb, value);
      if (controller == 32 && !lateEvent) take(kLsb, value);
      if (controller == 7 && ((IsGen12(chip) && !lateEvent) || IsGen35(chip))) take(kVolume, value);
    }
  }

  bool entryTaken[kStreamSlotCount] = {};
  bool keyMarked[kStreamSlotCount] = {};
  for (int s = 1; s < kStreamSlotCount; ++s) entryTaken[s] = m_setup.GetSlotSettingFirst(s - 1) < 255;
  for (const auto& m : m_midlist_PCM) {
    if (IsNoteOn(*m) && m->GetLength() >= 2) {
      if (int s = SlotOfKey(m->GetByte(1))) keyMarked[s] = true;
      continue;
    }
    if (ClassifyMetaMsg(*m) != kMsgDeviceSlot || m->GetLength() < 10) continue;
    const int s = m->GetByte(7);
    const uint8_t kind = m->GetByte(8);
    if (s < 1 || s >= kStreamSlotCount || entryTaken[s] || keyMarked[s] || kind > 2) continue;
    m_setup.SetSlotSetting(s - 1, kind, m->GetByte(9));
    entryTaken[s] = true;
  }

  uint8_t defaults[3] = {124, 0, 0};
  if (IsGen35(chip)) {
    for (int k = 0; k < 16; ++k) {
      if (taken[k][kMsb] && taken[k][kLsb] && taken[k][kProgram]) {
        defaults[0] = m_setup.GetBankMsb(k);
        defaults[1] = m_setup.GetBankLsb(k);
        defaults[2] = m_setup.GetProgram(k);
        break;
      }
    }
  }
  for (int k = 0; k < 16; ++k) {
    if (!taken[k][kMsb] && IsGen12(chip)) m_setup.SetBankMsb(k, 0);
    if (!taken[k][kMsb] && IsGen35(chip)) m_setup.SetBankMsb(k, defaults[0]);
    if (!taken[k][kLsb] && IsGen12(chip)) m_setup.SetBankLsb(k, 0);
    if (!taken[k][kLsb] && IsGen35(chip)) m_setup.SetBankLsb(k, defaults[1]);
    const int slot = m_setup.GetVoiceSlot(k);
    if (!taken[k][kVolume] && slot < 255) {
      if (chip == 2) m_setup.SetVolume(k, 127);
      if (chip == 1) m_setup.SetVolume(k, static_cast<uint8_t>(127 - CarrierLevelKZ1(slot)));
    }
    if (!taken[k][kProgram]) m_setup.SetProgram(k, defaults[2]);
  }
}

int CKZ1Doc::CarrierLevelKZ1(int slot) const {
  const uint8_t* voice = m_voiceAssign.GetKZ1VoiceBytes(slot);
  if (!voice) return 0;
  const uint32_t word = (uint32_t{voice[24]} << 24) | (uint32_t{voice[25]} << 16) |
                        (uint32_t{voice[26]} << 8) | voice[27];
  return static_cast<int>((word >> 4) & 63);
}

int CKZ1Doc::SetChannelVolume(int k, int v) {
  if (!InChannel(k)) return 0;
  m_setup.SetVolume(k, static_cast<uint8_t>(v));
  if (!IsGen35(ChipMode())) return 1;
  bool found = false;
  for (auto& m : m_midlist) {
    if (m->GetLength() >= 3 && m->GetByte(0) == (0xB0 | k) && m->GetByte(1) == 7) {
      m->GetData()[2] = static_cast<uint8_t>(v & 0x7F);
      found = true;
      break;
    }
  }
  if (found) platform::ui().UpdateSongWindows();
  m_setup.SetNoVolumeEvent(k, found ? 0 : 1);
  return 1;
}

int CKZ1Doc::SetStreamPcmSetting(int s, int a, int b) {
  if (s < 1 || s >= kStreamSlotCount) return 0;
  m_setup.SetSlotSetting(s - 1, static_cast<uint8_t>(a), static_cast<uint8_t>(b));
  if (!IsGen35(ChipMode())) return 1;
  bool changed = false;
  for (auto& m : m_midlist_PCM) {
    if (IsNoteOn(*m) && m->GetLength() >= 2 && SlotOfKey(m->GetByte(1)) == s) break;
    if (ClassifyMetaMsg(*m) == kMsgDeviceSlot && m->GetLength() >= 10 && m->GetByte(7) == s) {
      m->GetData()[8] = static_cast<uint8_t>(a);
      m->GetData()[9] = static_cast<uint8_t>(b);
      changed = true;
      break;
    }
  }
  if (changed) platform::ui().UpdateSongWindows();
  m_setup.SetSlotFlag(s - 1, changed ? 0 : 1);
  return 1;
}
