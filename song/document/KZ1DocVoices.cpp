// The song document's voice assignment: lookup, uniqueness, assignment of library and given
// voices, channel-to-slot operations, the RAM estimate and the output setup.
#include <cstring>

#include "platform/host/HostServices.h"
#include "song/SongPrimitives.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kArea = CVoiceAssignTable::kAreaSize;
constexpr uint8_t kUnset = CVoiceAssignTable::kUnset;

int ChipMode() { return platform::settings().GetChipMode(); }
bool IsGen35(int chip) { return chip == 3 || chip == 5; }
bool IsGen12(int chip) { return chip == 1 || chip == 2; }
CVoiceLibrary* Library() { return platform::registry().voiceLibrary; }
uint8_t Byte(int v) { return static_cast<uint8_t>(v); }

}  // namespace

int IsKZ3DrumNoteAllowed(int b0, int b1, int b2, int note) {
  const auto& s = platform::settings();
  const int chip = s.GetChipMode();
  const int profile = s.GetOutputProfile();
  const int maker = s.GetMakerID();
  if (!IsGen35(chip) || (profile != 1 && profile != 7) || (maker != 2 && maker != 4)) return 0;
  if (b0 == 0) {
    if (b1 != 0 || b2 > 127) return 0;
  } else if (b0 != 0x7D || b1 != 0 || b2 != 10) {
    return 0;
  }
  return ((note >= 24 && note <= 34) || (note >= 82 && note <= 84)) ? 1 : 0;
}

bool CKZ1Doc::IsSecondAreaVoice(int msb, int lsb, int program, int note) const {
  return IsKZ3DrumNoteAllowed(msb, lsb, program, note) != 0;
}

int CKZ1Doc::IsVoiceAddressUnique(int i, int msb, int lsb, int program, int note) const {
  const int chip = ChipMode();
  const CVoiceAssignTable& t = m_voiceAssign;
  if (IsGen12(chip)) {
    for (int j = 0; j < kArea; ++j) {
      if (j == i || t.GetProgram(j) != program) continue;
      if (chip == 1 || t.GetBankMsb(j) == msb) return 0;
    }
    return 1;
  }
  if (!IsGen35(chip)) return 1;
  const int first = IsSecondAreaVoice(msb, lsb, program, note) ? kArea : 0;
  for (int j = first; j < first + kArea; ++j) {
    if (j != i && t.GetNote(j) == note && t.GetProgram(j) == program &&
        t.GetBankMsb(j) == msb && t.GetBankLsb(j) == lsb) {
      return 0;
    }
  }
  return 1;
}

int CKZ1Doc::SearchVoiceArea(int first, int msb, int lsb, int program, int note) const {
  const CVoiceAssignTable& t = m_voiceAssign;
  for (int j = first; j < first + kArea; ++j) {
    if (t.GetBankMsb(j) != msb || t.GetBankLsb(j) != lsb || t.GetProgram(j) != program) continue;
    const int slotNote = t.GetNote(j);
    bool match = false;
    if (msb == 124) {
      match = true;
    } else if (msb == 125) {
      match = slotNote == note;
    } else if (msb == 0) {
      match = slotNote == note || (note >= 255 && slotNote == 0);
    }
    if (match) return j;
  }
  return -1;
}

int CKZ1Doc::FindVoiceIndex(int msb, int lsb, int program, int note) const {
  const int chip = ChipMode();
  if (IsGen12(chip)) {
    for (int j = 0; j < kArea; ++j) {
      if (m_voiceAssign.GetProgram(j) == program) return j;
    }
    return -1;
  }
  if (!IsGen35(chip)) return -1;
  const int area = IsSecondAreaVoice(msb, lsb, program, note) ? kArea : 0;
  int found = SearchVoiceArea(area, msb, lsb, program, note);
  if (found < 0 && m_extensionArea == 1) {
    found = SearchVoiceArea(area + 2 * kArea, msb, lsb, program, note);
  }
  return found;
}

