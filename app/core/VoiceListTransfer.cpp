#include "app/core/VoiceListTransfer.h"

#include <algorithm>
#include <bitset>
#include <cstring>

#include "platform/host/HostServices.h"
#include "song/NamedBlock.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kUnusedProgram = 255;
constexpr int kMelodicMsb = 124;
constexpr int kDrumMsb = 125;
constexpr int kUserWaveCount = 32;

bool IsRamPcm(const CVoiceItem& voice) { return voice.IsPcm() && voice.GetRM() == 0; }

/// The user waves an FM voice's operators play.
std::bitset<kUserWaveCount> WaveShapesOf(const CVoiceItem& voice) {
  std::bitset<kUserWaveCount> shapes;
  if (voice.IsPcm()) return shapes;
  for (int n = 1; n <= voice.GetOperatorCount(); ++n) shapes.set(voice.GetOpWS(n) % kUserWaveCount);
  return shapes;
}

/// Two blocks count as the same when their bytes agree over the shorter size.
bool SameOverShorter(const CNamedBlock& a, const CNamedBlock& b) {
  const size_t n = std::min(a.GetSize(), b.GetSize());
  if (n == 0) return true;
  return a.GetData() && b.GetData() && std::memcmp(a.GetData(), b.GetData(), n) == 0;
}

void GiveWaveId(CVoiceItem& voice, int id) {
  voice.SetWaveId(static_cast<uint8_t>(id));
  voice.SetWaveHeaderId(static_cast<uint8_t>(id));
}

}  // namespace

bool VoiceListTransfer::AcceptsOperators(const CVoiceItem& voice, bool& warned) const {
  const bool gmMode = m_modeSetting == 1 || m_modeSetting == 2;
  const bool phrase = m_outputProfile == 4 || m_outputProfile == 6;
  if (voice.IsPcm() || voice.GetOperatorCount() != 4 || !gmMode || phrase) return true;
  if (!warned) platform::ShowMessage(kMsgFourOperatorsInGmMode);
  warned = true;
  return false;
}

void VoiceListTransfer::TakeLibraryWaves(const CVoiceItem& voice) {
  const auto shapes = WaveShapesOf(voice);
  for (int w = 0; w < kUserWaveCount; ++w) {
    if (!shapes.test(static_cast<size_t>(w))) continue;
    const CNamedBlock* libraryBlock = m_library.GetWaveBlock(w);
    if (!libraryBlock) continue;
    const CNamedBlock* songBlock = m_doc.GetWaveBlock(w);
    if (songBlock && SameOverShorter(*songBlock, *libraryBlock)) continue;
    m_doc.SetWaveBlock(w, libraryBlock);
  }
}

void VoiceListTransfer::GiveSongWaves(const CVoiceItem& voice) {
  const auto shapes = WaveShapesOf(voice);
  for (int w = 0; w < kUserWaveCount; ++w) {
    if (!shapes.test(static_cast<size_t>(w))) continue;
    const CNamedBlock* songBlock = m_doc.GetWaveBlock(w);
    if (!songBlock) continue;
    const CNamedBlock* libraryBlock = m_library.GetWaveBlock(w);
    if (libraryBlock && SameOverShorter(*libraryBlock, *songBlock)) continue;
    m_library.SetWaveBlock(w, *songBlock);
  }
}

int VoiceListTransfer::ImportFromLibrary() {
  m_doc.ClearVoiceItemWaves();
  const CVoiceBank& bank = m_library.GetVoiceBank();
  bool warned = false;
  int stored = 0;
  for (int i = 0; i < m_doc.GetVoiceItemCount(); ++i) {
    const CVoiceItem* current = m_doc.GetVoiceItem(i);
    if (m_doc.GetVoiceProgram(i) == kUnusedProgram || !current || !current->IsUserEditable()) continue;
    const CVoiceItem* found =
        bank.FindVoice(current->GetBankMsb(), current->GetBankLsb(), current->GetProgram(), current->GetNote());
    if (!found) continue;
    CVoiceItem copy(*found);
    if (!AcceptsOperators(copy, warned)) continue;
    if (IsRamPcm(copy)) {
      const int id = m_doc.FindFreeWaveId();
      if (id < 0) {
        platform::ShowMessage(IsMfiProfile() ? kMsgMfiWavesExceeded : kMsgVelkWavesExceeded);
        break;
      }
      GiveWaveId(copy, id);
    }
    m_doc.SetVoiceItem(i, copy, 0);
    m_doc.ShareIdenticalWaves(copy);
    TakeLibraryWaves(copy);
    ++stored;
  }
  if (m_doc.GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(kMsgRamOverflow);
  return stored;
}

int VoiceListTransfer::ExportToLibrary() {
  CVoiceBank& bank = m_library.GetVoiceBank();
  int stored = 0;
  for (int i = 0; i < m_doc.GetVoiceItemCount(); ++i) {
    const CVoiceItem* item = m_doc.GetVoiceItem(i);
    if (m_doc.GetVoiceProgram(i) >= kUnusedProgram || !item) continue;
    CVoiceItem copy(*item);
    if (!copy.IsUserEditable()) continue;
    if (IsRamPcm(copy)) {
      const int id = bank.FindFreeWaveId();
      if (id == CVoiceBank::kNoFreeWaveId) {
        platform::ShowMessage(kMsgLibraryWavesExceeded);
        break;
      }
      GiveWaveId(copy, id);
    }
    const int msb = copy.GetBankMsb();
    if (msb == kMelodicMsb) {
      m_library.SetVoiceByProgram(msb, copy.GetBankLsb(), copy.GetProgram(), copy);
      m_library.ShareIdenticalWaves(copy);
      m_library.SetModified(1);
      if (const CVoiceItem* kept = bank.FindByProgram(msb, copy.GetBankLsb(), copy.GetProgram())) GiveSongWaves(*kept);
      ++stored;
    } else if (msb == kDrumMsb) {
      m_library.SetVoice(msb, copy.GetBankLsb(), copy.GetProgram(), copy.GetNote(), copy);
      m_library.ShareIdenticalWaves(copy);
      m_library.SetModified(1);
      ++stored;
    }
  }
  return stored;
}
