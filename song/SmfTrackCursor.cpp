// One track of an SMF image being walked.
#include "song/SmfTrackCursor.h"

#include "song/SmfStreamReaders.h"

void CSmfTrackCursor::Start(const uint8_t* data, const uint8_t* end, uint32_t track) {
  m_position = data;
  m_end = end;
  m_tick = 0;
  m_delta = 0;
  m_track = track;
  m_runningStatus = 0;
  m_pendingDelta = 0;
  m_active = m_position < m_end;
  if (m_active) ReadDelta();
}

void CSmfTrackCursor::ReadDelta() {
  m_delta = ReadVarLen(&m_position, m_end);
  // Ticks only grow; a track whose ticks would wrap is not a song.
  if (m_delta > UINT32_MAX - m_tick) throw kSmfMalformed;
  m_tick += m_delta;
}

bool CSmfTrackCursor::ReadEvent(SmfEvent& event) {
  const uint8_t* start = m_position;
  uint8_t first = GetU8(m_position, m_end);
  event.tick = m_tick;
  event.delta = m_delta;
  event.track = m_track;
  event.stored = start;
  event.metaType = 0;
  event.runningStatus = first < 0x80;
  if (first >= 0xF0) {
    event.status = first;
    const uint8_t* p = start + 1;
    if (first == 0xFF) event.metaType = GetU8(p++, m_end);
    uint32_t length = ReadVarLen(&p, m_end);
    // A message never runs past its track.
    if (length > static_cast<uint64_t>(m_end - p)) throw kSmfMalformed;
    event.data = p;
    event.dataSize = length;
    m_position = p + length;
  } else {
    if (event.runningStatus) {
      if (m_runningStatus == 0) throw kSmfMalformed;
      event.status = m_runningStatus;
    } else {
      event.status = first;
      m_runningStatus = first;
    }
    uint8_t kind = event.status & 0xF0;
    uint32_t dataSize = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    const uint8_t* p = event.runningStatus ? start : start + 1;
    if (dataSize > static_cast<uint64_t>(m_end - p)) throw kSmfMalformed;
    // A status byte where a data byte belongs is no key or value: the track is broken there.
    for (uint32_t i = 0; i < dataSize; ++i) {
      if (p[i] & 0x80) {
        m_active = false;
        return false;
      }
    }
    event.data = p;
    event.dataSize = dataSize;
    m_position = p + dataSize;
  }
  event.storedSize = static_cast<uint32_t>(m_position - start);
  if (m_position >= m_end) {
    m_active = false;  // no delta time is read past the end
  } else {
    ReadDelta();
  }
  return true;
}