int CKZ1Doc::FindUnusedVoiceSlot(int msb, int lsb, int program, int note) const {
  const int area = IsGen35(ChipMode()) && IsSecondAreaVoice(msb, lsb, program, note) ? kArea : 0;
  for (int j = area; j < area + kArea; ++j) {
    if (m_voiceAssign.GetProgram(j) == kUnset) return j;
  }
  if (m_extensionArea == 1) {
    for (int j = 2 * kArea; j < CVoiceAssignTable::kSlotCount; ++j) {
      if (m_voiceAssign.GetProgram(j) == kUnset) return j;
    }
  }
  return -1;
}

int CKZ1Doc::AssignVoice(int i, int msb, int lsb, int program, int note) {
  const int chip = ChipMode();
  if (IsGen12(chip)) {
    if (IsVoiceAddressUnique(i, msb, lsb, program, note)) return AssignKZ12Voice(i, msb, program);
    return AssignKZ12Voice(i, msb, (program + 1) % 128);
  }
  if (!IsGen35(chip)) return 0;
  // Each program is tried once: a full area is refused instead of searching for ever.
  for (int tries = 0; tries < 128; ++tries) {
    if (IsVoiceAddressUnique(i, msb, lsb, program, note)) {
      return AssignVoiceItemKZ35(i, msb, lsb, program, note);
    }
    program = (program + 1) % 128;
    note = 0;
  }
  return 0;
}

int CKZ1Doc::AssignVoiceItemKZ35(int i, int msb, int lsb, int program, int note) {
  if (i < 0 || i >= CVoiceAssignTable::kSlotCount) return 0;
  CVoiceItem item;
  if (CVoiceLibrary* library = Library()) {
    if (const CVoiceItem* found = library->FindOrCreateVoice(msb, lsb, program, note)) item = *found;
  }
  m_voiceAssign.SetAddress(i, Byte(msb), Byte(lsb), Byte(program), Byte(note));
  m_voiceAssign.SetVoiceItem(i, item);
  RefreshChannelCopies(i);
  return 1;
}

int CKZ1Doc::AssignKZ12Voice(int i, int bank, int program) {
  const int chip = ChipMode();
  if (!IsGen12(chip) || i < 0 || i >= CVoiceAssignTable::kSlotCount) return 0;
  m_voiceAssign.SetAddress(i, Byte(bank), 0, Byte(program), 0);
  CVoiceLibrary* library = Library();
  if (chip == 1) {
    uint8_t cleared[CVoiceAssignTable::kKZ1VoiceSize] = {};
    const uint8_t* voice = library ? library->GetVoiceTableEntry(0, program) : cleared;
    m_voiceAssign.SetKZ1Voice(i, voice ? voice : cleared);
  } else {
    CVoice2 cleared;
    const CVoice2* voice = library ? library->GetVoice2(bank, program) : nullptr;
    m_voiceAssign.SetVoice2(i, voice ? *voice : cleared);
  }
  RefreshChannelCopies(i);
  return 1;
}

int CKZ1Doc::AssignGivenKZ1Voice(int i, int bank, int program, const uint8_t* voice33) {
  if (!voice33 || !IsVoiceAddressUnique(i, bank, 0, program, 0)) return 0;
  if (!m_voiceAssign.SetAddress(i, Byte(bank), 0, Byte(program), 0)) return 0;
  m_voiceAssign.SetKZ1Voice(i, voice33);
  RefreshChannelCopies(i);
  return 1;
}

