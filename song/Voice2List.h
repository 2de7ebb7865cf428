// The generation-2 voice list and its ".vkz" voice file.
#pragma once

#include <cstdint>
#include <string>

#include "song/PtrChain.h"

class CMemStream;
class CVoice2;

/// File bank 10..19 is drum bank 128..137 in the list.
int ListBankFromFile(int fileBank);
/// Drum bank 128..137 back to 10..19; other banks unchanged.
int FileBankFromList(int bank);

class CVoice2List : public CPtrChain {
 public:
  CVoice2List() = default;
  ~CVoice2List() override;

  // Typed wrappers over the list; the list owns the records it holds.
  void RemoveVoice(CVoice2* voice) { Remove(reinterpret_cast<Value>(voice)); }
  void AddVoice(CVoice2* voice) { AddTail(reinterpret_cast<Value>(voice)); }
  /// 1-based as the list; null when out of range.
  CVoice2* GetVoice(int32_t index) const;

  /// The first voice with that bank and program, or null.
  CVoice2* Find(int bank, int program) const;
  /// Replaces every voice of that bank and program by one copy of the voice; true.
  bool Set(int bank, int program, const CVoice2& voice);
  /// Deletes every voice of that bank and program; true when one was removed.
  bool RemoveMatching(int bank, int program);
  /// Deletes every record and empties the list.
  void RemoveAll() override;
  void DeleteAll() { RemoveAll(); }

  /// Reads a ".vkz" file; false when it cannot be read or is malformed (voices set before
  /// the failure stay).
  bool LoadFile(const std::string& path);
  bool LoadBytes(const uint8_t* data, uint32_t size);
  /// Writes the list as a ".vkz" image; false when the stream is not empty.
  bool WriteChunks(CMemStream& stream) const;

 private:
  bool ReadVoiceChunk(const uint8_t* body, uint32_t n);
};

class CVoice2ListIter : public CPtrChainIter {
 public:
  explicit CVoice2ListIter(const CVoice2List& list) : CPtrChainIter(list) {}
  ~CVoice2ListIter() override = default;
  /// The next record, or null at the end.
  CVoice2* NextVoice();
};
