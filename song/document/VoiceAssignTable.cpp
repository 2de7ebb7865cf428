// The song's 512 voice slots.
#include "song/document/VoiceAssignTable.h"

#include <cstring>

CVoiceAssignTable::CVoiceAssignTable()
    : m_kz1Voices(new uint8_t[kSlotCount * kKZ1VoiceSize]),
      m_voice2(new CVoice2[kSlotCount]),
      m_items(new CVoiceItem[kSlotCount]) {
  Reset(0);
}

CVoiceAssignTable::~CVoiceAssignTable() = default;

void CVoiceAssignTable::Reset(int useCountsOnly) {
  if (useCountsOnly == 0) {
    for (int i = 0; i < kSlotCount; ++i) ClearSlot(i);
  }
  std::memset(m_useCounts, 0, sizeof(m_useCounts));
}

void CVoiceAssignTable::ClearSlot(int i) {
  if (!Valid(i)) return;
  m_bankMsb[i] = kUnset;
  m_bankLsb[i] = kUnset;
  m_program[i] = kUnset;
  m_note[i] = 0;
  std::memset(m_kz1Voices.get() + i * kKZ1VoiceSize, 0, kKZ1VoiceSize);
  m_voice2[i].Clear();
  m_items[i].Clear();
  m_items[i].SetWaveData(nullptr, 0);
}

int CVoiceAssignTable::SetAddress(int i, uint8_t msb, uint8_t lsb, uint8_t program,
                                  uint8_t note) {
  if (!Valid(i)) return 0;
  m_bankMsb[i] = msb;
  m_bankLsb[i] = lsb;
  m_program[i] = program;
  m_note[i] = note;
  return 1;
}

void CVoiceAssignTable::GetKZ1Voice(int i, uint8_t out[kKZ1VoiceSize]) const {
  if (!Valid(i)) {
    std::memset(out, 0, kKZ1VoiceSize);
    return;
  }
  std::memcpy(out, m_kz1Voices.get() + i * kKZ1VoiceSize, kKZ1VoiceSize);
}

const uint8_t* CVoiceAssignTable::GetKZ1VoiceBytes(int i) const {
  return Valid(i) ? m_kz1Voices.get() + i * kKZ1VoiceSize : nullptr;
}

int CVoiceAssignTable::SetKZ1Voice(int i, const uint8_t* voice33) {
  if (!Valid(i) || !voice33) return 0;
  std::memcpy(m_kz1Voices.get() + i * kKZ1VoiceSize, voice33, kKZ1VoiceSize);
  return 1;
}

int CVoiceAssignTable::SetVoice2(int i, const CVoice2& voice) {
  if (!Valid(i)) return 0;
  CVoice2& v = m_voice2[i];
  v = voice;
  v.SetBank(m_bankMsb[i]);
  v.SetVoiceNo(i & 0x0F);
  v.SetProgram(m_program[i] & 0x7F);
  return 1;
}

int CVoiceAssignTable::SetVoiceItem(int i, const CVoiceItem& item) {
  if (!Valid(i)) return 0;
  CVoiceItem& target = m_items[i];
  if (&target != &item) target = item;
  if (!target.IsPcm()) target.SetWaveData(nullptr, 0);
  WriteAddressIntoItem(i);
  return 1;
}

int CVoiceAssignTable::SetVoiceItemFields(int i, const CVoiceItem& item) {
  if (!Valid(i)) return 0;
  CVoiceItem& target = m_items[i];
  if (&target == &item) return 1;
  target.SetKind(item.GetKind());
  target.SetPcmFlag(item.IsPcm());
  target.SetExtFlag(item.GetExtFlag());
  target.SetFmVoice(item.GetFmVoice());
  target.SetPcmVoice(item.GetPcmVoice());
  target.SetExtBlock(item.GetExtBlock());
  target.SetWaveData(item.GetWaveData(), item.GetWaveDataSize());
  return 1;
}

void CVoiceAssignTable::WriteAddressIntoItem(int i) {
  CVoiceItem& item = m_items[i];
  item.SetIdHi(static_cast<uint8_t>(i / 256));
  item.SetIdLo(static_cast<uint8_t>(i % 256));
  item.SetProgram(m_program[i]);
  item.SetBankLsb(m_bankLsb[i]);
  item.SetBankMsb(m_bankMsb[i]);
  item.SetNote(m_note[i]);
}

int CVoiceAssignTable::GetUseCount(int channel, int slot) const {
  if (channel < 0 || channel >= kChannelCount || slot < 0 || slot >= kAreaSize) return 0;
  return m_useCounts[channel][slot];
}

int CVoiceAssignTable::SetUseCount(int channel, int slot, int value) {
  if (channel < 0 || channel >= kChannelCount || slot < 0 || slot >= kAreaSize) return 0;
  m_useCounts[channel][slot] = value;
  return 1;
}
