// One input track read event by event.
#include "plugins/midigate/TrackCursor.h"

#include "plugins/midigate/Failure.h"
#include "plugins/midigate/SmfBytes.h"
#include "song/SmfDialect.h"

namespace midigate {

CTrackCursor::CTrackCursor(const uint8_t* begin, const uint8_t* end, uint32_t track)
    : m_pos(begin), m_end(end), m_track(track) {
  ReadDelta();
}

void CTrackCursor::ReadDelta() {
  if (m_pos >= m_end) {
    m_active = false;
    return;
  }
  m_delta = ReadVarLen(m_pos, m_end);
  m_nextTick += m_delta;
}

void CTrackCursor::ReadEvent(SmfEvent& event) {
  if (!m_active) Fail();
  event = SmfEvent{};
  event.tick = m_nextTick;
  event.track = m_track;
  const uint8_t* start = m_pos;
  if (m_pos >= m_end) Fail();
  uint8_t first = *m_pos;
  if (first < 0x80) {
    if (m_runningStatus == 0) Fail();
    ReadChannelData(event, m_runningStatus);
  } else if (first < kStatusSysEx) {
    ++m_pos;
    m_runningStatus = first;
    ReadChannelData(event, first);
  } else if (first == kStatusSysEx || first == kStatusEscape || first == kStatusMeta) {
    // These carry their own length and leave the running status alone.
    ++m_pos;
    event.status = first;
    if (first == kStatusMeta) {
      if (m_pos >= m_end) Fail();
      event.metaType = *m_pos++;
    }
    ReadLengthBody(event, start);
  } else {
    Fail();  // system common and real-time messages have no place in a file
  }
  if (event.IsMeta(kMetaEndOfTrack)) {
    m_active = false;
    return;
  }
  ReadDelta();
}

void CTrackCursor::ReadChannelData(SmfEvent& event, uint8_t status) {
  uint8_t kind = status & 0xF0;
  uint32_t count = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
  if (static_cast<uint32_t>(m_end - m_pos) < count) Fail();
  for (uint32_t i = 0; i < count; ++i) {
    // A status byte where a data byte belongs would end up inside the output's messages.
    if (m_pos[i] & 0x80) Fail();
  }
  event.status = status;
  event.data = m_pos;
  event.length = count;
  m_pos += count;
}

void CTrackCursor::ReadLengthBody(SmfEvent& event, const uint8_t* start) {
  uint32_t length = ReadVarLen(m_pos, m_end);
  if (length > static_cast<uint32_t>(m_end - m_pos)) Fail();
  event.data = m_pos;
  event.length = length;
  m_pos += length;
  event.raw = start;
  event.rawLength = static_cast<uint32_t>(m_pos - start);
}

}  // namespace midigate
