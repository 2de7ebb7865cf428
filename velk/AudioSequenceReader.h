// The decoder of an audio-track sequence ("Atsq") into timed event records.
#pragma once

#include <cstdint>

#include "song/MemStream.h"
#include "song/TrackBuild.h"
#include "velk/SequenceEmitter.h"

class CAudioSequenceReader {
 public:
  /// A reader over a sequence body; the body must outlive it and is only read.
  CAudioSequenceReader(uint8_t* body, uint32_t size);

  /// Appends the body's events (wave notes, volume and pan on channel 0) to the list (the
  /// caller owns them), with cue records where the seek record (may be null) has its points
  /// and marks. Never fails on content; a body that ends inside an event keeps what was
  /// emitted. Throws -108 when memory runs out.
  void Decode(CSeqEventList& list, const CTrackBuild* seek);

 private:
  static void DecodeEvents(CMemStream& body, CSequenceEmitter& out);
  static void ReadControl(CMemStream& body, CSequenceEmitter& out, uint32_t tick);
  static void ReadExclusive(CMemStream& body);

  uint8_t* m_body;
  uint32_t m_size;
};
