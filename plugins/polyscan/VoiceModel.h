// How the chip driver gives its 42 voices to the notes of a song, and the counts it demands.
#pragma once

#include <array>
#include <cstdint>

#include "plugins/polyscan/PendingList.h"
#include "plugins/polyscan/SongTables.h"

namespace polyscan {

inline constexpr int kChipVoices = 42;
inline constexpr int kFirstPcmSlot = 32;
inline constexpr int kPcmSlots = 8;
inline constexpr int kLastStreamSlot = 41;
inline constexpr int kChannels = 16;
inline constexpr int kNotesPerChannel = 42;
inline constexpr uint8_t kFreeVoice = 255;
inline constexpr uint16_t kRomVoice = 0;  // address of the driver's built-in voices

struct ChipVoice {
  bool busy = false;
  bool stolen = false;
  uint8_t owner = 0;     // channel 0..15
  uint32_t age = 0;      // the note-event counter when taken or freed
  uint32_t serial = 0;   // rises with every take, so a note knows whether its voice is still its own
  uint64_t keyOnMicros = 0;
};

struct NoteEntry {
  uint8_t voice = kFreeVoice;
  uint8_t key = 0;
  uint8_t velocity = 0;
  bool stream = false;
  uint32_t age = 0;
  uint32_t serial = 0;
};

struct ChannelState {
  uint8_t msb = 0;
  uint8_t lsb = 0;
  uint8_t program = 0;
  bool mono = false;
  int heldNotes = 0;  // recorded FM and PCM notes; stream keys are not held
  uint8_t currentVoice = kFreeVoice;
  uint32_t currentSerial = 0;
  std::array<NoteEntry, kNotesPerChannel> notes{};
};

/// What a note would play: its kind and where it sits (kNoAddress: nothing to play).
struct VoiceRef {
  VoiceKind kind = VoiceKind::Fm;
  uint16_t ramAddress = kNoAddress;
};

class VoiceModel {
 public:
  /// defaultBanks: melody bank 0x7C everywhere, 0x7D on channel 10, and 16 FM voices.
  /// streamKeys: the number of playable stream keys (0 turns stream keys off).
  VoiceModel(const SongTables& tables, bool defaultBanks, int streamMode, int streamKeys);

  /// Moves the clock and sends the held-back writes that are due.
  void AdvanceTo(uint64_t micros);
  /// A note-on; velocity 0 releases. Throws CheckFailure when the pending list is full.
  void NoteOn(int channel, uint8_t key, uint8_t velocity);
  void NoteOff(int channel, uint8_t key);
  void ControlChange(int channel, uint8_t control, uint8_t value);
  void ProgramChange(int channel, uint8_t program);
  /// End of the song: sends what is held back and silences every channel, counts unchanged.
  void Finish();

  VoiceRef FindVoiceDef(uint8_t msb, uint8_t lsb, uint8_t program, uint8_t key,
                        bool drum) const;
  bool IsDrumChannel(int channel) const;

  int FmCount() const { return m_fmCount; }
  int PcmCount() const { return m_pcmCount; }
  int FmSlots() const { return m_defaultBanks ? 16 : 32; }
  int PcmSlots() const { return kPcmSlots - m_streamMode; }
  const ChipVoice& Voice(int slot) const { return m_voices[slot]; }
  const ChannelState& Channel(int channel) const { return m_channels[channel]; }
  size_t PendingWrites() const { return m_pending.Size(); }

 private:
  void AllocateNote(int channel, uint8_t key, uint8_t velocity);
  void ReleaseNote(int channel, uint8_t key);
  void ReleaseStreamKey(int channel, uint8_t key);
  bool IsStreamKeyNote(const ChannelState& c, uint8_t key) const;
  int PickVoiceSlot(VoiceKind kind, int channel);
  int PickStreamSlot(int channel);
  int FindFreeSlot(int first, int last, bool downward) const;
  int FindStealSlot(int first, int last) const;
  int FindOldestSlot(int first, int last, bool downward) const;
  int TakeSlot(int slot, int channel);
  void FreeSlot(uint8_t slot, uint32_t serial, bool keyOff);
  void Record(ChannelState& c, uint8_t voice, uint32_t serial, uint8_t key, uint8_t velocity,
              bool stream);
  NoteEntry* FindEntry(ChannelState& c, uint8_t key, bool stream);
  void AllNotesOff(int channel);
  void LowerCount(VoiceKind kind);

  const SongTables& m_tables;
  bool m_defaultBanks;
  int m_streamMode;
  int m_streamKeys;
  std::array<bool, kStreamIdLimit> m_streamKeyIds{};
  std::array<ChipVoice, kChipVoices> m_voices{};
  std::array<ChannelState, kChannels> m_channels{};
  PendingList m_pending;
  uint32_t m_age = 0;
  uint64_t m_now = 0;
  int m_fmCount = 0;
  int m_pcmCount = 0;
};

}  // namespace polyscan
