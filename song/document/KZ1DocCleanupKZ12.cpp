// The event clean-up of chip modes 1 and 2: the refresh passes, the song order, the note
// overlap fix and the rebuild of the voice slots after a load.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr uint32_t kUnsetTick = 0xFFFFFFFFu;

int ChipMode() { return platform::settings().GetChipMode(); }
bool IsGen12(int chip) { return chip == 1 || chip == 2; }

uint8_t Status(const CMidiMsg& m) { return m.GetLength() >= 1 ? m.GetByte(0) : 0; }
bool IsNoteOn(const CMidiMsg& m) { return m.GetLength() >= 2 && (Status(m) & 0xF0) == 0x90; }
bool IsControl(const CMidiMsg& m) { return m.GetLength() >= 3 && (Status(m) & 0xF0) == 0xB0; }
bool IsProgram(const CMidiMsg& m) { return m.GetLength() >= 2 && (Status(m) & 0xF0) == 0xC0; }
int ChannelOf(const CMidiMsg& m) { return Status(m) & 0x0F; }

bool IsKeptController(uint8_t controller) {
  return controller == 0 || controller == 1 || controller == 7 || controller == 10 ||
         controller == 11;
}

// Higher first: -1 when a's value is the higher.
int HigherFirst(int a, int b) { return a > b ? -1 : (a < b ? 1 : 0); }
int EarlierFirst(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

int CompareSongEvents(const CMidiMsg& a, const CMidiMsg& b) {
  if (int c = EarlierFirst(a.GetTick(), b.GetTick())) return c;
  const uint32_t ea = a.GetExtra();
  const uint32_t eb = b.GetExtra();
  if (ea != 0 || eb != 0) {
    if (ea == 0) return 1;
    if (eb == 0) return -1;
    return EarlierFirst(ea, eb);
  }
  const uint8_t sa = Status(a);
  const uint8_t sb = Status(b);
  if (IsNoteOn(a) && IsNoteOn(b)) {
    if (int c = EarlierFirst(a.GetEndTick(), b.GetEndTick())) return c;
    if (int c = HigherFirst(a.GetByte(1), b.GetByte(1))) return c;
    return HigherFirst(sa, sb);
  }
  if (IsControl(a) && IsControl(b)) return HigherFirst(a.GetByte(2), b.GetByte(2));
  return HigherFirst(sa, sb);
}

void CKZ1Doc::SortSongEvents() {
  // std::list::sort is stable: events the order cannot tell apart keep their list order.
  m_midlist.sort([](const std::unique_ptr<CMidiMsg>& a, const std::unique_ptr<CMidiMsg>& b) {
    return CompareSongEvents(*a, *b) < 0;
  });
}

int CKZ1Doc::FindSlotKZ12(int program) const {
  for (int i = 0; i < m_voiceLimit; ++i) {
    if (m_voiceAssign.GetProgram(i) == program) return i;
  }
  return -1;
}

int CKZ1Doc::FindUnusedSlotKZ12() const {
  for (int i = 0; i < m_voiceLimit; ++i) {
    if (m_voiceAssign.GetProgram(i) == CVoiceAssignTable::kUnset) return i;
  }
  return -1;
}

void CKZ1Doc::RefreshEventsKZ12(int secondPass) {
  if (secondPass == 0) {
    std::fill(std::begin(m_refreshLastEnd), std::end(m_refreshLastEnd), 0u);
    for (auto it = m_midlist.begin(); it != m_midlist.end();) {
      const CMidiMsg& m = **it;
      if (IsNoteOn(m) && m.GetEndTick() == m.GetTick()) {
        it = m_midlist.erase(it);
        continue;
      }
      if (IsNoteOn(m)) {
        uint32_t& last = m_refreshLastEnd[ChannelOf(m)];
        last = std::max(last, m.GetEndTick());
      }
      ++it;
    }
    SortSongEvents();
    return;
  }

  const bool qxCue = platform::ui().IsQXCueEnabled();
  uint32_t firstNote[16];
  uint32_t latestEnd[16] = {};
  std::fill(std::begin(firstNote), std::end(firstNote), kUnsetTick);
  for (auto it = m_midlist.begin(); it != m_midlist.end();) {
    const CMidiMsg& m = **it;
    bool drop = false;
    if (qxCue && m.GetExtra() != 0) {
      SetCuePoint(static_cast<int>(m.GetExtra()), kNoCue, 0);
      drop = true;
    } else if (m.GetExtra() != 0) {
      drop = false;
    } else if (IsNoteOn(m)) {
      const int k = ChannelOf(m);
      if (firstNote[k] == kUnsetTick) firstNote[k] = m.GetTick();
      latestEnd[k] = std::max(latestEnd[k], m.GetEndTick());
    } else if (IsControl(m)) {
      const int k = ChannelOf(m);
      const uint8_t controller = m.GetByte(1);
      const bool beforeNotes = firstNote[k] == kUnsetTick || m.GetTick() <= firstNote[k];
      drop = (beforeNotes && (controller == 0 || controller == 7)) || !IsKeptController(controller);
    } else if (IsProgram(m)) {
      const int k = ChannelOf(m);
      const bool beforeNotes = firstNote[k] == kUnsetTick || m.GetTick() <= firstNote[k];
      if (qxCue || beforeNotes) {
        drop = true;
      } else if (m.GetTick() > m_refreshLastEnd[k] || m.GetTick() < latestEnd[k]) {
        drop = true;
      } else if (FindSlotKZ12(m.GetByte(1)) < 0) {
        const int slot = FindUnusedSlotKZ12();
        drop = slot < 0 || !AssignKZ12Voice(slot, 0, m.GetByte(1));
      }
    }
    it = drop ? m_midlist.erase(it) : std::next(it);
  }
  SortSongEvents();
}

void CKZ1Doc::RebuildVoiceSlotsKZ12() {
  if (!IsGen12(ChipMode())) return;
  if (m_tempo < 9) m_tempo = 9;
  for (int k = 0; k < 16; ++k) m_setup.SetVoiceSlot(k, CVoiceAssignTable::kUnset);
  for (int k = 0; k < m_channelCount && k < 16; ++k) {
    const int msb = m_setup.GetBankMsb(k);
    const int lsb = m_setup.GetBankLsb(k);
    const int program = m_setup.GetProgram(k);
    int slot = FindVoiceIndex(msb, lsb, program, 255);
    if (slot < 0) {
      slot = FindUnusedSlotKZ12();
      if (slot < 0) continue;
      AssignVoice(slot, msb, lsb, program, 0);
    }
    SetChannelVoiceSlot(k, slot);
  }
  FixNoteOverlaps();
  RefreshChannelVoices(0);
}
