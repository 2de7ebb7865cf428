// The decoder of a format-1/2 score-track sequence (tracks 5 and 6) into timed event records.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/TrackBuild.h"
#include "velk/SequenceEmitter.h"

/// Report bits of the decoder.
inline constexpr uint32_t kReportMergedNote = 0x100000;
inline constexpr uint32_t kReportBadStreamSlot = 0x2000000;

class CFormat12Sequence {
 public:
  static constexpr int kChannels = 16;
  static constexpr uint8_t kDefaultVelocity = 0x40;
  static constexpr uint8_t kUnset = 0xFF;

  /// A reader over a sequence body (plain or already expanded); the body must outlive it and
  /// is only read.
  CFormat12Sequence(uint8_t* body, uint32_t size);

  /// Appends the body's events to the list (the caller owns them), with cue records where the
  /// seek record (may be null) has its points and marks, up to FF 2F. The report word (may be
  /// null) gets 0x100000 for a merged note and 0x2000000 for a stream-slot message out of
  /// range. Never fails on content; a body that ends inside an event keeps what was emitted.
  /// Throws -108 when memory runs out.
  void DecodeFormat12Sequence(CSeqEventList& list, const CTrackBuild* seek, uint32_t* report);

  /// The velocity of channel c that 0x8n notes take (0x40 until a 0x9n note sets it).
  uint8_t GetVelocity(int c) const { return c >= 0 && c < kChannels ? m_velocity[c] : 0; }
  /// The last program of channel c, 0xFF when none was read.
  uint8_t GetProgram(int c) const { return c >= 0 && c < kChannels ? m_program[c] : 0; }
  /// The value of the first device message of kind 0, 0xFF when none was read.
  uint8_t GetSettingByte() const { return m_setting; }

 private:
  struct Pass {
    CSequenceEmitter out;
    uint32_t* report;
  };

  void DecodeEvents(CMemStream& body, Pass& pass);
  /// False at the end of the track.
  bool ReadEvent(CMemStream& body, Pass& pass, uint32_t tick);
  void ReadNote(CMemStream& body, Pass& pass, uint32_t tick, uint8_t status, bool withVelocity);
  void ReadControl(CMemStream& body, Pass& pass, uint32_t tick, uint8_t status);
  void ReadExclusive(CMemStream& body, Pass& pass, uint32_t tick);
  /// False at the end of the track.
  static bool ReadMeta(CMemStream& body, Pass& pass, uint32_t tick);
  static bool AtEndOfTrack(const CMemStream& body);
  static void Report(const Pass& pass, uint32_t bit);

  uint8_t* m_body;
  uint32_t m_size;
  uint8_t m_velocity[kChannels];
  uint8_t m_program[kChannels];
  uint8_t m_setting = kUnset;
};
