// The voice-bank rules without files or dialogs.
#include "app/core/VoiceBankCommands.h"

#include <cstring>
#include <filesystem>

#include "song/Voice2.h"
#include "song/Voice2List.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"

namespace voicebank {

CVoiceItem MapVoice2(const CVoice2& voice, bool drum) {
  CVoiceItem item;
  item.SetPcmFlag(0);
  char name[CVoice2::kNameSize + 1] = {};
  std::memcpy(name, voice.GetName(), CVoice2::kNameSize);
  item.SetName(name);
  item.SetAlgorithm(static_cast<uint8_t>(voice.GetAlgorithm()));
  item.SetLFO(static_cast<uint8_t>(voice.GetLFO()));
  item.SetBO(static_cast<uint8_t>(voice.GetBO()));
  item.SetOpFB(1, static_cast<uint8_t>(voice.GetFB()));
  for (int n = 1; n <= 4; ++n) {
    item.SetOpMULTI(n, static_cast<uint8_t>(voice.GetOpMULTI(n)));
    item.SetOpEVB(n, static_cast<uint8_t>(voice.GetOpVIB(n)));
    item.SetOpSUS(n, 0);
    item.SetOpKSR(n, static_cast<uint8_t>(voice.GetOpKSR(n)));
    item.SetOpRR(n, static_cast<uint8_t>(voice.GetOpSUS(n) ? 4 : voice.GetOpRR(n)));
    item.SetOpDR(n, static_cast<uint8_t>(voice.GetOpDR(n)));
    item.SetOpAR(n, static_cast<uint8_t>(voice.GetOpAR(n)));
    item.SetOpSL(n, static_cast<uint8_t>(voice.GetOpSL(n)));
    item.SetOpTL(n, static_cast<uint8_t>(voice.GetOpTL(n)));
    item.SetOpKSL(n, static_cast<uint8_t>(voice.GetOpKSL(n)));
    item.SetOpDVB(n, static_cast<uint8_t>(voice.GetOpDVB(n)));
    item.SetOpDAM(n, static_cast<uint8_t>(voice.GetOpDAM(n)));
    item.SetOpEAM(n, static_cast<uint8_t>(voice.GetOpAM(n)));
    item.SetOpWS(n, static_cast<uint8_t>(voice.GetOpWS(n)));
    item.SetOpSR(n, static_cast<uint8_t>(voice.GetOpEGT(n) == 0 ? voice.GetOpRR(n) : 0));
    if (drum) item.SetOpXOF(n, 1);
  }
  if (drum) item.SetDrumKey(static_cast<uint8_t>(voice.GetDrumKey()));
  return item;
}

int StoreMelodicBank(const CVoice2List& list, int sourceBank, int lsb, CVoiceBank& bank) {
  int stored = 0;
  for (int program = 0; program < 128; ++program) {
    if (const CVoice2* voice = list.Find(sourceBank, program)) {
      bank.SetVoice(kMelodicMsb, lsb, program, 0, MapVoice2(*voice, false));
      ++stored;
    }
  }
  return stored;
}

int StoreDrumBank(const CVoice2List& list, int sourceBank, int program, CVoiceBank& bank) {
  int stored = 0;
  for (int note = kFirstDrumNote; note <= kLastDrumNote; ++note) {
    if (const CVoice2* voice = list.Find(sourceBank, note)) {
      bank.SetVoice(kDrumMsb, 0, program, note, MapVoice2(*voice, true));
      ++stored;
    }
  }
  return stored;
}

int ConvertVoice2List(const CVoice2List& list, CVoiceBank& bank) {
  int stored = 0;
  for (int b = 0; b < kMelodicBanks; ++b) stored += StoreMelodicBank(list, b, b, bank);
  for (int b = kDrumBankBase; b < kDrumBankBase + kMelodicBanks; ++b)
    stored += StoreDrumBank(list, b, b - kDrumBankBase, bank);
  return stored;
}

int FirstImportedDrumProgram(int outputProfile) { return outputProfile == 4 || outputProfile == 6 ? 1 : 2; }

const char* DefaultBankFile(int outputProfile) {
  return outputProfile == 4 || outputProfile == 6 ? "DefKZ3P_U.vk3" : "DefKZ3_U.vk3";
}

bool BankFileNameTooLong(const std::string& path) {
  return std::filesystem::path(path).filename().string().size() >= 60;
}

}  // namespace voicebank
