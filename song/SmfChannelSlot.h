// One output channel of the channel split: which source channel it serves and what it sounds.
#pragma once

#include <cstdint>

class CSmfChannelSlot {
 public:
  static constexpr uint8_t kNone = 0xFF;

  CSmfChannelSlot() = default;
  virtual ~CSmfChannelSlot() = default;

  uint8_t GetSourceChannel() const { return m_sourceChannel; }
  void SetSourceChannel(uint8_t channel) { m_sourceChannel = channel; }
  uint8_t GetNote() const { return m_note; }
  void SetNote(uint8_t note) { m_note = note; }
  uint8_t GetDrumKey() const { return m_drumKey; }
  void SetDrumKey(uint8_t key) { m_drumKey = key; }
  uint8_t GetBoundKey() const { return m_boundKey; }
  void SetBoundKey(uint8_t key) { m_boundKey = key; }
  uint32_t GetStartTick() const { return m_startTick; }
  void SetStartTick(uint32_t tick) { m_startTick = tick; }

  // Counts saturate: a byte that wrapped would release a note that still sounds.
  uint8_t GetNoteCount() const { return m_noteCount; }
  void IncrementNoteCount() { if (m_noteCount < 0xFF) ++m_noteCount; }
  void DecrementNoteCount() { if (m_noteCount > 0) --m_noteCount; }
  void ClearNoteCount() { m_noteCount = 0; }
  uint8_t GetDrumCount() const { return m_drumCount; }
  void IncrementDrumCount() { if (m_drumCount < 0xFF) ++m_drumCount; }
  void DecrementDrumCount() { if (m_drumCount > 0) --m_drumCount; }
  void ClearDrumCount() { m_drumCount = 0; }

 private:
  uint8_t m_sourceChannel = kNone;
  uint8_t m_note = kNone;
  uint8_t m_drumKey = kNone;
  uint8_t m_boundKey = kNone;
  uint32_t m_startTick = 0;
  uint8_t m_noteCount = 0;
  uint8_t m_drumCount = 0;
};
