// The decoder of a format-0 score-track sequence ("Mtsq") into timed event records.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/TrackBuild.h"
#include "velk/SequenceEmitter.h"

class CScoreSequenceReader {
 public:
  static constexpr int kVoiceSlots = 16;
  /// The highest track number whose channels this decoder can name (tracks 1 to 4 cover four
  /// channels each, track 0 channels 0-3).
  static constexpr uint8_t kLastTrack = 4;

  /// A reader over a sequence body; the body must outlive it and is only read.
  CScoreSequenceReader(uint8_t* body, uint32_t size);

  /// The setup voice records the file chunk hands over before decoding (not owned).
  void SetVoiceRecord(int i, const void* record);
  void SetVoiceRecordCount(uint8_t count) { m_voiceCount = count; }
  const void* GetVoiceRecord(int i) const;
  uint8_t GetVoiceRecordCount() const { return m_voiceCount; }

  /// Appends the body's events to the list (the caller owns them), with cue records where the
  /// seek record (may be null) has its points and marks. The exclusive value and the priority
  /// state are in/out: an exclusive value of a higher priority replaces the one held. A track
  /// number above 4 decodes nothing. Decoding never fails on content: unknown events emit
  /// nothing and a body that ends inside an event keeps what was emitted. Throws -108 when
  /// memory runs out (the list keeps the records emitted before).
  void Decode(uint8_t& exclusiveValue, CSeqEventList& list, const CTrackBuild* seek, int& priority,
              uint8_t trackNumber);

 private:
  struct Pass;

  void DecodeEvents(CMemStream& body, Pass& pass);
  void ReadNote(CMemStream& body, Pass& pass, uint32_t tick, uint8_t noteByte);
  void ReadControl(CMemStream& body, Pass& pass, uint32_t tick);
  void ReadLongControl(CMemStream& body, Pass& pass, uint32_t tick, int channel, uint8_t code);
  void ReadExclusive(CMemStream& body, Pass& pass, uint32_t tick);
  void ReadHeaderTempo(CMemStream& body, Pass& pass);
  void ReadChannelPair(CMemStream& body, Pass& pass, uint32_t tick);
  void ReadChannelRecord(CMemStream& body, Pass& pass, uint32_t tick);
  int ChannelOf(const Pass& pass, uint8_t b) const;

  uint8_t* m_body;
  uint32_t m_size;
  const void* m_voices[kVoiceSlots] = {};
  uint8_t m_voiceCount = 0;
};
