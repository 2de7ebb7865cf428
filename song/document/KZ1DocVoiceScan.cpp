// The voice scan: which voices the song's events play, assigned to voice slots or asked for.
#include "platform/host/HostServices.h"
#include "song/SongPrimitives.h"
#include "song/VoiceAddr.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kDrumChannel = 9;  // channel 10
constexpr uint32_t kStopCue = 9;
constexpr int kFourOperatorsInGmMode = 7056;

struct VoiceQuery {
  int channel;
  int msb;
  int lsb;
  int program;
  int note;
};

class VoiceScan {
 public:
  VoiceScan(CKZ1Doc& doc, const VoiceQuery* query) : m_doc(doc), m_query(query) {}

  /// Assignment: false at the first voice that cannot be assigned. Query: true when found.
  bool Run();

 private:
  enum class Outcome { kGoOn, kFound, kFailed };

  Outcome OnEvent(const CMidiMsg& m);
  Outcome OnNote(int k, uint8_t note);
  void OnProgram(int k, uint8_t program);
  bool Matches(int k, const CVoiceAddr& a) const;
  bool Assign(int k, const CVoiceAddr& a);
  bool IsRefusedInGmMode(int slot) const;
  bool AssignPendingChannels();
  bool EnsureOneVoice();

  CKZ1Doc& m_doc;
  const VoiceQuery* m_query;
  CVoiceAddr m_building[16];
  CVoiceAddr m_sounding[16];
  bool m_initialSet[16] = {};
  bool m_afterStop = false;
};

bool VoiceScan::Run() {
  for (const auto& m : *m_doc.GetMidiList()) {
    const Outcome outcome = OnEvent(*m);
    if (m->GetExtra() == kStopCue) m_afterStop = true;
    if (outcome == Outcome::kFound) return true;
    if (outcome == Outcome::kFailed) return false;
  }
  if (m_query) return false;
  return AssignPendingChannels() && EnsureOneVoice();
}

VoiceScan::Outcome VoiceScan::OnEvent(const CMidiMsg& m) {
  if (m.GetLength() < 2) return Outcome::kGoOn;
  const uint8_t status = m.GetByte(0);
  const int k = status & 0x0F;
  switch (status & 0xF0) {
    case 0xB0:
      if (m.GetLength() < 3) break;
      if (m.GetByte(1) == 0) m_building[k].SetBankMsb(m.GetByte(2));
      if (m.GetByte(1) == 32) m_building[k].SetBankLsb(m.GetByte(2));
      break;
    case 0xC0:
      OnProgram(k, m.GetByte(1));
      break;
    case 0x90:
      return OnNote(k, m.GetByte(1));
    default:
      break;
  }
  return Outcome::kGoOn;
}

void VoiceScan::OnProgram(int k, uint8_t program) {
  CVoiceAddr& b = m_building[k];
  b.SetProgram(program);
  if (!b.IsBankMsbSet()) b.SetBankMsb(0);
  if (!b.IsBankLsbSet()) b.SetBankLsb(0);
  CVoiceAddr& s = m_sounding[k];
  s.SetBankMsb(b.GetBankMsb());
  s.SetBankLsb(b.GetBankLsb());
  s.SetProgram(b.GetProgram());
  // After the stop point a program change waits for no note.
  s.SetPending(m_afterStop ? 0 : 1);
}

VoiceScan::Outcome VoiceScan::OnNote(int k, uint8_t note) {
  CVoiceAddr& s = m_sounding[k];
  s.SetNote(note);
  if (!s.IsProgramSet()) {
    s.SetBankMsb(0);
    s.SetBankLsb(0);
    s.SetProgram(0);
    s.SetPending(m_afterStop ? 0 : 1);
  }
  if (!s.IsBankLsbSet()) s.SetBankLsb(0);
  if (!s.IsBankMsbSet()) s.SetBankMsb(0);
  bool accepted = true;
  switch (s.GetBankMsb()) {
    case 124:
      if (s.GetBankLsb() > 10) s.SetBankLsb(0);
      break;
    case 125:
      if (s.GetBankLsb() != 0) s.SetBankLsb(0);
      if (s.GetProgram() > 10) s.SetProgram(0);
      accepted = note >= 13 && note <= 91;
      break;
    case 0:
      break;
    default:
      accepted = false;
      break;
  }
  Outcome outcome = Outcome::kGoOn;
  if (accepted && m_query) {
    if (Matches(k, s)) outcome = Outcome::kFound;
  } else if (accepted && !Assign(k, s)) {
    outcome = Outcome::kFailed;
  }
  s.SetPending(0);
  return outcome;
}

