// First pass of the import: what the header events at tick 0 need to know about the whole song.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "plugins/midigate/SmfBytes.h"
#include "plugins/midigate/TrackCursor.h"
#include "song/SmfDialect.h"
#include "song/SongTextInfo.h"

namespace midigate {

class CTrackSet;

/// One voice the song plays: {bank MSB, bank LSB, program, key (0 for melody voices)}.
struct VoiceUse {
  uint8_t msb = 0;
  uint8_t lsb = 0;
  uint8_t program = 0;
  uint8_t key = 0;
};

/// A SysEx event of the source kept to be copied unchanged.
struct SourceBlock {
  const uint8_t* raw = nullptr;
  uint32_t length = 0;
  bool Present() const { return raw != nullptr; }
};

inline constexpr uint8_t kUnset = 0xFF;
inline constexpr size_t kVoiceUseCapacity = 4096;
inline constexpr uint32_t kMinTempo = 60000;
inline constexpr uint32_t kMaxTempo = 6000000;

/// Scans the merged source once. Fails (CNVERR_FAILED) on a tempo outside 60000..6000000, a
/// Master Volume of 128 or more, or a QX text too short to hold its fields.
class CImportScan {
 public:
  /// Result bits (CNVF_DEFAULT_VOLUME) are ORed into flags as they are found.
  explicit CImportScan(uint32_t& flags);

  void Run(CTrackSet& tracks);

  /// The master volume of the header block: the first Master Volume, or 100.
  uint8_t MasterVolume() const { return m_masterVolume == kUnset ? 100 : m_masterVolume; }
  bool TempoAtZero() const { return m_tempoAtZero; }
  bool TimeSignatureAtZero() const { return m_timeSignatureAtZero; }
  bool HasVoiceDefinitions() const { return m_voiceDefinitions; }
  const std::vector<VoiceUse>& VoiceUses() const { return m_voices; }
  const SourceBlock& ChannelBlock() const { return m_channelBlock; }
  const SourceBlock& InfoBlock() const { return m_infoBlock; }
  /// The 16 channel bytes of a sequencer-specific meta event, or null when none was met.
  const uint8_t* ChannelBytes() const { return m_hasChannelBytes ? m_channelBytes : nullptr; }

  /// The song text of the last "QXln" text event, when there was one.
  bool HasSongText() const { return m_hasSongText; }
  const CSongTextInfo& SongText() const { return m_songText; }
  /// Index of the QX language code in "JP", "L1", "KR", "HZ", "B5", "CY", "VN"; 0xFF when none.
  uint8_t LanguageIndex() const { return m_languageIndex; }
  bool HasCopyright() const { return m_hasCopyright; }
  /// The copyright text, cut at 255 characters.
  const char* Copyright() const { return m_copyright; }

 private:
  template <typename Handler>
  friend void DispatchEvents(CTrackSet& tracks, Handler& handler);
  void OnMeta(const SmfEvent& event);
  void OnSysEx(const SmfEvent& event);
  void OnChannel(const SmfEvent& event);
  void OnNoteOn(uint8_t channel, uint8_t key);
  void ReadQxInfo(const uint8_t* text, uint32_t n);
  void Record(uint8_t channel, const VoiceUse& voice, bool melody);

  uint32_t& m_flags;
  uint8_t m_masterVolume = kUnset;
  bool m_tempoAtZero = false;
  bool m_timeSignatureAtZero = false;
  bool m_voiceDefinitions = false;
  SourceBlock m_channelBlock;
  SourceBlock m_infoBlock;
  bool m_hasChannelBytes = false;
  uint8_t m_channelBytes[16] = {};

  bool m_hasSongText = false;
  CSongTextInfo m_songText;
  uint8_t m_languageIndex = kUnset;
  bool m_hasCopyright = false;
  char m_copyright[kInfoFieldSize] = {};

  uint8_t m_pendingMsb[16];
  uint8_t m_pendingLsb[16];
  uint8_t m_msb[16];
  uint8_t m_lsb[16];
  uint8_t m_program[16];
  uint8_t m_lastRecorded[16];
  std::vector<VoiceUse> m_voices;
  std::unordered_set<uint32_t> m_voiceKeys;
};

/// Maps the bank select MSB values 0x7A and 0x7B to the melody and drum banks.
inline uint8_t MapBankMsb(uint8_t value) {
  if (value == 0x7A) return kBankMelody;
  if (value == 0x7B) return kBankDrum;
  return value;
}

/// True for the universal real-time Master Volume: 7F dev 04 01 LSB MSB F7.
bool IsMasterVolume(const SmfEvent& event);
/// True for a SysEx event whose body ends in F7.
bool EndsInF7(const SmfEvent& event);

}  // namespace midigate
