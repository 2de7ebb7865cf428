// The tracks of an input Standard MIDI File merged into one stream of events.
#include "plugins/midigate/TrackSet.h"

#include <algorithm>
#include <cstring>

#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfBytes.h"

namespace midigate {

SmfHeader ReadSmfHeader(const uint8_t* source, uint32_t size) {
  if (!source || size < kSmfHeaderSize || std::memcmp(source, "MThd", 4) != 0) Fail();
  uint32_t length = ReadBE32(source + 4);
  // The fields read below need six bytes; a longer header is skipped as a whole.
  if (length < 6 || length > size - 8) Fail();
  SmfHeader header;
  header.formatHigh = source[8];
  header.formatLow = source[9];
  header.trackCount = ReadBE16(source + 10);
  header.division = ReadBE16(source + 12);
  header.firstTrack = 8 + length;
  return header;
}

CTrackSet::CTrackSet(const uint8_t* source, uint32_t size, const SmfHeader& header) {
  uint32_t pos = header.firstTrack;
  // Each track needs at least its 8-byte chunk header: a hostile count reserves no more than that.
  m_cursors.reserve(std::min<uint32_t>(header.trackCount, (size - pos) / 8));
  for (uint32_t track = 0; track < header.trackCount; ++track) {
    if (size - pos < 8 || std::memcmp(source + pos, "MTrk", 4) != 0) Fail();
    uint32_t length = ReadBE32(source + pos + 4);
    pos += 8;
    if (length > size - pos) Fail();
    m_cursors.emplace_back(source + pos, source + pos + length, track);
    pos += length;
  }
}

bool CTrackSet::AdvanceTick() {
  bool any = false;
  uint64_t next = 0;
  for (const CTrackCursor& cursor : m_cursors) {
    if (cursor.IsActive() && (!any || cursor.NextTick() < next)) {
      next = cursor.NextTick();
      any = true;
    }
  }
  // Jumping straight to the next due tick gives the order of stepping one tick at a time.
  m_tick = next;
  m_visit = 0;
  return any;
}

bool CTrackSet::Next(SmfEvent& event) {
  if (!m_started) {
    m_started = true;
    if (!AdvanceTick()) return false;
  }
  for (;;) {
    while (m_visit < m_cursors.size()) {
      CTrackCursor& cursor = m_cursors[m_visit];
      if (cursor.IsActive() && cursor.NextTick() <= m_tick) {
        cursor.ReadEvent(event);
        return true;
      }
      ++m_visit;
    }
    if (!AdvanceTick()) return false;
  }
}

}  // namespace midigate
