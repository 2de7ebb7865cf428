// Walks the tracks of a Standard MIDI File in merged order: by tick, then track, then file order.
#include "plugins/velkgate/SmfTrackWalker.h"

#include <cstring>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/VelkgateFlags.h"

namespace velkgate {

namespace {

constexpr uint32_t kHeaderSize = 14;
constexpr uint32_t kTrackHeaderSize = 8;

uint32_t BE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t BE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

/// Data bytes of a channel message by its status.
uint32_t ChannelDataBytes(uint8_t status) {
  uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

}  // namespace

void SmfWalkEvent::CopyStored(uint8_t* out) const {
  out[0] = status;
  if (bodySize > 0) std::memcpy(out + 1, body, bodySize);
}

CSmfTrackWalker::CSmfTrackWalker(const uint8_t* smf, uint32_t size) : m_smf(smf), m_size(size) {
  if (!smf || size < kHeaderSize || std::memcmp(smf, "MThd", 4) != 0) throw kErrNotSmf;
  m_format = BE16(smf + 8);
  if (m_format > 1) throw kErrNotSmf;
  m_trackCount = BE16(smf + 10);
  m_division = BE16(smf + 12);
  // The header length field is not read: the first track starts at byte 14.
  const uint8_t* end = smf + size;
  const uint8_t* p = smf + kHeaderSize;
  m_tracks.resize(m_trackCount);
  for (Track& track : m_tracks) {
    if (end - p < static_cast<ptrdiff_t>(kTrackHeaderSize)) throw kErrEndOfData;
    if (std::memcmp(p, "MTrk", 4) != 0) throw kErrNotSmf;
    uint32_t length = BE32(p + 4);
    track.start = p + kTrackHeaderSize;
    uint64_t room = static_cast<uint64_t>(end - track.start);
    track.end = track.start + (length < room ? length : room);
    p = track.end;
  }
  Rewind();
}

void CSmfTrackWalker::Rewind() {
  for (Track& track : m_tracks) {
    track.cursor = track.start;
    track.nextTick = 0;
    track.lastTick = 0;
    track.runningStatus = 0;
    track.active = true;
    ReadNextDelta(track);
  }
  m_globalTick = 0;
  m_current = 0;
  m_inRound = false;
  m_rounds = 0;
}

void CSmfTrackWalker::ReadNextDelta(Track& track) {
  // A track ends with its data, even without an end-of-track event.
  if (track.cursor >= track.end) {
    track.active = false;
    return;
  }
  track.nextTick += ReadVlq(track.cursor, track.end);
}

bool CSmfTrackWalker::StartRound() {
  bool any = false;
  uint64_t earliest = 0;
  for (const Track& track : m_tracks) {
    if (!track.active) continue;
    if (!any || track.nextTick < earliest) earliest = track.nextTick;
    any = true;
  }
  if (!any) return false;
  // Jumps over silences at once, whether or not a track has ended.
  if (earliest > m_globalTick) m_globalTick = earliest;
  m_current = 0;
  m_inRound = true;
  ++m_rounds;
  return true;
}

bool CSmfTrackWalker::Next(SmfWalkEvent& out) {
  for (;;) {
    if (!m_inRound && !StartRound()) return false;
    while (m_current < m_tracks.size()) {
      Track& track = m_tracks[m_current];
      if (track.active && track.nextTick <= m_globalTick) {
        out.track = static_cast<int>(m_current);
        ReadEvent(track, out);
        return true;
      }
      ++m_current;
    }
    m_inRound = false;
    ++m_globalTick;
  }
}

void CSmfTrackWalker::ReadEvent(Track& track, SmfWalkEvent& out) {
  out.tick = static_cast<uint32_t>(track.nextTick);
  track.lastTick = out.tick;
  const uint8_t* p = track.cursor;
  uint8_t first = ReadByteAt(p, track.end);
  out.metaType = 0;
  out.declaredLength = 0;
  if (first >= 0xF0) {
    out.status = first;
    out.body = p;
    if (first == 0xFF) out.metaType = ReadByteAt(p, track.end);
    out.declaredLength = ReadVlq(p, track.end);
    if (out.declaredLength > static_cast<uint64_t>(track.end - p)) throw kErrEndOfData;
    out.data = p;
    out.dataSize = out.declaredLength;
    p += out.declaredLength;
  } else {
    if (first >= 0x80) {
      track.runningStatus = first;
    } else {
      if (track.runningStatus == 0) throw kErrNotSmf;
      --p;  // a data byte under running status
    }
    out.status = track.runningStatus;
    out.body = p;
    out.data = p;
    out.dataSize = ChannelDataBytes(out.status);
    if (out.dataSize > static_cast<uint64_t>(track.end - p)) throw kErrEndOfData;
    p += out.dataSize;
  }
  out.bodySize = static_cast<uint32_t>(p - out.body);
  track.cursor = p;
  if (out.status == 0xFF && out.metaType == 0x2F)
    track.active = false;
  else
    ReadNextDelta(track);
  out.endsTrack = !track.active;
}

}  // namespace velkgate
