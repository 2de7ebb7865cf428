// The per-song channel and voice setup, and the 272-byte output record built from it.
#pragma once

#include <cstdint>

class CVoiceItem;
class CStreamPCMSlot;
class CNamedBlock;

/// The output setup record. The byte blocks keep their offsets (0..207); the 16-word block of
/// offset 208 holds pointer-sized values, so it sits beside them as typed words.
struct SongOutputRecord {
  static constexpr int kBankCodeOffset = 0;
  static constexpr int kProgramCodeOffset = 16;
  static constexpr int kVolumeOffset = 32;
  static constexpr int kVoiceSlotOffset = 48;
  static constexpr int kBlockOffset = 64;
  static constexpr int kStatusOffset = 192;
  static constexpr int kByteBlockSize = 208;
  static constexpr int kWordCount = 16;

  uint8_t bytes[kByteBlockSize] = {};
  std::uintptr_t words[kWordCount] = {};

  uint8_t BankCode(int channel) const { return bytes[kBankCodeOffset + channel]; }
  uint8_t ProgramCode(int channel) const { return bytes[kProgramCodeOffset + channel]; }
};

class CSongSetup {
 public:
  static constexpr int kChannelCount = 16;
  static constexpr int kVoiceSlotCount = 128;
  static constexpr int kVoiceItemCount = 128;
  static constexpr int kStreamSlotCount = 49;
  static constexpr int kUserWaveCount = 32;
  static constexpr int kBlockSize = 128;
  static constexpr int kWordCount = 16;
  static constexpr uint8_t kUnset = 0xFF;

  /// A reset record that owns nothing.
  CSongSetup();
  /// Deletes the objects the record owns.
  virtual ~CSongSetup();
  // Copies go through Assign (shared objects) or Copy (owned copies), never implicitly.
  CSongSetup(const CSongSetup&) = delete;
  CSongSetup& operator=(const CSongSetup&) = delete;

  /// Every field to its reset value; objects the record owns are deleted first.
  void Reset();
  /// Deletes the owned voice items, stream-PCM slots and user waves, then owns nothing. The
  /// pointers stay as they were.
  void Clear();
  /// Copies the per-channel bytes, song-wide values, slot settings and the object pointers,
  /// not the owns flag. The objects are shared: their owner stays their owner. An owning record
  /// deletes what it owned and the other does not hold, and keeps owning only what it owned
  /// before and the other does not own, so no object ever has two owners. To hand objects on,
  /// the receiver takes the flag the giver gives up: r.SetOwnsObjects(g.SetOwnsObjects(0)).
  void Assign(const CSongSetup& other);
  /// Assign, then replaces every present object by an owned copy (also from itself); owns
  /// from then on.
  void Copy(const CSongSetup& other);
  /// Stores the owns flag and returns the old one (how a reader hands its objects on): with 1
  /// the record owns every object it holds, with 0 none of them.
  int SetOwnsObjects(int owns);
  int GetOwnsObjects() const { return m_owns; }

  /// The first PCM voice item with RM 0 whose 7-bit wave id is `id`; null when none.
  CVoiceItem* FindPcmVoiceByWave(int id) const;
  /// Gives the samples to every voice item with RM 0 and that wave id; returns 1.
  int SetWaveSamplesForId(int id, const uint8_t* bytes, uint32_t n);
  void GetOutputRecord(SongOutputRecord& out) const;

  // Per-channel bytes (channel 0..15); setters return 1, or 0 for an index out of range.
  uint8_t GetBankMsb(int ch) const { return ByteAt(m_bankMsb, kChannelCount, ch, kUnset); }
  int SetBankMsb(int ch, uint8_t v) { return SetByteAt(m_bankMsb, kChannelCount, ch, v); }
  uint8_t GetBankLsb(int ch) const { return ByteAt(m_bankLsb, kChannelCount, ch, kUnset); }
  int SetBankLsb(int ch, uint8_t v) { return SetByteAt(m_bankLsb, kChannelCount, ch, v); }
  uint8_t GetProgram(int ch) const { return ByteAt(m_program, kChannelCount, ch, kUnset); }
  int SetProgram(int ch, uint8_t v) { return SetByteAt(m_program, kChannelCount, ch, v); }
  uint8_t GetVolume(int ch) const { return ByteAt(m_volume, kChannelCount, ch, kUnset); }
  int SetVolume(int ch, uint8_t v) { return SetByteAt(m_volume, kChannelCount, ch, v); }
  uint8_t GetNoVolumeEvent(int ch) const { return ByteAt(m_noVolumeEvent, kChannelCount, ch, 0); }
  int SetNoVolumeEvent(int ch, uint8_t v) {
    return SetByteAt(m_noVolumeEvent, kChannelCount, ch, v);
  }
  uint8_t GetStatus(int ch) const { return ByteAt(m_status, kChannelCount, ch, 0); }
  int SetStatus(int ch, uint8_t v) { return SetByteAt(m_status, kChannelCount, ch, v); }

