// The working list the sequence builders write from: one track's events of a play list, with
// short notes dropped, overlapping notes merged and notes split at modulation changes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "song/SeqEvent.h"
#include "velk/SequenceEmitter.h"

class CPreparedPlayList {
 public:
  /// A track covers four channels.
  static constexpr int kTrackChannels = 4;
  /// What TrackChannelOf gives for marks and other meta events, which belong to every track.
  static constexpr int kEveryChannel = -1;
  /// What TrackChannelOf gives for events of other channels and anything else left out.
  static constexpr int kNotInTrack = -2;
  /// Cue codes a play-list event carries as its extra value: phrase marks 1..7, START, STOP.
  static constexpr uint32_t kMarkStart = 8;
  static constexpr uint32_t kMarkStop = 9;

  /// q is the division / 24; a division below 24 takes q as 1. Track mode 0 keeps channels 0-3;
  /// mode m of 1 or more keeps channels 4(m-1) to 4(m-1)+3 as 0-3.
  CPreparedPlayList(uint16_t division, uint8_t trackMode);
  CPreparedPlayList(const CPreparedPlayList&) = delete;
  CPreparedPlayList& operator=(const CPreparedPlayList&) = delete;

  /// Copies the track's events of the play list in order, then hands the copies to the scratch
  /// list, in the working order; from then on the caller owns them (it deletes them). Throws
  /// -108 when memory runs out: the copies are then either in the scratch list or freed.
  void Prepare(const CSeqEventList& playList, CSeqEventList& scratch);

  /// The working list in order; the events belong to the scratch list.
  const std::vector<CSeqEvent*>& GetEvents() const { return m_events; }
  /// The latest end tick of the working list (0 when empty).
  uint32_t GetLatestEnd() const { return m_latestEnd; }
  uint32_t GetQuantum() const { return m_quantum; }

  /// The channel 0..3 of the track an event belongs to, kEveryChannel or kNotInTrack. Channel
  /// messages and the board records (F0+x F0 v, F0+c F1 s f) are placed by the low nibble of
  /// their first byte.
  int TrackChannelOf(const CSeqEvent& event) const;

  /// The mark code 1..9 an event carries, 0 for none.
  static uint32_t MarkCode(const CSeqEvent& event);
  /// A note-on (9n k v, k below 128, v not 0) that is not a mark.
  static bool IsNoteOn(const CSeqEvent& event);
  /// Board record F0+4(n-1) F0 v (three bytes).
  static bool IsBoardRecord(const CSeqEvent& event);
  /// Channel-pair record F0+c F1 s f (four bytes).
  static bool IsPairRecord(const CSeqEvent& event);
  /// A note's length; a note whose end is not after its tick has none.
  static uint32_t NoteLength(const CSeqEvent& event);

 private:
  using Owned = std::vector<std::unique_ptr<CSeqEvent>>;

  void CopyTrackEvents(const CSeqEventList& playList);
  void SplitAtModulation();
  void HandOver(CSeqEventList& scratch);
  static std::unique_ptr<CSeqEvent> Copy(const CSeqEvent& event);

  uint32_t m_quantum;
  uint8_t m_trackMode;
  Owned m_working;
  std::vector<CSeqEvent*> m_events;
  uint32_t m_latestEnd = 0;
};
