// The voice library: lookups, marked setters, user waves and the default voices by chip mode.
#include "song/VoiceLibrary.h"

#include <filesystem>
#include <string>

#include "platform/host/HostServices.h"
#include "platform/io/Paths.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"

namespace {

constexpr int kMelodyBank = 124;
constexpr int kDrumBank = 125;
constexpr int kFixedLsb = 10;
constexpr int kFixedDrumProgram = 10;
constexpr int kNoNote = 255;
constexpr int kUserWaveSlots[] = {15, 23, 31};

// Output profiles whose banks carry FM voices only.
bool IsPhraseProfile(int profile) { return profile == 4 || profile == 6; }

std::string AppFile(const char* name) {
  return platform::JoinPath(platform::settings().GetAppDir(), name);
}

}  // namespace

CVoiceLibrary::CVoiceLibrary() = default;

CVoiceLibrary::~CVoiceLibrary() {
  for (auto& wave : m_userWaves) wave.reset();
}

bool CVoiceLibrary::LoadDefaultVoices() {
  switch (platform::settings().GetChipMode()) {
    case 1:
      m_copyTable = m_normalTable;
      return true;
    case 2:
      // The generation-2 defaults are optional: a missing file leaves the list as it is.
      m_voice2List.LoadFile(AppFile("DefKZ2FM.vkz"));
      return true;
    case 3:
      return LoadDefaultBank();
    default:
      return true;
  }
}

bool CVoiceLibrary::LoadDefaultBank() {
  const int setting = platform::profile().GetProfileInt("Setting", "KZ-3_ModeSetting", 0);
  const bool phrase = IsPhraseProfile(platform::settings().GetOutputProfile());
  const bool wide = setting == 1 || setting == 2;
  const char* file = phrase ? (wide ? "DefKZ3P_32.vk3" : "DefKZ3P_16.vk3")
                            : (wide ? "DefKZ3_32.vk3" : "DefKZ3_16.vk3");
  const bool loaded =
      m_bank.LoadFile(AppFile(file), phrase ? CVoiceBank::kLoadFmOnly : CVoiceBank::kLoadAll);
  AddFixedBankCopies();
  if (!loaded) return false;

  const std::string user = AppFile(phrase ? "DefKZ3P_U.vk3" : "DefKZ3_U.vk3");
  if (std::filesystem::exists(user) && !m_bank.LoadFile(user, CVoiceBank::kLoadAll)) {
    return false;
  }
  for (int slot : kUserWaveSlots) {
    if (const CNamedBlock* wave = m_bank.GetWaveSlot(slot)) SetWaveBlock(slot, *wave);
  }
  return true;
}

// The fixed banks are copies of the defaults: melody voices at LSB 10 with ALG 0, drum voices
// at program 10.
void CVoiceLibrary::AddFixedBankCopies() {
  for (int program = 0; program < 128; ++program) {
    const CVoiceItem* voice = m_bank.FindByProgram(kMelodyBank, 0, program);
    if (!voice) continue;
    CVoiceItem copy;
    copy = *voice;
    copy.SetAlgorithm(0);
    m_bank.SetVoiceByProgram(kMelodyBank, kFixedLsb, program, copy);
  }
  for (int note = 0; note < 128; ++note) {
    const CVoiceItem* voice = m_bank.FindVoice(kDrumBank, 0, 0, note);
    if (voice) m_bank.SetVoice(kDrumBank, 0, kFixedDrumProgram, note, *voice);
  }
}

CVoice2* CVoiceLibrary::GetVoice2(int bank, int program) {
  if (CVoice2* voice = m_voice2List.Find(bank, program)) return voice;
  m_workVoice2.Clear();
  return &m_workVoice2;
}

CVoiceItem* CVoiceLibrary::FindOrCreateVoice(int msb, int lsb, int program, int note) {
  CVoiceItem* found = note < kNoNote ? m_bank.FindVoice(msb, lsb, program, note)
                                     : m_bank.FindByProgram(msb, lsb, program);
  if (found) return found;
  m_workItem.Clear();
  m_workItem.SetBankMsb(static_cast<uint8_t>(msb));
  m_workItem.SetBankLsb(static_cast<uint8_t>(lsb));
  m_workItem.SetProgram(static_cast<uint8_t>(program));
  if (note < kNoNote) m_workItem.SetNote(static_cast<uint8_t>(note));
  return &m_workItem;
}

void CVoiceLibrary::MarkModified() {
  m_modified = 1;
  platform::ui().SetDocumentModified();
}

bool CVoiceLibrary::SetVoice2(int bank, int program, const CVoice2& voice) {
  m_voice2List.Set(bank, program, voice);
  MarkModified();
  return true;
}

bool CVoiceLibrary::SetVoiceByProgram(int msb, int lsb, int program, const CVoiceItem& item) {
  m_bank.SetVoiceByProgram(msb, lsb, program, item);
  MarkModified();
  return true;
}

bool CVoiceLibrary::SetVoice(int msb, int lsb, int program, int note, const CVoiceItem& item) {
  m_bank.SetVoice(msb, lsb, program, note, item);
  MarkModified();
  return true;
}

bool CVoiceLibrary::SaveVoiceBank(CMemStream& stream) {
  for (int i = 0; i < kUserWaveCount; ++i) m_bank.SetWaveSlot(i, m_userWaves[i].get());
  return m_bank.SaveChunks(stream, false);
}

CNamedBlock* CVoiceLibrary::GetWaveBlock(int i) const {
  return (i >= 0 && i < kUserWaveCount) ? m_userWaves[i].get() : nullptr;
}

bool CVoiceLibrary::SetWaveBlock(int i, const CNamedBlock& block) {
  if (i < 0 || i >= kUserWaveCount) return false;
  if (!m_userWaves[i]) m_userWaves[i] = std::make_unique<CNamedBlock>();
  if (m_userWaves[i].get() != &block) *m_userWaves[i] = block;
  return true;
}

bool CVoiceLibrary::DeleteWaveBlock(int i) {
  if (i >= 0 && i < kUserWaveCount) m_userWaves[i].reset();
  return true;
}

bool CVoiceLibrary::ShareIdenticalWaves(const CVoiceItem& item) {
  const int mode = platform::settings().GetChipMode();
  if (mode == 3 || mode == 5) m_bank.ShareIdenticalWaves(item);
  return true;
}

int CVoiceLibrary::SetModified(int value) {
  const int old = m_modified;
  m_modified = value;
  return old;
}

int IsValueOne(int v) { return v == 1 ? 1 : 0; }

int ReturnTrue3(int, int, int) { return 1; }