  // Voice slot per channel (0..127): the byte form and its 32-bit copy.
  uint8_t GetVoiceSlot(int i) const { return ByteAt(m_voiceSlot, kVoiceSlotCount, i, kUnset); }
  int32_t GetVoiceSlotWord(int i) const;
  /// The byte form only.
  int SetVoiceSlotByte(int i, uint8_t v) { return SetByteAt(m_voiceSlot, kVoiceSlotCount, i, v); }
  /// Both forms; 255 or a negative value means none.
  int SetVoiceSlot(int i, int32_t v);

  /// The 128-byte block copied into the output record unchanged.
  uint8_t GetBlockByte(int i) const { return ByteAt(m_block, kBlockSize, i, 0); }
  int SetBlockByte(int i, uint8_t v) { return SetByteAt(m_block, kBlockSize, i, v); }
  /// The 16-word block copied into the output record (pointer-sized words).
  std::uintptr_t GetWord(int i) const { return (i >= 0 && i < kWordCount) ? m_words[i] : 0; }
  int SetWord(int i, std::uintptr_t v);

  uint8_t GetMasterVolume() const { return m_masterVolume; }
  int SetMasterVolume(uint8_t v) { m_masterVolume = v; return 1; }

  // Stream-PCM slot settings (slot 0..48).
  uint8_t GetSlotSettingFirst(int s) const { return ByteAt(m_slotFirst, kStreamSlotCount, s, kUnset); }
  uint8_t GetSlotSettingSecond(int s) const {
    return ByteAt(m_slotSecond, kStreamSlotCount, s, kUnset);
  }
  /// The stream channel byte of slot s as the assign map reads it (the second setting value).
  uint8_t GetChannelByte922(int s) const { return GetSlotSettingSecond(s); }
  int SetSlotSetting(int s, uint8_t first, uint8_t second);
  uint8_t GetSlotFlag(int s) const { return ByteAt(m_slotFlag, kStreamSlotCount, s, 0); }
  int SetSlotFlag(int s, uint8_t v) { return SetByteAt(m_slotFlag, kStreamSlotCount, s, v); }

  // Objects (voice 0..127, slot 0..48, block 0..31). An owning record takes the objects it is
  // given; replacing an object that the record owns deletes it once no entry holds it.
  CVoiceItem* GetVoiceItem(int i) const;
  int SetVoiceItem(int i, CVoiceItem* item);
  CStreamPCMSlot* GetStreamPcmSlot(int s) const;
  int SetStreamPcmSlot(int s, CStreamPCMSlot* slot);
  CNamedBlock* GetUserWave(int b) const;
  int SetUserWave(int b, CNamedBlock* block);

  uint8_t GetStreamMode() const { return m_streamMode; }
  int SetStreamMode(uint8_t v) { m_streamMode = v; return 1; }
  uint16_t GetTimeBase() const { return m_timeBase; }
  int SetTimeBase(uint16_t v) { m_timeBase = v; return 1; }
  uint8_t GetOptionByte() const { return m_optionByte; }
  int SetOptionByte(uint8_t v) { m_optionByte = v; return 1; }

 private:
  static uint8_t ByteAt(const uint8_t* array, int count, int i, uint8_t none) {
    return (i >= 0 && i < count) ? array[i] : none;
  }
  static int SetByteAt(uint8_t* array, int count, int i, uint8_t v);
  template <typename T>
  struct ObjectArray;
  ObjectArray<CVoiceItem> VoiceItems() const;
  ObjectArray<CStreamPCMSlot> StreamSlots() const;
  ObjectArray<CNamedBlock> UserWaves() const;
  void MarkAllOwned(bool owned);
  void ResetValues();
  void CopyValues(const CSongSetup& other);

  int m_owns = 0;
  uint8_t m_bankMsb[kChannelCount];
  uint8_t m_bankLsb[kChannelCount];
  uint8_t m_program[kChannelCount];
  uint8_t m_volume[kChannelCount];
  uint8_t m_noVolumeEvent[kChannelCount];
  uint8_t m_voiceSlot[kVoiceSlotCount];
  int32_t m_voiceSlotWord[kVoiceSlotCount];
  uint8_t m_block[kBlockSize];
  uint8_t m_status[kChannelCount];
  uint8_t m_masterVolume;
  uint8_t m_slotFirst[kStreamSlotCount];
  uint8_t m_slotSecond[kStreamSlotCount];
  uint8_t m_slotFlag[kStreamSlotCount];
  std::uintptr_t m_words[kWordCount];
  CVoiceItem* m_voiceItems[kVoiceItemCount];
  CStreamPCMSlot* m_streamSlots[kStreamSlotCount];
  CNamedBlock* m_userWaves[kUserWaveCount];
  // Which entries this record owns (an object owned once, however many entries hold it).
  bool m_ownsVoiceItem[kVoiceItemCount];
  bool m_ownsStreamSlot[kStreamSlotCount];
  bool m_ownsUserWave[kUserWaveCount];
  uint8_t m_streamMode;
  uint16_t m_timeBase;
  uint8_t m_optionByte;
};
