// The generation-3/5 voice bank: owned voice items by address, 32 FM user-wave slots, and
// the voice-bank file of "FMK3", "WVK3" and "FWK3" chunks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "song/PtrChain.h"

class CMemStream;
class CNamedBlock;
class CVoiceItem;

class CVoiceBank : public CPtrChain {
 public:
  static constexpr int kSlotCount = 32;
  static constexpr uint8_t kNoFreeWaveId = 255;

  /// Load modes: the current layout, the earlier layout, FM voices only.
  static constexpr int kLoadAll = 0;
  static constexpr int kLoadOldLayout = 1;
  static constexpr int kLoadFmOnly = 2;

  /// RemoveAll modes.
  static constexpr int kRemoveEverything = 0;
  static constexpr int kRemoveUserEditable = 2;
  static constexpr int kRemoveWaveSlots = 3;

  CVoiceBank();
  ~CVoiceBank() override;

  // Typed wrappers over the list; the bank owns the items it holds.
  void RemoveItem(CVoiceItem* item) { Remove(reinterpret_cast<Value>(item)); }
  void AddItem(CVoiceItem* item) { AddTail(reinterpret_cast<Value>(item)); }
  /// 1-based as the list; null when out of range.
  CVoiceItem* GetItem(int32_t index) const;

  CVoiceItem* FindVoice(int msb, int lsb, int program, int note) const;
  CVoiceItem* FindByProgram(int msb, int lsb, int program) const;
  /// Stores a copy of the item under the address (replacing the voice found there).
  bool SetVoice(int msb, int lsb, int program, int note, const CVoiceItem& item);
  /// As SetVoice, found by program; the copy keeps the item's note.
  bool SetVoiceByProgram(int msb, int lsb, int program, const CVoiceItem& item);
  void RemoveAll(int mode);

  int GetSlotCount() const { return kSlotCount; }
  /// Slot i (0..31) or null.
  CNamedBlock* GetWaveSlot(int i) const;
  /// A copy of the block, or an empty slot for null.
  void SetWaveSlot(int i, const CNamedBlock* block);

  /// Reads a voice-bank file; false when it cannot be read or a chunk fails. Voices stored
  /// before a failure stay in the bank.
  bool LoadFile(const std::string& path, int mode);
  /// The same over a file image in memory.
  bool LoadBytes(const uint8_t* data, uint32_t size, int mode);
  /// Appends the bank's chunks to the stream; with allVoices false only user-editable voices.
  /// The written items are normalised (id, BO, PCM KSR and KSL, kind). True.
  bool SaveChunks(CMemStream& stream, bool allVoices);

  bool IsWaveIdUsed(int id) const;
  int CountWaveIdUsers(const CVoiceItem& item) const;
  /// The smallest unused wave id 0..127, or 255.
  int FindFreeWaveId() const;
  /// The wave name of the first item with samples and that id, or null.
  const char* GetWaveNameById(int id) const;
  CVoiceItem* FindVoiceByWaveId(int id) const;
  /// The wave data (header first) of FindVoiceByWaveId, or null.
  const uint8_t* GetWaveHeaderById(int id) const;
  /// Gives identical RAM waves one id, then spreads the item's wave over the items of its id.
  bool ShareIdenticalWaves(const CVoiceItem& item);

 private:
  class Reader;

  std::unique_ptr<CNamedBlock> m_waveSlots[kSlotCount];
};

class CVoiceBankIter : public CPtrChainIter {
 public:
  explicit CVoiceBankIter(const CVoiceBank& bank) : CPtrChainIter(bank) {}
  ~CVoiceBankIter() override = default;
  /// The next item, or null at the end.
  CVoiceItem* NextItem();
};
