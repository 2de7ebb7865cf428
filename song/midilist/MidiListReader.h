// One read of a song-data SMF into a MIDI list: a counting pass, then the pass that fills it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "song/SmfDialect.h"
#include "song/SmfMultiTrackWalk.h"

class CMidiList;
class CSeqEvent;

class CMidiListReader {
 public:
  /// flags may be null.
  CMidiListReader(CMidiList& list, uint32_t* flags);
  /// Fills the list from the image. Throws 0 for a malformed or refused file, -108 without
  /// memory; result bits and failure codes go to the flags word first.
  void Read(const uint8_t* image, uint32_t size);

 private:
  static constexpr int kChannels = 16;
  static constexpr int kKeys = 128;
  static constexpr uint8_t kNone = 0xFF;

  struct ChannelState {
    uint8_t msb = kNone;
    uint8_t lsb = kNone;
    CSeqEvent* bankEvent = nullptr;
    CSeqEvent* pendingPan = nullptr;
    bool streamKeys = false;
  };
  /// Note-ons not yet ended, per channel and key, oldest first.
  using PendingNotes = std::array<std::vector<CSeqEvent*>, kChannels * kKeys>;
  struct TrackNotes {
    PendingNotes notes;
    uint32_t count = 0;
  };

  void AddFlags(uint32_t bits);
  [[noreturn]] void Fail(uint32_t code);

  void FirstPass();
  void CountEvent(const SmfEvent& e, CSmfTrackCursor& cursor);
  void CountDeviceMessage(const SmfEvent& e);
  void CheckCues();
  void AddDefaults();
  void SecondPass();
  void HandleEvent(const SmfEvent& e, CSmfTrackCursor& cursor);
  void EndTrack(uint32_t track, uint32_t tick);

  void HandleMeta(const SmfEvent& e, CSmfTrackCursor& cursor);
  void HandleCue(const SmfEvent& e);
  void HandleTickTempo(const SmfEvent& e);
  void HandleSequencerMeta(const SmfEvent& e);
  void HandleSysEx(const SmfEvent& e);
  void HandleSongRecord(const SmfEvent& e, const DialectMessage& m);
  void HandleContentsHeader(const std::vector<uint8_t>& plain);
  void ReadContentsItems(const uint8_t* p, uint32_t n);
  void ReadTextChunks(const std::vector<uint8_t>& plain);
  void ReadTextItems(const uint8_t* p, uint32_t n);
  void HandleDeviceTempo(const SmfEvent& e, const DialectMessage& m);
  void HandleDevice(const SmfEvent& e, const DialectMessage& m);
  void HandleMasterVolume(const SmfEvent& e, const DialectMessage& m);
  void HandleVoice(const DialectMessage& m);
  void HandleWave(const DialectMessage& m);
  void HandleStreamWave(const DialectMessage& m);
  void FinishStreamWave(int slot, uint8_t flags);
  void HandleUserWave(const DialectMessage& m);
  void HandleStreamSetting(const SmfEvent& e, const DialectMessage& m);

  void HandleChannel(const SmfEvent& e);
  void HandleControl(const SmfEvent& e, uint8_t value);
  uint8_t FixBankMsb(uint8_t channel, uint8_t value);
  void HandleProgram(const SmfEvent& e);
  void EnsureBankSelect(uint8_t channel, uint32_t tick, uint8_t msb);
  void SetBankEvent(uint8_t channel, uint8_t msb);
  void HandleNoteOn(const SmfEvent& e);
  void HandleNoteOff(const SmfEvent& e);

  CSeqEvent* AddSong(uint32_t tick, const uint8_t* bytes, uint32_t n, uint32_t cue = 0);
  CSeqEvent* AddSetup(uint32_t tick, const uint8_t* bytes, uint32_t n);
  void RepairStartStop();
  void InsertBefore(CSeqEvent* event, bool (*isPlace)(const CSeqEvent&, uint32_t), uint32_t tick);
  void Tidy();

  CMidiList& m_list;
  uint32_t* m_flags;
  int m_kind = 2;
  int m_maker = 1;
  bool m_clamp = false;
  bool m_phrase = false;
  CSmfMultiTrackWalk m_walk;
  uint16_t m_division = 0;

  // First pass.
  uint32_t m_startCount = 0;
  uint32_t m_stopCount = 0;
  uint32_t m_lastStartTick = 0;
  uint32_t m_lastStopTick = 0;
  std::array<uint32_t, 8> m_sectionCount{};
  bool m_tempoFound = false;
  uint32_t m_firstTempo = 0;
  bool m_timeSignatureAtZero = false;
  bool m_deviceTempoAtZero = false;
  uint8_t m_rhythmChannel = kNone;
  std::array<uint8_t, 50> m_partner{};
  std::array<std::array<uint8_t, 2>, 50> m_slotValues{};

  // Second pass.
  std::array<uint32_t, 8> m_sectionSeen{};
  uint32_t m_startSeen = 0;
  uint32_t m_stopSeen = 0;
  uint32_t m_startTick = 0;
  uint32_t m_lastDeviceTempo = 0;
  std::array<uint8_t, 4> m_lastTimeSignature{};
  bool m_hasTimeSignature = false;
  bool m_songTextRead = false;
  bool m_volumeSeen = false;
  bool m_noteSeen = false;
  bool m_streamSetting = false;
  uint32_t m_voiceCount = 0;
  int m_nextVoiceSlot = 0;
  uint32_t m_lastTrackEnd = 0;
  std::array<ChannelState, kChannels> m_channels{};
  std::vector<std::unique_ptr<TrackNotes>> m_tracks;
};
