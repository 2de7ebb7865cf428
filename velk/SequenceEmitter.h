// What the sequence decoders share: the event list they fill, cue records at byte offsets and
// the note table through which overlapping notes merge.
#pragma once

#include <cstdint>
#include <vector>

#include "song/SeqEvent.h"
#include "song/TrackBuild.h"
#include "velk/ChunkList.h"

/// The records a decoder emits; the list does not own them (the caller deletes them).
using CSeqEventList = TChunkList<CSeqEvent>;
using CSeqEventIter = TChunkListIter<CSeqEvent>;

class CSequenceEmitter {
 public:
  static constexpr int kChannels = 16;
  static constexpr int kNotes = 128;
  /// Extra values of the cue records; phrase marks give 1..7.
  static constexpr uint32_t kCueStart = 8;
  static constexpr uint32_t kCueStop = 9;

  /// The seek record may be null (no cues). Both must outlive the emitter.
  CSequenceEmitter(CSeqEventList& list, const CTrackBuild* seek);

  /// The cue records due at a body position: the start point, the stop point, then the current
  /// phrase mark (which is then passed).
  void EmitCues(uint32_t position, uint32_t tick);
  /// The stop cue at the end of a track, unless it was emitted or lies before the position.
  void EmitClosingStop(uint32_t position, uint32_t tick);
  /// Appends a record with the end tick. Throws -108 when memory runs out.
  CSeqEvent* Emit(uint32_t tick, const uint8_t* bytes, uint32_t length, uint32_t endTick);
  /// A note of a channel 0..15 and note 0..127: a note of the same channel and number still
  /// sounding at the tick is lengthened instead of a new record being made. True when merged.
  bool EmitNote(int channel, int note, uint32_t tick, uint32_t gate, const uint8_t* bytes,
                uint32_t length);

  /// The cue code of a phrase-mark kind: I 1, E 2, A 3, B 4, S 5, K 6, R 7, else 0.
  static uint32_t PhraseCode(uint8_t kind);

 private:
  struct NoteEntry {
    uint32_t start = 0;
    uint32_t end = 0;
    CSeqEvent* record = nullptr;
  };

  void EmitCue(uint32_t tick, uint32_t code);

  CSeqEventList& m_list;
  const CTrackBuild* m_seek;
  size_t m_nextMark = 0;
  bool m_stopEmitted = false;
  std::vector<NoteEntry> m_notes;
};
