// Copies of a song's notes and short events, by list and tick bucket, so that a view paints
// from the window it shows without walking the document. Qt-free.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "song/document/KZ1Doc.h"

struct IndexedNote {
  uint32_t tick = 0;
  uint32_t endTick = 0;
  uint32_t length = 0;  // bytes of the event
  uint8_t status = 0;
  uint8_t key = 0;
  uint8_t velocity = 0;
};

/// A message of at most 4 bytes (kind 0), as the event strip reads it.
struct IndexedEvent {
  uint32_t tick = 0;
  uint32_t length = 0;
  uint8_t bytes[4] = {};
};

class NoteIndex {
 public:
  enum Source { kSong = 0, kStreamPcm = 1 };
  static constexpr uint32_t kBucketTicks = 2048;
  /// A note spanning more buckets than this sits in one list every query visits.
  static constexpr uint32_t kMaxSpanBuckets = 64;

  /// Copies the 0x9n events with a key byte and the short messages of both lists.
  void Build(const CKZ1Doc& doc);
  void Clear();

  /// Every note of the source whose span [tick, end] meets [from, to): `lengthOf` gives the
  /// drawn length of a note (so the index covers what the view draws). Notes come in list
  /// order except those of the long list.
  void ForNotes(Source source, uint32_t from, uint32_t to, const std::function<void(const IndexedNote&)>& visit) const;
  /// Every short message of the source whose tick lies in [from, to), in list order.
  void ForEvents(Source source, uint32_t from, uint32_t to, const std::function<void(const IndexedEvent&)>& visit) const;

  size_t NoteCount(Source source) const { return m_lists[source].notes.size(); }
  size_t EventCount(Source source) const { return m_lists[source].events.size(); }
  /// How many stored notes and events the queries looked at since the last reset.
  uint64_t Visited() const { return m_visited; }
  void ResetVisited() const { m_visited = 0; }

  /// The span a view draws for a note: [tick, tick + max(end - tick + 1, 1)] (closed).
  static uint64_t DrawnEnd(const IndexedNote& n);

 private:
  struct List {
    std::vector<IndexedNote> notes;
    /// (bucket, note) for every bucket a note's span meets, sorted: only buckets that hold
    /// notes take room, however far apart their ticks lie.
    std::vector<std::pair<uint32_t, uint32_t>> noteBuckets;
    std::vector<uint32_t> longNotes;
    std::vector<IndexedEvent> events;  // by tick
  };
  void BuildList(const CKZ1Doc::EventList& source, List& list);

  List m_lists[2];
  mutable uint64_t m_visited = 0;
};