int CKZ1Doc::AssignGivenKZ2Voice(int i, int bank, int program, const CVoice2& voice, int store) {
  if (!IsVoiceAddressUnique(i, bank, 0, program, 0)) return 0;
  if (i < 0 || i >= CVoiceAssignTable::kSlotCount) return 0;
  const int oldProgram = m_voiceAssign.GetProgram(i);
  if (!m_path.empty()) {
    // The song's program changes follow the slot to its new program.
    for (auto& msg : m_midlist) {
      if (msg->GetLength() >= 2 && (msg->GetByte(0) & 0xF0) == 0xC0 &&
          msg->GetByte(1) == oldProgram) {
        msg->GetData()[1] = Byte(program & 0x7F);
      }
    }
  }
  m_voiceAssign.SetAddress(i, Byte(bank), 0, Byte(program), 0);
  CVoiceLibrary* library = Library();
  const CVoice2* fromLibrary = library ? library->GetVoice2(bank, program) : nullptr;
  m_voiceAssign.SetVoice2(i, fromLibrary ? *fromLibrary : CVoice2());
  if (store) {
    SetModifiedFlags(0);
    m_voiceAssign.GetVoice2(i)->SetName(voice.GetName());
  }
  RefreshChannelCopies(i);
  return 1;
}

int CKZ1Doc::AssignGivenVoiceItem(int i, int msb, int lsb, int program, int note,
                                  const CVoiceItem& item, int store) {
  if (!IsVoiceAddressUnique(i, msb, lsb, program, note)) return 0;
  if (!m_voiceAssign.SetAddress(i, Byte(msb), Byte(lsb), Byte(program), Byte(note))) return 0;
  CVoiceItem fromBank;
  if (CVoiceLibrary* library = Library()) {
    if (const CVoiceItem* found = library->FindOrCreateVoice(msb, lsb, program, note)) {
      fromBank = *found;
    }
  }
  m_voiceAssign.SetVoiceItem(i, fromBank);
  if (store) {
    SetModifiedFlags(0);
    m_voiceAssign.SetVoiceItemFields(i, item);
  }
  RefreshChannelCopies(i);
  if (platform::board().HasBoardDevice()) platform::board().SendVoice(*m_voiceAssign.GetVoiceItem(i), 0);
  return 1;
}

void CKZ1Doc::RefreshChannelCopies(int slot) {
  for (int k = 0; k < 16; ++k) {
    if (m_setup.GetVoiceSlot(k) != slot) continue;
    m_setup.SetBankMsb(k, m_voiceAssign.GetBankMsb(slot));
    m_setup.SetBankLsb(k, m_voiceAssign.GetBankLsb(slot));
    m_setup.SetProgram(k, m_voiceAssign.GetProgram(slot));
  }
}

int CKZ1Doc::GetChannelVoiceSlot(int k) const { return m_setup.GetVoiceSlot(k); }

int CKZ1Doc::SetChannelVoiceSlot(int k, int i) {
  if (!InChannel(k)) return 0;
  m_setup.SetVoiceSlot(k, i);
  RefreshChannelCopies(m_setup.GetVoiceSlot(k));
  return 1;
}

int CKZ1Doc::SetChannelBankMsb(int k, int v) {
  const int slot = GetChannelVoiceSlot(k);
  if (!InChannel(k) || slot == kUnset) return 0;
  return AssignVoice(slot, v, GetChannelBankLsb(k), GetChannelProgram(k), GetVoiceNote(slot));
}

int CKZ1Doc::SetChannelBankLsb(int k, int v) {
  const int slot = GetChannelVoiceSlot(k);
  if (!InChannel(k) || slot == kUnset) return 0;
  return AssignVoice(slot, GetChannelBankMsb(k), v, GetChannelProgram(k), GetVoiceNote(slot));
}

int CKZ1Doc::SetChannelProgram(int k, int v) {
  const int slot = GetChannelVoiceSlot(k);
  if (!InChannel(k) || slot == kUnset) return 0;
  return AssignVoice(slot, GetChannelBankMsb(k), GetChannelBankLsb(k), v, GetVoiceNote(slot));
}

int CKZ1Doc::GetSlotUseCount(int i) const {
  int total = 0;
  for (int k = 0; k < 16; ++k) total += m_voiceAssign.GetUseCount(k, i);
  return total;
}

