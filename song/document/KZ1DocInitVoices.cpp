// The voice side of the song initialisation: the snapshot of what was in use, the song's own
// voice items, stream-PCM slots and user waves, and the compaction of the slots after a merge.
#include <algorithm>
#include <cstring>

#include "platform/host/HostServices.h"
#include "song/SongPrimitives.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr int kArea = CVoiceAssignTable::kAreaSize;
constexpr int kSongStreamSlots = CKZ1Doc::kInitStreamEntries;
constexpr uint8_t kUnset = 255;

int OutputProfile() { return platform::settings().GetOutputProfile(); }
platform::IBoardCommands* Board() {
  return platform::board().HasBoardDevice() ? &platform::board() : nullptr;
}

// Midigate defines the voices it finds with an all-zero FM block: those stand for the
// library's voice as much as the default FM voice does.
bool IsPlaceholderFmVoice(const CVoiceItem& item) {
  if (item.IsPcm()) return false;
  if (item.IsDefaultFmVoice()) return true;
  const uint8_t* fm = item.GetFmVoice();
  return std::all_of(fm, fm + CVoiceItem::kFmSize, [](uint8_t b) { return b == 0; });
}

// A four-operator FM voice while the mode setting is a GM1 mode (1 or 2).
bool IsFourOperatorInGmMode(const CVoiceItem& item) {
  const int setting = GetModeSetting();
  return !item.IsPcm() && item.GetOperatorCount() == 4 && (setting == 1 || setting == 2);
}

void SendUserWave(int b, const CNamedBlock& block) {
  if (platform::IBoardCommands* board = Board()) {
    board->SendBoardCommand0D(b);
    board->SendBoardData0C(b, block.GetData(), block.GetSize());
  }
}

void SendStreamSlot(int s, const CStreamPCMSlot& slot) {
  if (platform::IBoardCommands* board = Board()) {
    board->SendBoardCommand06(s);
    board->SendVoiceItem(slot);
  }
}

}  // namespace

CKZ1Doc::InitSnapshot CKZ1Doc::TakeInitSnapshot(const CMidiList& list) const {
  InitSnapshot s;
  for (int i = 1; i < kArea; ++i) s.used[i] = m_voiceAssign.GetBankMsb(i) != kUnset;
  for (int i = 1; i < kSongStreamSlots; ++i) {
    const CStreamPCMSlot* slot = GetStreamPcmSlot(i);
    s.streamUsed[i] = slot && slot->GetBankMsb() != kUnset;
  }
  for (int k = 0; k < 16; ++k) s.status[k] = m_setup.GetStatus(k);
  const CSongSetup& from = list.GetSongSetup();
  for (int e = 0; e < kSongStreamSlots; ++e) {
    const bool listSet = from.GetSlotSettingSecond(e) != kUnset;
    const CSongSetup& source = listSet ? from : m_setup;
    s.slotFirst[e] = source.GetSlotSettingFirst(e);
    s.slotSecond[e] = source.GetSlotSettingSecond(e);
    s.slotFlag[e] = source.GetSlotFlag(e);
  }
  return s;
}

void CKZ1Doc::ClearForMerge() {
  m_midlist.clear();
  m_midlist_PCM.clear();
  ClearChannelSlotFlags();
  ResetDensityInfo(0);
  m_voiceAssign.Reset(1);
  for (int k = 0; k < m_channelCount && k < 16; ++k) {
    m_channelWords[k] = 0;
    std::fill_n(m_channelTables.get() + k * kChannelTableSize, kChannelTableSize, -1);
  }
}

void CKZ1Doc::EnterVoiceItem(int slot, const CVoiceItem& item) {
  m_voiceAssign.SetAddress(slot, item.GetBankMsb(), item.GetBankLsb(), item.GetProgram(),
                           item.GetNote());
  m_voiceAssign.SetVoiceItem(slot, item);
  RefreshChannelCopies(slot);
}

