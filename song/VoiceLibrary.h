// The application's one store of voices of every chip generation and its default voices.
#pragma once

#include <cstdint>
#include <memory>

#include "song/Voice2.h"
#include "song/Voice2List.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceTable1.h"

class CMemStream;
class CNamedBlock;

class CVoiceLibrary {
 public:
  static constexpr int kUserWaveCount = 32;

  CVoiceLibrary();
  virtual ~CVoiceLibrary();
  CVoiceLibrary(const CVoiceLibrary&) = delete;
  CVoiceLibrary& operator=(const CVoiceLibrary&) = delete;

  /// Loads the default voices of the current chip mode from the program's folder. False in
  /// chip mode 3 when the default bank (or a present user bank) cannot be read.
  bool LoadDefaultVoices();

  /// The file table when flag is nonzero, else the normal table.
  CVoiceTable1& GetGen1VoiceTable(int flag) { return flag ? m_fileTable : m_normalTable; }
  CVoiceTable1& GetVoiceTable() { return m_normalTable; }
  CVoiceTable1& GetFileVoiceTable() { return m_fileTable; }
  CVoiceTable1& GetCopyVoiceTable() { return m_copyTable; }
  /// Entry i (low 8 bits) of the file (flag nonzero) or normal table.
  uint8_t* GetVoiceTableEntry(int flag, int i) { return GetGen1VoiceTable(flag).GetEntry(i & 0xFF); }
  /// The first entry index of a bank in the generation-1 tables: 0 for every bank.
  int GetBankBaseIndex(int /*bank*/) const { return 0; }

  CVoice2List& GetVoice2List() { return m_voice2List; }
  CVoiceBank& GetVoiceBank() { return m_bank; }

  /// The voice of that bank and program, or the work record cleared.
  CVoice2* GetVoice2(int bank, int program);
  /// The bank's voice (by note, or by program for note 255), or the work item cleared and
  /// addressed.
  CVoiceItem* FindOrCreateVoice(int msb, int lsb, int program, int note);

  // Setters store a copy, then mark the library and the current song document modified.
  bool SetVoice2(int bank, int program, const CVoice2& voice);
  bool SetVoiceByProgram(int msb, int lsb, int program, const CVoiceItem& item);
  bool SetVoice(int msb, int lsb, int program, int note, const CVoiceItem& item);

  bool WriteVoice2File(CMemStream& stream) const { return m_voice2List.WriteChunks(stream); }
  /// Gives the bank the library's 32 user waves, then writes its user-editable voices.
  bool SaveVoiceBank(CMemStream& stream);

  /// User wave i (0..31) or null.
  CNamedBlock* GetWaveBlock(int i) const;
  /// Creates block i when absent and assigns the given block to it; false for a bad index.
  bool SetWaveBlock(int i, const CNamedBlock& block);
  bool DeleteWaveBlock(int i);

  /// In chip modes 3 and 5 the bank's ShareIdenticalWaves; true.
  bool ShareIdenticalWaves(const CVoiceItem& item);

  /// Stores the modified flag and returns the previous one.
  int SetModified(int value);
  int GetFirstField() const { return m_modified; }
  int IsModified() const { return m_modified; }

 private:
  bool LoadDefaultBank();
  void AddFixedBankCopies();
  void MarkModified();

  int m_modified = 0;
  CVoice2 m_workVoice2;
  CVoiceItem m_workItem;
  CVoiceTable1 m_normalTable;
  CVoiceTable1 m_fileTable;
  CVoiceTable1 m_copyTable;
  CVoice2List m_voice2List;
  CVoiceBank m_bank;
  std::unique_ptr<CNamedBlock> m_userWaves[kUserWaveCount];
};

/// 1 when v is 1, else 0.
int IsValueOne(int v);
/// 1 whatever the arguments (the voice-list panes call it).
int ReturnTrue3(int a, int b, int c);
