// Test helpers: Standard MIDI Files written event by event, and a plain reader of the output.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "app/CnvParam.h"

namespace midigate::testing {

using Bytes = std::vector<uint8_t>;

/// Appends v as a variable-length quantity (no length limit, for hostile fixtures too).
inline void AppendVarLen(Bytes& out, uint64_t v) {
  uint8_t groups[10];
  int n = 0;
  groups[n++] = v & 0x7F;
  while (v >>= 7) groups[n++] = static_cast<uint8_t>((v & 0x7F) | 0x80);
  while (n > 0) out.push_back(groups[--n]);
}

inline void AppendBE(Bytes& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

/// Builds a file track by track; events are given with their delta and raw bytes.
class SmfWriter {
 public:
  explicit SmfWriter(uint16_t format = 0, uint16_t division = 480) : m_format(format), m_division(division) {}

  SmfWriter& Track() {
    m_tracks.emplace_back();
    return *this;
  }
  SmfWriter& Raw(uint32_t delta, std::initializer_list<uint8_t> bytes) { return Raw(delta, Bytes(bytes)); }
  SmfWriter& Raw(uint32_t delta, const Bytes& bytes) {
    Bytes& t = Current();
    AppendVarLen(t, delta);
    t.insert(t.end(), bytes.begin(), bytes.end());
    return *this;
  }
  SmfWriter& Meta(uint32_t delta, uint8_t type, const Bytes& data) {
    Bytes e = {0xFF, type};
    AppendVarLen(e, data.size());
    e.insert(e.end(), data.begin(), data.end());
    return Raw(delta, e);
  }
  SmfWriter& Meta(uint32_t delta, uint8_t type, const std::string& text) {
    return Meta(delta, type, Bytes(text.begin(), text.end()));
  }
  /// F0 (or F7 for the escape form), the length, then the body (which should end in F7).
  SmfWriter& SysEx(uint32_t delta, const Bytes& body, uint8_t status = 0xF0) {
    Bytes e = {status};
    AppendVarLen(e, body.size());
    e.insert(e.end(), body.begin(), body.end());
    return Raw(delta, e);
  }
  SmfWriter& Tempo(uint32_t delta, uint32_t tempo) {
    return Meta(delta, 0x51, Bytes{uint8_t(tempo >> 16), uint8_t(tempo >> 8), uint8_t(tempo)});
  }
  SmfWriter& End(uint32_t delta = 0) { return Meta(delta, 0x2F, Bytes{}); }

  Bytes Build() const {
    Bytes out = {'M', 'T', 'h', 'd'};
    AppendBE(out, 6, 4);
    AppendBE(out, m_format, 2);
    AppendBE(out, static_cast<uint32_t>(m_tracks.size()), 2);
    AppendBE(out, m_division, 2);
    for (const Bytes& t : m_tracks) {
      out.insert(out.end(), {'M', 'T', 'r', 'k'});
      AppendBE(out, static_cast<uint32_t>(t.size()), 4);
      out.insert(out.end(), t.begin(), t.end());
    }
    return out;
  }

 private:
  Bytes& Current() {
    if (m_tracks.empty()) m_tracks.emplace_back();
    return m_tracks.back();
  }

  uint16_t m_format;
  uint16_t m_division;
  std::vector<Bytes> m_tracks;
};

/// One event of a converted file: absolute tick and its bytes from the status on.
struct OutEvent {
  uint64_t tick = 0;
  Bytes bytes;
  bool operator==(const OutEvent&) const = default;
};

inline std::string Hex(const Bytes& bytes);

inline void PrintTo(const OutEvent& event, std::ostream* os) { *os << event.tick << ": " << Hex(event.bytes); }

/// A converted file: its header fields and the events of its one track.
struct OutFile {
  uint16_t format = 0xFFFF;
  uint16_t tracks = 0;
  uint16_t division = 0;
  std::vector<OutEvent> events;
  bool lengthMatches = false;  // the patched track length equals the bytes behind it
};

/// Reads what the plug-in writes (no running status); gives up quietly on anything else.
inline OutFile ReadOutput(const Bytes& file) {
  OutFile out;
  if (file.size() < 22) return out;
  auto be = [&](size_t p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | file[p + i];
    return v;
  };
  out.format = static_cast<uint16_t>(be(8, 2));
  out.tracks = static_cast<uint16_t>(be(10, 2));
  out.division = static_cast<uint16_t>(be(12, 2));
  out.lengthMatches = be(18, 4) == file.size() - 22;
  size_t p = 22;
  uint64_t tick = 0;
  auto varLen = [&]() {
    uint64_t v = 0;
    while (p < file.size()) {
      uint8_t b = file[p++];
      v = (v << 7) | (b & 0x7F);
      if (!(b & 0x80)) break;
    }
    return v;
  };
  while (p < file.size()) {
    tick += varLen();
    if (p >= file.size()) break;
    size_t start = p;
    uint8_t status = file[p++];
    if (status == 0xFF) {
      ++p;
      uint64_t n = varLen();
      p += n;
    } else if (status == 0xF0 || status == 0xF7) {
      uint64_t n = varLen();
      p += n;
    } else {
      uint8_t kind = status & 0xF0;
      p += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    }
    if (p > file.size()) break;
    out.events.push_back({tick, Bytes(file.begin() + start, file.begin() + p)});
  }
  return out;
}

/// Events of the output whose first bytes are the given prefix.
inline std::vector<OutEvent> EventsStartingWith(const OutFile& file, const Bytes& prefix) {
  std::vector<OutEvent> found;
  for (const OutEvent& e : file.events) {
    if (e.bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), e.bytes.begin())) {
      found.push_back(e);
    }
  }
  return found;
}

/// Result of one conversion through an entry point.
struct Converted {
  uint32_t result = 0;
  uint32_t flags = 0;
  uint32_t dstSize = 0;
  Bytes output;
};

/// Calls an entry point with a destination of the given capacity.
inline Converted CallEntry(CnvEntryFunc entry, const Bytes& source, uint32_t capacity = 1 << 20) {
  Bytes dst(capacity);
  CnvParam param{};
  param.src = source.data();
  param.srcSize = static_cast<uint32_t>(source.size());
  param.dst = dst.data();
  param.dstSize = capacity;
  Converted c;
  c.result = entry(&param, kCnvParamSize);
  c.flags = param.flags;
  c.dstSize = param.dstSize;
  if (c.result < CNVERR_FAILED) dst.resize(c.result), c.output = dst;
  return c;
}

inline std::string Hex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (uint8_t b : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

}  // namespace midigate::testing