int CKZ1Doc::SetVoiceItem(int i, const CVoiceItem& item, int send) {
  if (!m_voiceAssign.SetVoiceItem(i, item)) return 0;
  SetModifiedFlags(0);
  if (send == 1 && platform::board().HasBoardDevice()) {
    platform::board().SendVoice(*m_voiceAssign.GetVoiceItem(i), 0);
  }
  return 1;
}

int CKZ1Doc::SetKZ1Voice(int i, const uint8_t* voice33) {
  if (ChipMode() != 1 || !m_voiceAssign.SetKZ1Voice(i, voice33)) return 0;
  SetModifiedFlags(0);
  return 1;
}

void CKZ1Doc::GetKZ2Voice(int i, CVoice2& out) const {
  const CVoice2* voice = m_voiceAssign.GetVoice2(i);
  out = voice ? *voice : CVoice2();
}

int CKZ1Doc::SetVoiceSlotBytes(int i, int msb, int lsb, int program, int note) {
  if (!m_voiceAssign.SetAddress(i, Byte(msb), Byte(lsb), Byte(program), Byte(note))) return 0;
  SetModifiedFlags(0);
  return 1;
}

int CKZ1Doc::SetVoiceSlotBytes(int i, const CVoice2& voice) {
  // The address first: the slot's voice record takes its bank and program from it.
  if (!m_voiceAssign.SetAddress(i, Byte(voice.GetBank()), 0, Byte(voice.GetProgram()), 0)) return 0;
  m_voiceAssign.SetVoice2(i, voice);
  RefreshChannelCopies(i);
  SetModifiedFlags(0);
  return 1;
}

int CKZ1Doc::IsSlotVoiceUnchanged(int i) const {
  CVoiceLibrary* library = Library();
  if (!library || i < 0 || i >= CVoiceAssignTable::kSlotCount) return 0;
  const int chip = ChipMode();
  const int msb = m_voiceAssign.GetBankMsb(i);
  const int program = m_voiceAssign.GetProgram(i);
  if (chip == 1) {
    const uint8_t* voice = library->GetVoiceTableEntry(0, program);
    return voice && std::memcmp(voice, m_voiceAssign.GetKZ1VoiceBytes(i),
                                CVoiceAssignTable::kKZ1VoiceSize) == 0 ? 1 : 0;
  }
  if (chip == 2) {
    const CVoice2* voice = library->GetVoice2(msb, program);
    return voice && voice->IsSameParams(*m_voiceAssign.GetVoice2(i)) ? 1 : 0;
  }
  if (!IsGen35(chip)) return 0;
  const CVoiceItem* voice = library->GetVoiceBank().FindVoice(
      msb, m_voiceAssign.GetBankLsb(i), program, m_voiceAssign.GetNote(i));
  return voice && voice->IsSameData(*m_voiceAssign.GetVoiceItem(i)) ? 1 : 0;
}

bool CKZ1Doc::IsVoiceItemUsed(const CVoiceItem* item) const {
  if (!item) return false;
  for (int i = 0; i < CVoiceAssignTable::kSlotCount; ++i) {
    if (m_voiceAssign.GetVoiceItem(i) == item && m_voiceAssign.GetProgram(i) != kUnset) return true;
  }
  return false;
}

int CKZ1Doc::IsNoteInRange(int channel, int note) const {
  const int chip = ChipMode();
  if (chip == 2 || IsGen35(chip)) return 1;
  if (chip != 1) return 0;
  if (note == 108 && platform::ui().IsQXCueEnabled()) return 0;
  const uint8_t* voice = m_voiceAssign.GetKZ1VoiceBytes(GetChannelVoiceSlot(channel));
  if (!voice) return 0;
  static const struct { uint8_t bit; int low; int high; } kRanges[] = {
      {0x10, 37, 72}, {0x20, 49, 84}, {0x40, 61, 96}, {0x80, 73, 108}};
  int low = 128;
  int high = -1;
  for (const auto& r : kRanges) {
    if (!(voice[32] & r.bit)) continue;
    if (r.low < low) low = r.low;
    if (r.high > high) high = r.high;
  }
  return (note >= low && note <= high) ? 1 : 0;
}