int CKZ1Doc::SetupInitVoices(const CMidiList& list, int fresh) {
  const int profile = OutputProfile();
  const CSongSetup& from = list.GetSongSetup();
  int result = 1;
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const CVoiceItem* item = from.GetVoiceItem(i);
    if (!item) continue;
    if (profile == 4 && item->IsPcm()) continue;
    if (profile != 4 && profile != 6 && IsFourOperatorInGmMode(*item)) {
      platform::ShowMessage(7056);
      result = 0;
    }
    const int msb = item->GetBankMsb();
    const int lsb = item->GetBankLsb();
    const int program = item->GetProgram();
    const int note = item->GetNote();
    int slot = FindVoiceIndex(msb, lsb, program, note);
    if (slot < 0) slot = FindUnusedVoiceSlot(msb, lsb, program, note);
    // No room for the voice: the song cannot be set up, and no slot -1 is written.
    if (slot < 0) return 0;
    if (fresh == 1 && IsPlaceholderFmVoice(*item)) {
      AssignVoice(slot, msb, lsb, program, note);
    } else {
      EnterVoiceItem(slot, *item);
    }
    ShareIdenticalWaves(*m_voiceAssign.GetVoiceItem(slot));
    m_setup.SetVoiceItem(slot, m_voiceAssign.GetVoiceItem(slot));
  }
  if (result != 1) return 0;

  for (int i = 0; i < kArea; ++i) {
    const CVoiceItem* item = m_voiceAssign.GetVoiceItem(i);
    if (m_voiceAssign.GetProgram(i) == kUnset || item->GetWaveSampleSize() == 0) continue;
    if (platform::IBoardCommands* board = Board()) board->SendBankVoices(*item);
  }
  for (int i = 0; i < kArea; ++i) {
    if (m_voiceAssign.GetProgram(i) == kUnset || profile == 4 || profile == 6) continue;
    if (IsFourOperatorInGmMode(*m_voiceAssign.GetVoiceItem(i))) {
      platform::ShowMessage(7056);
      result = 0;
    }
  }
  if (result != 1) return 0;
  if (GetModeSetting() != 2) {
    for (int s = 1; s < kSongStreamSlots; ++s) {
      const CStreamPCMSlot* slot = from.GetStreamPcmSlot(s);
      if (!slot) continue;
      SetStreamPcmSlot(s, *slot);
      m_setup.SetStreamPcmSlot(s, GetStreamPcmSlot(s));
      SendStreamSlot(s, *GetStreamPcmSlot(s));
    }
  }
  for (int b = 0; b < kWaveBlockCount; ++b) {
    const CNamedBlock* wave = from.GetUserWave(b);
    if (!wave) continue;
    SetWaveBlockAt(b, std::make_unique<CNamedBlock>(*wave));
    m_setup.SetUserWave(b, GetWaveBlockAt(b));
    SendUserWave(b, *GetWaveBlockAt(b));
  }
  if (profile == 4) LookUpPhraseChannelVoices();
  return 1;
}

void CKZ1Doc::LookUpPhraseChannelVoices() {
  // The phrase format plays four channels: the first four that play notes form part 1.
  int found = 0;
  for (int k = 0; k < m_channelCount && k < 16 && found < 4; ++k) {
    found += StoreChannelPart(k, 1, 1);
  }
}

void CKZ1Doc::MarkUserWaves(int slot, bool used[kWaveBlockCount]) const {
  const CVoiceItem* item = m_voiceAssign.GetVoiceItem(slot);
  if (!item || m_voiceAssign.GetProgram(slot) == kUnset || item->IsPcm()) return;
  for (int n = 1; n <= item->GetOperatorCount(); ++n) {
    const int ws = item->GetOpWS(n);
    if (ws < kWaveBlockCount) used[ws] = true;
  }
}

void CKZ1Doc::SendUsedUserWaves() {
  bool used[kWaveBlockCount] = {};
  for (int i = 0; i < kArea; ++i) MarkUserWaves(i, used);
  for (int b = 0; b < kWaveBlockCount; ++b) {
    const CNamedBlock* block = GetWaveBlockAt(b);
    if (!block) continue;
    if (used[b]) {
      SendUserWave(b, *block);
      continue;
    }
    SetWaveBlockAt(b, nullptr);
    m_setup.SetUserWave(b, nullptr);
    if (platform::IBoardCommands* board = Board()) board->SendBoardCommand0D(b);
  }
}

bool CKZ1Doc::IsSlotInUse(int slot) const {
  if (GetChannelSlotFlags(slot) != 0) return true;
  for (int k = 0; k < 16; ++k) {
    if (GetChannelVoiceSlot(k) == slot) return true;
    if (slot < kArea && m_voiceAssign.GetUseCount(k, slot) != 0) return true;
  }
  return false;
}

void CKZ1Doc::ReplaceSlotInChannelMaps(int from, int to) {
  for (int k = 0; k < 16; ++k) {
    int32_t* map = m_channelTables.get() + k * kChannelTableSize;
    for (int e = 0; e < kChannelTableSize; ++e) {
      if (map[e] == from) {
        map[e] = to;
        break;
      }
    }
  }
}

