// The song's 512 voice slots: voice addresses with the voice of every chip generation.
#pragma once

#include <cstdint>
#include <memory>

#include "song/Voice2.h"
#include "song/VoiceItem.h"

/// Slots 0-127 are the ordinary area, 128-255 the second area, 256-383 and 384-511 their
/// extension areas. Index checks are the table's: a getter outside 0..511 reads as cleared
/// (255, or null), a setter does nothing and returns 0.
class CVoiceAssignTable {
 public:
  static constexpr int kSlotCount = 512;
  static constexpr int kAreaSize = 128;
  static constexpr int kChannelCount = 16;
  static constexpr int kKZ1VoiceSize = 33;
  static constexpr uint8_t kUnset = 255;

  CVoiceAssignTable();
  virtual ~CVoiceAssignTable();
  CVoiceAssignTable(const CVoiceAssignTable&) = delete;
  CVoiceAssignTable& operator=(const CVoiceAssignTable&) = delete;

  /// 0 clears every slot and the use counts; another value only the use counts.
  void Reset(int useCountsOnly);
  /// Bank MSB, bank LSB and program 255, note 0, the voices of every generation cleared.
  void ClearSlot(int i);

  uint8_t GetBankMsb(int i) const { return Valid(i) ? m_bankMsb[i] : kUnset; }
  uint8_t GetBankLsb(int i) const { return Valid(i) ? m_bankLsb[i] : kUnset; }
  uint8_t GetProgram(int i) const { return Valid(i) ? m_program[i] : kUnset; }
  uint8_t GetNote(int i) const { return Valid(i) ? m_note[i] : 0; }
  int SetBankMsb(int i, uint8_t v) { return Put(m_bankMsb, i, v); }
  int SetBankLsb(int i, uint8_t v) { return Put(m_bankLsb, i, v); }
  int SetProgram(int i, uint8_t v) { return Put(m_program, i, v); }
  int SetNote(int i, uint8_t v) { return Put(m_note, i, v); }
  /// All four address bytes at once.
  int SetAddress(int i, uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note);

  /// Copies the 33-byte generation-1 voice of slot i out; zeroes when i is out of range.
  void GetKZ1Voice(int i, uint8_t out[kKZ1VoiceSize]) const;
  const uint8_t* GetKZ1VoiceBytes(int i) const;
  int SetKZ1Voice(int i, const uint8_t* voice33);

  /// The generation-2 voice of slot i, or null.
  CVoice2* GetVoice2(int i) { return Valid(i) ? &m_voice2[i] : nullptr; }
  const CVoice2* GetVoice2(int i) const { return Valid(i) ? &m_voice2[i] : nullptr; }
  /// Stores the voice, then writes the slot's bank MSB, slot number and program into it.
  int SetVoice2(int i, const CVoice2& voice);

  /// The voice item of slot i, or null.
  CVoiceItem* GetVoiceItem(int i) { return Valid(i) ? &m_items[i] : nullptr; }
  const CVoiceItem* GetVoiceItem(int i) const { return Valid(i) ? &m_items[i] : nullptr; }
  /// Copies the item's blocks (its wave only for a PCM voice), then writes the slot's address
  /// into it: area i / 256, number i mod 256, program, bank LSB, bank MSB, note.
  int SetVoiceItem(int i, const CVoiceItem& item);
  /// Stores the kind, the wave flags, the FM, PCM and extension blocks and the wave data.
  int SetVoiceItemFields(int i, const CVoiceItem& item);

  /// Use count of an ordinary-area slot by a channel; 0 outside the table.
  int GetUseCount(int channel, int slot) const;
  int SetUseCount(int channel, int slot, int value);

 private:
  static bool Valid(int i) { return i >= 0 && i < kSlotCount; }
  static int Put(uint8_t* map, int i, uint8_t v) {
    if (!Valid(i)) return 0;
    map[i] = v;
    return 1;
  }
  void WriteAddressIntoItem(int i);

  uint8_t m_bankMsb[kSlotCount];
  uint8_t m_bankLsb[kSlotCount];
  uint8_t m_program[kSlotCount];
  uint8_t m_note[kSlotCount];
  std::unique_ptr<uint8_t[]> m_kz1Voices;
  std::unique_ptr<CVoice2[]> m_voice2;
  std::unique_ptr<CVoiceItem[]> m_items;
  int m_useCounts[kChannelCount][kAreaSize];
};
