#include "views/NoteIndex.h"

#include <algorithm>
#include <cstring>

uint64_t NoteIndex::DrawnEnd(const IndexedNote& n) {
  const uint32_t length = n.endTick >= n.tick ? n.endTick - n.tick + 1 : 1;
  return static_cast<uint64_t>(n.tick) + std::max<uint32_t>(length, 1);
}

void NoteIndex::Clear() {
  for (List& l : m_lists) l = List{};
}

void NoteIndex::Build(const CKZ1Doc& doc) {
  Clear();
  BuildList(*doc.GetMidiList(), m_lists[kSong]);
  BuildList(*doc.GetMidiListPCM(), m_lists[kStreamPcm]);
}

void NoteIndex::BuildList(const CKZ1Doc::EventList& source, List& list) {
  for (const auto& m : source) {
    const uint32_t length = m->GetLength();
    if (m->GetExtra() != 0 || length == 0) continue;
    const uint8_t* data = m->GetData();
    if ((data[0] & 0xF0) == 0x90 && length >= 2) {
      IndexedNote n;
      n.tick = m->GetTick();
      n.endTick = m->GetEndTick();
      n.length = length;
      n.status = data[0];
      n.key = data[1];
      n.velocity = length >= 3 ? data[2] : 0;
      list.notes.push_back(n);
    }
    if (length <= 4) {
      IndexedEvent e;
      e.tick = m->GetTick();
      e.length = length;
      std::memcpy(e.bytes, data, length);
      list.events.push_back(e);
    }
  }
  for (uint32_t i = 0; i < list.notes.size(); ++i) {
    const IndexedNote& n = list.notes[i];
    const uint64_t first = n.tick / kBucketTicks;
    const uint64_t last = DrawnEnd(n) / kBucketTicks;
    if (last - first >= kMaxSpanBuckets) {
      list.longNotes.push_back(i);
      continue;
    }
    for (uint64_t b = first; b <= last; ++b) list.noteBuckets.emplace_back(static_cast<uint32_t>(b), i);
  }
  std::sort(list.noteBuckets.begin(), list.noteBuckets.end());
  // The lists are in tick order, but a hostile list need not be: events are sorted by tick
  // (stably, so equal ticks keep list order).
  std::stable_sort(list.events.begin(), list.events.end(),
                   [](const IndexedEvent& a, const IndexedEvent& b) { return a.tick < b.tick; });
}

void NoteIndex::ForNotes(Source source, uint32_t from, uint32_t to,
                         const std::function<void(const IndexedNote&)>& visit) const {
  const List& list = m_lists[source];
  if (to <= from) return;
  const auto meets = [from, to](const IndexedNote& n) { return DrawnEnd(n) >= from && n.tick < to; };
  const uint32_t firstBucket = from / kBucketTicks;
  const uint32_t lastBucket = (to - 1) / kBucketTicks;
  auto it = std::lower_bound(list.noteBuckets.begin(), list.noteBuckets.end(), std::make_pair(firstBucket, 0u));
  for (; it != list.noteBuckets.end() && it->first <= lastBucket; ++it) {
    const IndexedNote& n = list.notes[it->second];
    ++m_visited;
    // A note in several buckets is visited in the first one the query meets.
    if (std::max(n.tick / kBucketTicks, firstBucket) != it->first) continue;
    if (meets(n)) visit(n);
  }
  for (uint32_t i : list.longNotes) {
    ++m_visited;
    if (meets(list.notes[i])) visit(list.notes[i]);
  }
}

void NoteIndex::ForEvents(Source source, uint32_t from, uint32_t to,
                          const std::function<void(const IndexedEvent&)>& visit) const {
  const List& list = m_lists[source];
  if (to <= from) return;
  auto it = std::lower_bound(list.events.begin(), list.events.end(), from,
                             [](const IndexedEvent& e, uint32_t tick) { return e.tick < tick; });
  for (; it != list.events.end() && it->tick < to; ++it) {
    ++m_visited;
    visit(*it);
  }
}
