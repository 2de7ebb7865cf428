// Export to and import from a voice-bank file of one bank of the generation-3/5 voice list.
// The import is staged: every check passes before the library changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CVoiceBank;
class CVoiceLibrary;

class CVListBankTransfer {
 public:
  static constexpr int kMsgCannotSave = 7075;
  static constexpr int kMsgIllegalFile = 7045;
  static constexpr int kMsgOtherBank = 7074;
  static constexpr int kMsgWavesFull = 7070;
  static constexpr int kLogImport = 7511;
  static constexpr int kLogExport = 7512;
  /// The library's user-wave slots that an imported bank brings.
  static constexpr int kUserWaveSlots[3] = {15, 23, 31};

  /// The bank of the command: MSB 124 with an LSB, or MSB 125 with LSB 0 and a program.
  CVListBankTransfer(CVoiceLibrary& library, int msb, int lsb, int program);

  /// The file image: the library's 32 user waves and the bank's voices (melody programs 0..127
  /// or drum notes 13..91), identical waves shared.
  std::vector<uint8_t> BuildImage() const;
  /// Writes the image over the path in one step. 0, or 7075 (shown) when it cannot be
  /// written: then nothing is logged, the library stays marked and the old file stays.
  int Export(const std::string& path);
  /// Replaces the bank by the file's bank of the same kind. 0, or the message shown: 7045 not a
  /// bank (or not chip mode 3), 7074 no such bank in the file, 7070 no free wave id; after a
  /// refusal the library is as it was.
  int Import(const std::string& path, int chipMode);

 private:
  bool IsDrum() const { return m_msb == 125; }
  bool InBank(int msb, int lsb, int program) const;

  CVoiceLibrary& m_library;
  int m_msb;
  int m_lsb;
  int m_program;
};