void CKZ1Doc::MoveVoiceSlot(int from, int to) {
  const CVoiceItem copy = *m_voiceAssign.GetVoiceItem(from);
  const uint8_t msb = m_voiceAssign.GetBankMsb(from);
  const uint8_t lsb = m_voiceAssign.GetBankLsb(from);
  const uint8_t program = m_voiceAssign.GetProgram(from);
  const uint8_t note = m_voiceAssign.GetNote(from);
  m_voiceAssign.ClearSlot(from);
  m_voiceAssign.SetAddress(to, msb, lsb, program, note);
  m_voiceAssign.SetVoiceItem(to, copy);
  SetChannelSlotFlags(to, GetChannelSlotFlags(from));
  SetChannelSlotFlags(from, 0);
  ReplaceSlotInChannelMaps(from, to);
  for (int k = 0; k < 16; ++k) {
    // A slot beyond 255 is kept only in the channel's 32-bit slot word.
    const bool plays = from < 256 ? GetChannelVoiceSlot(k) == from
                                  : m_setup.GetVoiceSlotWord(k) == from;
    if (plays) SetChannelVoiceSlot(k, to);
  }
}

int CKZ1Doc::CompactVoiceSlots(const CMidiList& list, const InitSnapshot& snapshot) {
  for (int i = 0; i < kArea; ++i) {
    if (m_voiceAssign.GetProgram(i) == kUnset || IsSlotInUse(i)) continue;
    m_voiceAssign.ClearSlot(i);
    ReplaceSlotInChannelMaps(i, -1);
  }
  for (int i = 0; i < kArea; ++i) {
    if (m_voiceAssign.GetProgram(i) != kUnset) continue;
    int j = i + 1;
    while (j < kArea && m_voiceAssign.GetProgram(j) == kUnset) ++j;
    if (j >= kArea) break;
    MoveVoiceSlot(j, i);
  }
  for (int j = 2 * kArea; j < CVoiceAssignTable::kSlotCount; ++j) {
    if (m_voiceAssign.GetProgram(j) == kUnset) continue;
    int to = -1;
    for (int i = 0; i < kArea && to < 0; ++i) {
      if (m_voiceAssign.GetProgram(i) == kUnset) to = i;
    }
    if (to < 0) return 0;
    MoveVoiceSlot(j, to);
  }

  bool waves[kWaveBlockCount] = {};
  for (int i = 1; i < kArea; ++i) {
    const bool used = m_voiceAssign.GetBankMsb(i) != kUnset;
    if (used == snapshot.used[i]) continue;
    const CVoiceItem* item = m_voiceAssign.GetVoiceItem(i);
    if (used && item->GetWaveSampleSize() > 0) {
      if (platform::IBoardCommands* board = Board()) board->SendBankVoices(*item);
    }
    MarkUserWaves(i, waves);
  }
  CVoiceLibrary* library = platform::registry().voiceLibrary;
  for (int b = 0; b < kWaveBlockCount && library; ++b) {
    const CNamedBlock* block = library->GetWaveBlock(b);
    if (!waves[b] || !block) continue;
    SetWaveBlockAt(b, std::make_unique<CNamedBlock>(*block));
    m_setup.SetUserWave(b, GetWaveBlockAt(b));
    SendUserWave(b, *GetWaveBlockAt(b));
  }
  const CSongSetup& from = list.GetSongSetup();
  for (int s = 1; s < kSongStreamSlots; ++s) {
    const CStreamPCMSlot* slot = from.GetStreamPcmSlot(s);
    if (!slot) continue;
    const CStreamPCMSlot* mine = GetStreamPcmSlot(s);
    const bool used = mine && mine->GetBankMsb() != kUnset;
    if (used == snapshot.streamUsed[s]) continue;
    SetStreamPcmSlot(s, *slot);
    SendStreamSlot(s, *GetStreamPcmSlot(s));
  }
  if (m_statusKept == 1) {
    m_statusKept = 0;
  } else {
    for (int k = 0; k < 16; ++k) m_setup.SetStatus(k, snapshot.status[k]);
  }
  for (int e = 0; e < kSongStreamSlots; ++e) {
    const CStreamPCMSlot* slot = GetStreamPcmSlot(e + 1);
    if (slot && slot->GetBankMsb() == kUnset) {
      m_setup.SetSlotSetting(e, snapshot.slotFirst[e], snapshot.slotSecond[e]);
    }
  }
  for (int b = 0; b < kWaveBlockCount; ++b) {
    const CNamedBlock* wave = from.GetUserWave(b);
    if (!wave || GetWaveBlockAt(b)) continue;
    SetWaveBlockAt(b, std::make_unique<CNamedBlock>(*wave));
    m_setup.SetUserWave(b, GetWaveBlockAt(b));
    SendUserWave(b, *GetWaveBlockAt(b));
  }
  if (OutputProfile() == 4) LookUpPhraseChannelVoices();
  return 1;
}
