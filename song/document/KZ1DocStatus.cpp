// The song document's chip-mode limits, channel status fields and stream-PCM slots with their
// fixed trigger keys.
#include "platform/host/HostServices.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"

namespace {

int ChipMode() { return platform::settings().GetChipMode(); }

enum StatusField { kFieldKind, kFieldVS, kFieldHigh, kFieldLED };

struct FieldLayout {
  int shift;
  int mask;  // 0: the field does not exist in this chip mode
};

// Where each field sits in the status byte: chip modes 1 and 2, then 3 and 5.
FieldLayout Layout(int chip, int field) {
  const bool gen35 = chip == 3 || chip == 5;
  switch (field) {
    case kFieldKind: return {0, 0x03};
    case kFieldVS: return gen35 ? FieldLayout{5, 0x01} : FieldLayout{2, 0x01};
    case kFieldHigh: return gen35 ? FieldLayout{6, 0x03} : FieldLayout{3, 0x01};
    default: return gen35 ? FieldLayout{4, 0x01} : FieldLayout{0, 0};
  }
}

bool HasStatus(int chip, int field) {
  if (chip < 1 || chip > 5) return false;
  return !(chip == 4 && field == kFieldKind);
}

}  // namespace

void CKZ1Doc::SetChipModeLimits(int mode) {
  if (mode < 1 || mode > 5 || mode == 4) return;
  m_channelCount = mode == 1 ? 4 : 16;
  m_secondChannelCount = mode == 1 ? 8 : 16;
  m_channelTableCount = 16;
  m_waveScanSlots = (mode == 1 || mode == 2) ? 16 : 128;
  m_waveCount = 32;
  m_channelMask = mode == 1 ? 0x000F : 0xFFFF;
  for (int k = 0; k < m_channelCount; ++k) m_channelWords[k] = 0;
}

int CKZ1Doc::StatusField(int k, int field) const {
  const int chip = ChipMode();
  if (!HasStatus(chip, field) || !InChannel(k)) return 0;
  const FieldLayout f = Layout(chip, field);
  return (m_setup.GetStatus(k) >> f.shift) & f.mask;
}

int CKZ1Doc::SetStatusField(int k, int field, int v) {
  const int chip = ChipMode();
  if (!HasStatus(chip, field) || !InChannel(k)) return 1;
  const FieldLayout f = Layout(chip, field);
  if (f.mask == 0) return 1;
  const int cleared = m_setup.GetStatus(k) & ~(f.mask << f.shift);
  m_setup.SetStatus(k, static_cast<uint8_t>(cleared | ((v & f.mask) << f.shift)));
  return 1;
}

int CKZ1Doc::GetChannelStatusHigh(int k) const { return StatusField(k, kFieldHigh); }
int CKZ1Doc::SetChannelStatusHigh(int k, int v) { return SetStatusField(k, kFieldHigh, v); }
int CKZ1Doc::GetChannelVS(int k) const { return StatusField(k, kFieldVS); }
int CKZ1Doc::SetChannelVS(int k, int v) { return SetStatusField(k, kFieldVS, v); }
int CKZ1Doc::GetChannelLED(int k) const { return StatusField(k, kFieldLED); }
int CKZ1Doc::SetChannelLED(int k, int v) { return SetStatusField(k, kFieldLED, v); }
int CKZ1Doc::GetChannelKind(int k) const { return StatusField(k, kFieldKind); }
int CKZ1Doc::SetChannelKind(int k, int v) { return SetStatusField(k, kFieldKind, v); }

int CKZ1Doc::CheckChannelForVoice(int k, const CVoiceItem& item) const {
  switch (item.GetKind()) {
    case 2:
      return CountChannelVoices(k) > 0 ? 1 : 0;
    case 4:
      if (!InChannel(k) || (k & 4)) return 0;
      return m_voiceAssign.GetBankMsb(k + 4) == CVoiceAssignTable::kUnset ? 1 : 0;
    default:
      return 0;
  }
}

int CKZ1Doc::CheckChannelForVoice(int k, const CVoice2& voice) const {
  if (voice.GetOperatorCount() == 2) return CountChannelVoices(k) > 0 ? 1 : 0;
  if (!InChannel(k) || (k & 4)) return 0;
  return m_voiceAssign.GetBankMsb(k + 4) == CVoiceAssignTable::kUnset ? 1 : 0;
}

int CKZ1Doc::CountChannelVoices(int k) const {
  const int chip = ChipMode();
  if (chip == 1 || chip == 3 || chip == 5) return 1;
  if (chip != 2) return 0;
  if (!InChannel(k) || !(k & 4)) return 1;
  const CVoiceItem* item = m_voiceAssign.GetVoiceItem(k - 4);
  return item && item->GetKind() == 4 ? 0 : 1;
}

int CKZ1Doc::StreamPcmSlotKey(int i) {
  if (i >= 1 && i <= 13) return i - 1;
  if (i >= 14 && i <= 49) return i + 78;
  return 255;
}

void CKZ1Doc::BuildStreamPcmSlots() {
  if (!m_streamSlots) m_streamSlots.reset(new CStreamPCMSlot[kStreamSlotCount]);
  for (int i = 0; i < kStreamSlotCount; ++i) {
    m_streamSlots[i] = CStreamPCMSlot();
    ClearStreamPcmSlot(i);
    m_streamSlots[i].SetNote(static_cast<uint8_t>(StreamPcmSlotKey(i)));
  }
}

void CKZ1Doc::FreeStreamPcmSlots() { m_streamSlots.reset(); }

CStreamPCMSlot* CKZ1Doc::GetStreamPcmSlot(int i) const {
  return (m_streamSlots && i >= 0 && i < kStreamSlotCount) ? &m_streamSlots[i] : nullptr;
}

int CKZ1Doc::GetStreamPcmSlotProgram(int i) const {
  const CStreamPCMSlot* slot = GetStreamPcmSlot(i);
  return slot ? slot->GetProgram() : 255;
}

int CKZ1Doc::GetStreamPcmSlotNote(int i) const {
  const CStreamPCMSlot* slot = GetStreamPcmSlot(i);
  return slot ? slot->GetNote() : 255;
}

int CKZ1Doc::FindStreamPcmSlotByNote(int note) const {
  // 255 is what a missing table reads for every slot's key: no key selects a slot there.
  if (note < 0 || note > 127) return 255;
  for (int i = 1; i < kStreamSlotCount; ++i) {
    if (GetStreamPcmSlotNote(i) == note) return i;
  }
  return 255;
}

int CKZ1Doc::SetStreamPcmSlot(int i, const CStreamPCMSlot& source) {
  CStreamPCMSlot* slot = GetStreamPcmSlot(i);
  if (!slot) return 0;
  if (slot != &source) *slot = source;
  slot->SetBankMsb(125);
  slot->SetBankLsb(0);
  slot->SetProgram(0);
  slot->SetNote(static_cast<uint8_t>(StreamPcmSlotKey(i)));
  return 1;
}

int CKZ1Doc::ClearStreamPcmSlot(int i) {
  CStreamPCMSlot* slot = GetStreamPcmSlot(i);
  if (!slot) return 0;
  slot->SetBankMsb(255);
  slot->SetBankLsb(255);
  slot->SetProgram(255);
  slot->SetFlag(0);
  return 1;
}

int CKZ1Doc::IsVoiceSlotPcm(int i) const {
  const CVoiceItem* item = m_voiceAssign.GetVoiceItem(i);
  return item && item->IsPcm() ? 1 : 0;
}
