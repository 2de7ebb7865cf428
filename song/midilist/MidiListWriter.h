// One write of a MIDI list as a song-data SMF: the song's records and device data at tick 0,
// then its events with their note-offs and section marks.
#pragma once

#include <array>
#include <cstdint>
#include <queue>
#include <string>
#include <vector>

#include "velk/SequenceEmitter.h"

class CMemStream;
class CMidiList;

class CMidiListWriter {
 public:
  /// flags may be null.
  CMidiListWriter(CMidiList& list, uint32_t* flags);
  /// Writes the whole file into `file`. Throws 0 when the write fails (the failure code in the
  /// flags word), -108 without memory.
  void Write(CMemStream& file, const CSeqEventList& first, const CSeqEventList& second);

 private:
  struct NoteOff {
    uint32_t endTick;
    uint64_t order;
    uint8_t channel;
    uint8_t key;
    bool operator>(const NoteOff& other) const {
      return endTick != other.endTick ? endTick > other.endTick : order > other.order;
    }
  };

  void AddFlags(uint32_t bits);
  [[noreturn]] void Fail(uint32_t code);
  void WriteEvent(uint32_t tick, const uint8_t* bytes, uint32_t n);
  void WriteEvent(uint32_t tick, const std::vector<uint8_t>& bytes);

  void WriteContentsHeader();
  void WriteChannelStatus();
  void WriteContentsTexts();
  void AddTextItem(CMemStream& chunk, int tag, const std::string& text);
  void WriteLastText();
  void WriteVoices();
  void WriteWaves();
  void WriteStreamWaves();
  void WriteSetupMode();
  void WriteStreamSettings();
  void WriteUserWaves();
  void CheckRam();
  void WriteChannelVolumes();
  void WriteDefaults();

  void WriteEvents();
  void FlushNoteOffs(uint32_t tick);
  void WriteNoteOff(const NoteOff& off);
  void WriteCue(uint32_t tick, uint32_t code);
  void WriteArmedSectionEnd(uint32_t tick);
  void WriteChannelEvent(const CSeqEvent& e);
  void WriteMetaEvent(const CSeqEvent& e);
  void WriteSysExEvent(const CSeqEvent& e);
  void FinishTrack();

  CMidiList& m_list;
  uint32_t* m_flags;
  int m_kind = 2;
  CMemStream* m_file = nullptr;
  std::vector<const CSeqEvent*> m_events;
  int32_t m_lengthPosition = 0;
  uint32_t m_lastTick = 0;
  uint32_t m_endOfTrackTick = 0;
  uint32_t m_ram = 0;
  std::array<bool, 32> m_userWaveUsed{};
  std::array<bool, 128> m_waveCounted{};
  bool m_hasStreamSlot = false;

  uint32_t m_lastTempo = 0;
  uint32_t m_lastDeviceTempo = 0;
  std::vector<uint8_t> m_lastTimeSignature;
  bool m_firstVolumeSkipped = false;
  uint32_t m_armedSection = 0;
  std::priority_queue<NoteOff, std::vector<NoteOff>, std::greater<>> m_noteOffs;
  uint64_t m_noteOrder = 0;
  std::array<uint32_t, 16> m_pendingPerChannel{};
  std::array<std::array<uint8_t, 2>, 16> m_bankValues{};
};