bool VoiceScan::Matches(int k, const CVoiceAddr& a) const {
  const VoiceQuery& q = *m_query;
  if (q.channel != 255 && q.channel != k) return false;
  if (a.GetBankMsb() != q.msb || a.GetBankLsb() != q.lsb || a.GetProgram() != q.program) {
    return false;
  }
  return q.note >= 255 || a.GetNote() == q.note;
}

bool VoiceScan::Assign(int k, const CVoiceAddr& a) {
  const int msb = a.GetBankMsb();
  const int lsb = a.GetBankLsb();
  const int program = a.GetProgram();
  // Drum voices are told apart by their note; melodic voices carry note 0.
  const bool byNote = msb == 125 || (msb == 0 && k == kDrumChannel);
  const int note = byNote && a.IsNoteSet() ? a.GetNote() : 0;
  int slot = m_doc.FindVoiceIndex(msb, lsb, program, byNote ? note : 255);
  if (slot < 0) {
    slot = m_doc.FindUnusedVoiceSlot(msb, lsb, program, note);
    if (slot < 0 || !m_doc.AssignVoice(slot, msb, lsb, program, note)) return false;
  }
  if (IsRefusedInGmMode(slot)) {
    platform::ShowMessage(kFourOperatorsInGmMode);
    return false;
  }
  m_doc.SetChannelSlot(k, slot, 0);
  m_doc.SetChannelSlotFlag(k, slot);
  if (!m_initialSet[k]) {
    m_doc.SetChannelVoiceSlot(k, slot);
    m_initialSet[k] = true;
  }
  return true;
}

bool VoiceScan::IsRefusedInGmMode(int slot) const {
  const int mode = GetModeSetting();
  const int profile = platform::settings().GetOutputProfile();
  if ((mode != 1 && mode != 2) || profile == 4 || profile == 6) return false;
  const CVoiceItem* item = m_doc.GetVoiceItem(slot);
  return item && !item->IsPcm() && item->GetOperatorCount() == 4 && !item->IsUserEditable();
}

bool VoiceScan::AssignPendingChannels() {
  const auto& s = platform::settings();
  const int chip = s.GetChipMode();
  const int profile = s.GetOutputProfile();
  const int maker = s.GetMakerID();
  const bool keepsProgramOnly =
      (chip == 3 && profile == 1 && maker == 4) || (chip == 5 && profile == 7 && maker == 2);
  if (!keepsProgramOnly) return true;
  for (int k = 0; k < 16; ++k) {
    if (m_sounding[k].GetPending() != 0 && !Assign(k, m_sounding[k])) return false;
  }
  return true;
}

bool VoiceScan::EnsureOneVoice() {
  for (int i = 0; i < CVoiceAssignTable::kSlotCount; ++i) {
    if (m_doc.GetVoiceBankMsb(i) < CVoiceAssignTable::kUnset) return true;
  }
  const int slot = m_doc.FindUnusedVoiceSlot(0, 0, 0, 0);
  return slot >= 0 && m_doc.AssignVoice(slot, 0, 0, 0, 0) != 0;
}

}  // namespace

bool CKZ1Doc::SetVAMFromMidiList() {
  const int chip = platform::settings().GetChipMode();
  if (chip != 3 && chip != 5) return true;
  return VoiceScan(*this, nullptr).Run();
}

bool CKZ1Doc::FindVoiceUse(int channel, int msb, int lsb, int program, int note) {
  const VoiceQuery query{channel, msb, lsb, program, note};
  return VoiceScan(*this, &query).Run();
}
