// The voice-bank rules without files or dialogs: the generation-2 to generation-3 voice
// mapping, the bank numbering of converted and imported voices, and the file-name limit.
#pragma once

#include <array>
#include <string>

class CVoice2;
class CVoice2List;
class CVoiceBank;
class CVoiceItem;

namespace voicebank {

inline constexpr int kMelodicMsb = 124;
inline constexpr int kDrumMsb = 125;
inline constexpr int kMelodicBanks = 10;
inline constexpr int kDrumBankBase = 128;  // generation-2 drum banks 128..137
inline constexpr int kFirstDrumNote = 13;
inline constexpr int kLastDrumNote = 91;
/// The import dialog's choices: melodic banks 0..9, then drum banks 10..19.
inline constexpr int kImportChoices = 20;
using ImportChoices = std::array<bool, kImportChoices>;

/// A generation-2 voice as a generation-3 FM voice; a drum voice also takes XOF 1 on every
/// operator and the drum key.
CVoiceItem MapVoice2(const CVoice2& voice, bool drum);

/// Convert Voice List: every voice of melodic banks 0..9 at 124/bank/program/0 and of drum
/// banks 128..137 at 125/0/bank-128/note. The number of voices stored.
int ConvertVoice2List(const CVoice2List& list, CVoiceBank& bank);

/// Import Voice List: the chosen melodic banks at bank LSB 1, 2, ... and the chosen drum banks
/// at programs from 1 (output profiles 4 and 6) or 2. `marked` runs after each chosen bank.
/// The number of voices stored.
template <typename MarkModified>
int ImportVoice2Banks(const CVoice2List& list, const ImportChoices& chosen, int outputProfile, CVoiceBank& bank,
                      MarkModified marked);

/// The first program an imported drum bank takes.
int FirstImportedDrumProgram(int outputProfile);

/// The default bank file loaded before a generation-3 bank: by output profile.
const char* DefaultBankFile(int outputProfile);

/// A generation-3 bank file's name (with extension, without folder) may have 59 characters.
bool BankFileNameTooLong(const std::string& path);

/// Stores one bank's voices; the number stored (helpers of the template above).
int StoreMelodicBank(const CVoice2List& list, int sourceBank, int lsb, CVoiceBank& bank);
int StoreDrumBank(const CVoice2List& list, int sourceBank, int program, CVoiceBank& bank);

template <typename MarkModified>
int ImportVoice2Banks(const CVoice2List& list, const ImportChoices& chosen, int outputProfile, CVoiceBank& bank,
                      MarkModified marked) {
  int stored = 0;
  int lsb = 1;
  for (int b = 0; b < kMelodicBanks; ++b) {
    if (!chosen[static_cast<size_t>(b)]) continue;
    stored += StoreMelodicBank(list, b, lsb++, bank);
    marked();
  }
  int program = FirstImportedDrumProgram(outputProfile);
  for (int b = kMelodicBanks; b < kImportChoices; ++b) {
    if (!chosen[static_cast<size_t>(b)]) continue;
    stored += StoreDrumBank(list, b + 118, program++, bank);
    marked();
  }
  return stored;
}

}  // namespace voicebank
