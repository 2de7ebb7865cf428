// The song document's generation-3 RAM estimate, assign map and output setup record.
#include <cstring>

#include "platform/host/HostServices.h"
#include "song/SongPrimitives.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"

namespace {

bool IsPresetRamCharged(const CVoiceItem& item) {
  const auto& s = platform::settings();
  const int profile = s.GetOutputProfile();
  const int mode = GetModeSetting();
  if ((profile != 1 && profile != 7) || s.GetMakerID() != 2 || mode == 1 || mode == 2) return false;
  // The fixed melodic (124/10) and drum (125/0/10) banks of FM voices.
  const int msb = item.GetBankMsb();
  return !item.IsPcm() && (msb == 124 || msb == 125);
}

int PcmWaveBytes(uint32_t size, bool makerTwoPadding) {
  if (makerTwoPadding) return static_cast<int>(size + ((size & 1) ? 1 : 2));
  return static_cast<int>((size + 1) & ~1u);
}

}  // namespace

int CKZ1Doc::GetKZ3RamUse() {
  if (GetChannelValue(16) != 1) return 0;
  const auto& s = platform::settings();
  const int profile = s.GetOutputProfile();
  const bool everyVoiceWave = profile == 2 || profile == 3 || profile == 5 || profile == 8;
  const bool makerTwoPadding = (profile == 1 || profile == 7) && s.GetMakerID() == 2;
  bool waveCounted[128] = {};
  bool userWaveUsed[kWaveBlockCount] = {};
  int total = 0;
  for (int i = 0; i < m_voiceSlotCount; ++i) {
    if (m_voiceAssign.GetProgram(i) == CVoiceAssignTable::kUnset) continue;
    const CVoiceItem& item = *m_voiceAssign.GetVoiceItem(i);
    if (item.IsFixedBank()) {
      if (IsPresetRamCharged(item)) total += 30;
      continue;
    }
    if (item.IsPcm()) {
      total += 14;
      if (item.GetRM()) continue;
      const int id = item.GetWaveId();
      if (!everyVoiceWave) {
        if (waveCounted[id]) continue;
        waveCounted[id] = true;
      }
      total += PcmWaveBytes(item.GetWaveSampleSize(), makerTwoPadding);
      continue;
    }
    const int operators = item.GetOperatorCount();
    total += operators == 2 ? 16 : 30;
    for (int n = 1; n <= operators; ++n) userWaveUsed[item.GetOpWS(n) & 31] = true;
  }
  const int mode = GetModeSetting();
  const bool reserveProfile = profile == 1 || profile == 2 || profile == 3 || profile == 5 ||
                              profile == 7 || profile == 8;
  if (reserveProfile && (mode == 0 || mode == 1)) {
    total += platform::profile().GetProfileInt("Setting", "KZ-3_StreamPCMReserve", 0) * 1024;
  }
  for (int b = 0; b < kWaveBlockCount; ++b) {
    if (userWaveUsed[b] && m_waveBlocks[b] && m_waveBlocks[b]->GetSize() > 0) total += 2048;
  }
  m_ramUse = (total + 1) & ~1;
  // The song data has one RAM estimate: the second figure (for Java handsets) shows it too,
  // rather than a size of nothing.
  m_openWord = m_ramUse;
  return m_ramUse;
}

void CKZ1Doc::BuildAssignMap(CSongSetup& out) const {
  out.Assign(m_setup);
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const bool used = m_voiceAssign.GetProgram(i) != CVoiceAssignTable::kUnset;
    out.SetVoiceItem(i, used ? const_cast<CVoiceItem*>(m_voiceAssign.GetVoiceItem(i)) : nullptr);
  }
  // The setup holds a slot at its slot number, as the reader stores it and the writer sends it.
  for (int s = 1; s < kStreamSlotCount && s < CSongSetup::kStreamSlotCount; ++s) {
    CStreamPCMSlot* slot = &m_streamSlots[s];
    const bool inUse = slot->GetBankMsb() != 255;
    out.SetStreamPcmSlot(s, inUse ? slot : nullptr);
  }
  for (int b = 0; b < kWaveBlockCount; ++b) out.SetUserWave(b, m_waveBlocks[b].get());
  out.SetMasterVolume(static_cast<uint8_t>(platform::settings().GetMasterVolume()));
}

void CKZ1Doc::BuildOutputSetup(SongOutputRecord& out, int flag) const {
  CSongSetup map;
  BuildAssignMap(map);
  map.GetOutputRecord(out);
  if (flag == 0) {
    for (int k = 0; k < 16; ++k) {
      if (m_channelMute[k]) out.bytes[SongOutputRecord::kVolumeOffset + k] = 0;
    }
  }
  const int chip = platform::settings().GetChipMode();
  if (chip == 1) {
    // One 16-byte entry per voice: slot, bank MSB, program, range byte, operator bytes.
    for (int v = 0; v < m_voiceLimit && v < 8; ++v) {
      uint8_t* entry = out.bytes + SongOutputRecord::kBlockOffset + 16 * v;
      const uint8_t* voice = m_voiceAssign.GetKZ1VoiceBytes(v);
      entry[0] = static_cast<uint8_t>(v);
      entry[1] = m_voiceAssign.GetBankMsb(v);
      entry[2] = m_voiceAssign.GetProgram(v);
      entry[3] = voice[32];
      std::memcpy(entry + 4, voice + 20, 12);
    }
  } else if (chip == 2) {
    for (int v = 0; v < SongOutputRecord::kWordCount; ++v) {
      const CVoice2* voice = m_voiceAssign.GetVoice2(v);
      out.words[v] = voice->IsDefault() ? 0 : reinterpret_cast<std::uintptr_t>(voice);
    }
  }
}
