// The tracks of an input Standard MIDI File merged into one stream of events.
#include "plugins/midigate/TrackSet.h"

#include <algorithm>
#include <cstring>

#include "plugins/midigate/Failure.h"
#include "song/SmfDialect.h"
#include "song/SmfStreamReaders.h"

namespace midigate {

SourceHeader ReadSourceHeader(const uint8_t* source, uint32_t size) {
  if (!source || size < kSmfHeaderSize || std::memcmp(source, kSmfHeaderId, 4) != 0) Fail();
  // The header's length field is not looked at: the first track follows the 14 bytes read here.
  SourceHeader header;
  header.formatHigh = source[8];
  header.formatLow = source[9];
  header.trackCount = GetBE16(source + 10);
  header.division = GetBE16(source + 12);
  header.firstTrack = kSmfHeaderSize;
  return header;
}

CTrackSet::CTrackSet(const uint8_t* source, uint32_t size, const SourceHeader& header) {
  uint32_t pos = header.firstTrack;
  // Each track needs at least its 8-byte chunk header: a hostile count reserves no more than that.
  m_cursors.reserve(std::min<uint32_t>(header.trackCount, (size - pos) / kSmfChunkHeaderSize));
  for (uint32_t track = 0; track < header.trackCount; ++track) {
    if (size - pos < kSmfChunkHeaderSize || std::memcmp(source + pos, kSmfTrackId, 4) != 0) Fail();
    uint32_t length = GetBE32(source + pos + 4);
    pos += kSmfChunkHeaderSize;
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
