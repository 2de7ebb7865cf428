// The song document's wave services over its 128 voice items: wave ids, names and sharing.
#include <algorithm>
#include <cstring>

#include "platform/host/HostServices.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kWaveIdCount = 128;
constexpr int kMfiUserWaveLimit = 32;

bool HasSamples(const CVoiceItem& item) { return item.GetWaveSamples() != nullptr; }
bool IsRamPcm(const CVoiceItem& item) { return item.IsPcm() && item.GetRM() == 0; }

bool SameSamples(const CVoiceItem& a, const CVoiceItem& b) {
  const uint32_t n = a.GetWaveSampleSize();
  return n == b.GetWaveSampleSize() &&
         (n == 0 || std::memcmp(a.GetWaveSamples(), b.GetWaveSamples(), n) == 0);
}

}  // namespace

bool CKZ1Doc::HasVoiceItemId(int id) const { return GetWaveNameById(id) != nullptr; }

const char* CKZ1Doc::GetWaveNameById(int id) const {
  for (int i = 0; i < GetVoiceItemCount(); ++i) {
    const CVoiceItem& item = *m_voiceAssign.GetVoiceItem(i);
    if (HasSamples(item) && item.GetWaveHeaderId() == id) return item.GetWaveHeader();
  }
  return nullptr;
}

int CKZ1Doc::FindFreeWaveId() const {
  const int profile = platform::settings().GetOutputProfile();
  if (profile == 1 || profile == 7) {
    int blocks = 0;
    for (const auto& block : m_waveBlocks) blocks += block ? 1 : 0;
    if (blocks >= kMfiUserWaveLimit) return -1;
  }
  bool used[kWaveIdCount] = {};
  for (int i = 0; i < GetVoiceItemCount(); ++i) {
    const CVoiceItem& item = *m_voiceAssign.GetVoiceItem(i);
    if (HasSamples(item)) used[item.GetWaveHeaderId() & 0x7F] = true;
  }
  for (int id = 0; id < kWaveIdCount; ++id) {
    if (!used[id]) return id;
  }
  return -1;
}

int CKZ1Doc::CountWaveIdUsers(const CVoiceItem& voice) const {
  int count = 0;
  for (int i = 0; i < GetVoiceItemCount(); ++i) {
    const CVoiceItem& other = *m_voiceAssign.GetVoiceItem(i);
    if (other.GetBankMsb() == voice.GetBankMsb() && other.GetBankLsb() == voice.GetBankLsb() &&
        other.GetProgram() == voice.GetProgram() && other.GetNote() == voice.GetNote()) {
      continue;
    }
    if (IsRamPcm(other) && HasSamples(other) && other.GetWaveHeaderId() == voice.GetWaveHeaderId()) ++count;
  }
  return count;
}

CVoiceItem* CKZ1Doc::FindVoiceByWaveId(int id) {
  for (int i = 0; i < GetVoiceItemCount(); ++i) {
    CVoiceItem* item = m_voiceAssign.GetVoiceItem(i);
    if (item->IsPcm() && HasSamples(*item) && item->GetWaveHeaderId() == id) return item;
  }
  return nullptr;
}

bool CKZ1Doc::ShareIdenticalWaves(const CVoiceItem& item) {
  const int count = GetVoiceItemCount();
  for (int i = 0; i < count; ++i) {
    CVoiceItem& a = *m_voiceAssign.GetVoiceItem(i);
    if (!IsRamPcm(a) || !HasSamples(a)) continue;
    for (int j = 0; j < count; ++j) {
      CVoiceItem& b = *m_voiceAssign.GetVoiceItem(j);
      if (j == i || !IsRamPcm(b) || !HasSamples(b)) continue;
      if (a.GetWaveHeaderId() == b.GetWaveHeaderId() || !SameSamples(a, b)) continue;
      const uint8_t id = std::min(a.GetWaveHeaderId(), b.GetWaveHeaderId());
      b.SetWaveId(id);
      b.SetWaveHeaderId(id);
    }
  }
  // An item without a wave has nothing to spread: the others keep theirs.
  if (!IsRamPcm(item) || !HasSamples(item)) return true;
  for (int i = 0; i < count; ++i) {
    CVoiceItem& other = *m_voiceAssign.GetVoiceItem(i);
    if (&other == &item || !IsRamPcm(other) || !HasSamples(other)) continue;
    if (other.GetWaveHeaderId() != item.GetWaveHeaderId() || SameSamples(other, item)) continue;
    other.SetWaveData(item.GetWaveData(), item.GetWaveDataSize());
    other.SetWaveId(item.GetWaveId());
  }
  return true;
}

void CKZ1Doc::ClearVoiceItemWaves() {
  for (int i = 0; i < GetVoiceItemCount(); ++i) ClearVoiceItemWave(i);
}

void CKZ1Doc::ClearVoiceItemWave(int i) {
  if (i < 0 || i >= GetVoiceItemCount()) return;
  CVoiceItem& item = *m_voiceAssign.GetVoiceItem(i);
  if (item.IsPcm()) item.SetWaveData(nullptr, 0);
}
