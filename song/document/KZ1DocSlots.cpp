// The song document's slot use words, channel voice maps and voice-slot channel masks.
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kAreaSize = CVoiceAssignTable::kAreaSize;
// Entries of a channel voice map that the setter fills; the rest stay free.
constexpr int kChannelSlotEnd = 126;

}  // namespace

void CKZ1Doc::ClearSlotUse(int table) {
  for (int t = 0; t < 16; ++t) {
    if (table != -1 && table != t) continue;
    for (int slot = 0; slot < kAreaSize; ++slot) m_voiceAssign.SetUseCount(t, slot, 0);
  }
}

int CKZ1Doc::GetVoiceUse(int table, int msb, int lsb, int program, int note) const {
  const int index = FindVoiceIndex(msb, lsb, program, note);
  return index < 0 ? 0 : GetSlotUse(table, index);
}

int CKZ1Doc::FindSameVoiceSlot(int table, int slot) const {
  const CVoiceAssignTable& t = m_voiceAssign;
  for (int j = 0; j < kAreaSize; ++j) {
    if (GetSlotUse(table, j) == 0) continue;
    if (t.GetBankMsb(j) == t.GetBankMsb(slot) && t.GetBankLsb(j) == t.GetBankLsb(slot) &&
        t.GetProgram(j) == t.GetProgram(slot) && t.GetNote(j) != t.GetNote(slot)) {
      return 0;
    }
  }
  return 1;
}

int CKZ1Doc::SetChannelSlot(int channel, int value, int index) {
  if (!InChannel(channel) || index < 0) return 0;
  for (int i = index; i < kChannelSlotEnd; ++i) {
    const int32_t held = GetChannelTableWord(channel, i);
    if (held == value) return 1;
    if (held == -1) {
      SetChannelTableWord(channel, i, value);
      return 1;
    }
  }
  return 0;
}

void CKZ1Doc::SetChannelSlotFlag(int bit, int index) {
  if (bit < 0 || bit >= 16 || index < 0 || index >= CVoiceAssignTable::kSlotCount) return;
  m_voiceChannelMask[index] = static_cast<uint16_t>(m_voiceChannelMask[index] | (1u << bit));
}

int CKZ1Doc::GetChannelSlotFlags(int index) const {
  if (index < 0 || index >= CVoiceAssignTable::kSlotCount) return 0;
  return m_voiceChannelMask[index];
}

void CKZ1Doc::SetChannelSlotFlags(int index, int mask) {
  if (index < 0 || index >= CVoiceAssignTable::kSlotCount) return;
  m_voiceChannelMask[index] = static_cast<uint16_t>(mask);
}

void CKZ1Doc::ClearChannelSlotFlags() {
  for (auto& mask : m_voiceChannelMask) mask = 0;
}

int CKZ1Doc::CountUsedVoiceItems() const {
  int count = 0;
  for (int i = 0; i < GetVoiceItemCount(); ++i) {
    if (m_voiceAssign.GetProgram(i) != CVoiceAssignTable::kUnset) ++count;
  }
  return count;
}
