// Builds small SMF images for the walker tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace smftest {

using Bytes = std::vector<uint8_t>;

inline void PutVarLen(Bytes& out, uint32_t value) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
  out.push_back(groups[0]);
}

inline void PutBE(Bytes& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

/// One track's events; every event is a delta time and its bytes as stored.
class Track {
 public:
  Track& Event(uint32_t delta, std::initializer_list<uint8_t> bytes) {
    PutVarLen(m_bytes, delta);
    m_bytes.insert(m_bytes.end(), bytes);
    return *this;
  }
  Track& Event(uint32_t delta, const Bytes& bytes) {
    PutVarLen(m_bytes, delta);
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Track& Meta(uint32_t delta, uint8_t type, const std::string& text) {
    Bytes b = {0xFF, type};
    PutVarLen(b, static_cast<uint32_t>(text.size()));
    b.insert(b.end(), text.begin(), text.end());
    return Event(delta, b);
  }
  Track& TickTempo(uint32_t delta, uint32_t usPerTick) {
    return Event(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(usPerTick >> 16),
                         static_cast<uint8_t>(usPerTick >> 8), static_cast<uint8_t>(usPerTick)});
  }
  /// Appends another track's events after these.
  Track& Append(const Track& other) {
    m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
    return *this;
  }
  Track& EndOfTrack(uint32_t delta = 0) { return Event(delta, {0xFF, 0x2F, 0x00}); }
  const Bytes& Data() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

inline Bytes Header(uint16_t format, uint16_t tracks, uint16_t division) {
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  PutBE(out, format, 2);
  PutBE(out, tracks, 2);
  PutBE(out, division, 2);
  return out;
}

inline Bytes Image(const std::vector<Track>& tracks, uint16_t format = 0xFFFF,
                   uint16_t division = 480) {
  if (format == 0xFFFF) format = tracks.size() > 1 ? 1 : 0;
  Bytes out = Header(format, static_cast<uint16_t>(tracks.size()), division);
  for (const Track& t : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBE(out, static_cast<uint32_t>(t.Data().size()), 4);
    out.insert(out.end(), t.Data().begin(), t.Data().end());
  }
  return out;
}

}  // namespace smftest
