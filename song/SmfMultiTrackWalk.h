// The common walk over every track of an SMF image in time order: by tick, then by track,
// then in file order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "song/SmfDialect.h"
#include "song/SmfTrackCursor.h"

class CSmfMultiTrackWalk {
 public:
  CSmfMultiTrackWalk() = default;
  virtual ~CSmfMultiTrackWalk() = default;

  /// Reads the header and sets a cursor on every track chunk. maxTracks 0 allows any count.
  /// Throws kSmfMalformed for an image under 14 bytes, without "MThd", of a format above 1, with
  /// more tracks than allowed, a chunk that is not "MTrk" or a chunk longer than the image.
  void Open(const uint8_t* image, uint32_t size, uint32_t maxTracks = 0);
  /// Puts every cursor back on its track's first event.
  void Rewind();

  /// Calls handle(event, cursor) for every event in time order. The handler may End() the
  /// cursor. Throws kSmfMalformed for a malformed track (events already handled stay handled).
  template <typename Handler>
  void Walk(Handler&& handle);

  const SmfHeader& GetHeader() const { return m_header; }
  uint32_t GetTrackCount() const { return static_cast<uint32_t>(m_cursors.size()); }
  uint32_t GetCurrentTick() const { return m_currentTick; }

 private:
  struct TrackSpan {
    const uint8_t* data;
    const uint8_t* end;
  };
  using DueTrack = std::pair<uint32_t, uint32_t>;  // next tick, track index


  SmfHeader m_header;
  std::vector<TrackSpan> m_spans;
  std::vector<CSmfTrackCursor> m_cursors;
  uint32_t m_currentTick = 0;
};

template <typename Handler>
void CSmfMultiTrackWalk::Walk(Handler&& handle) {
  // Active tracks wait in a heap by (next tick, index): the walk jumps from one due tick to the
  // next, ended tracks cost nothing, and ties go to the lower track.
  std::vector<DueTrack> due;
  due.reserve(m_cursors.size());
  for (uint32_t i = 0; i < m_cursors.size(); ++i) {
    if (m_cursors[i].IsActive()) due.emplace_back(m_cursors[i].GetTick(), i);
  }
  std::make_heap(due.begin(), due.end(), std::greater<>());
  SmfEvent event;
  while (!due.empty()) {
    std::pop_heap(due.begin(), due.end(), std::greater<>());
    uint32_t track = due.back().second;
    due.pop_back();
    CSmfTrackCursor& cursor = m_cursors[track];
    m_currentTick = cursor.GetTick();
    while (cursor.IsActive() && cursor.GetTick() <= m_currentTick) {
      if (!cursor.ReadEvent(event)) break;
      handle(static_cast<const SmfEvent&>(event), cursor);
    }
    if (cursor.IsActive()) {
      due.emplace_back(cursor.GetTick(), track);
      std::push_heap(due.begin(), due.end(), std::greater<>());
    }
  }
}
