// Helpers of the MIDI list tests: event lists, images and readable dumps.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/SmfDialect.h"
#include "song/midilist/MidiList.h"

namespace midilisttest {

using Bytes = std::vector<uint8_t>;

inline std::string Hex(const Bytes& bytes) {
  std::string out;
  char buf[4];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    out += buf;
  }
  return out;
}

inline Bytes StreamBytes(const CMemStream& s) {
  return Bytes(s.GetData(), s.GetData() + s.GetSize());
}

inline CMemStream* NewStream(const Bytes& bytes) {
  auto* s = new CMemStream(static_cast<int32_t>(bytes.size()));
  if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), s->GetData());
  return s;
}

/// An event list that owns its events.
class EventList {
 public:
  ~EventList() { list.DeleteAll(); }
  CSeqEvent* Add(uint32_t tick, std::initializer_list<uint8_t> bytes, uint32_t endTick = UINT32_MAX,
                 uint32_t cue = 0) {
    return Add(tick, Bytes(bytes), endTick, cue);
  }
  CSeqEvent* Add(uint32_t tick, const Bytes& bytes, uint32_t endTick = UINT32_MAX, uint32_t cue = 0) {
    auto e = std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(bytes.size()), bytes.data(),
                                         endTick == UINT32_MAX ? tick : endTick, cue);
    CSeqEvent* raw = e.get();
    list.AddOwned(std::move(e));
    return raw;
  }
  CSeqEventList list;
};

/// Writes a list with the two event lists (mode 1, no groups); the image, or empty on failure.
inline Bytes Write(CMidiList& midi, const CSeqEventList& a, const CSeqEventList& b, uint32_t* flags = nullptr,
                   int* result = nullptr) {
  CMemStream out;
  int r = midi.WriteSmf(out, a, b, flags, nullptr, 1);
  if (result) *result = r;
  return r == 1 ? StreamBytes(out) : Bytes{};
}

/// Reads an image into a list; the result of ReadSmf.
inline int Read(CMidiList& midi, const Bytes& image, uint32_t* flags = nullptr) {
  std::unique_ptr<CMemStream> s(NewStream(image));
  return midi.ReadSmf(*s, flags);
}

inline std::vector<const CSeqEvent*> Events(const CSeqEventList& list) {
  std::vector<const CSeqEvent*> out;
  CSeqEventIter it(list);
  CSeqEvent* e = nullptr;
  while (it.Next(e)) out.push_back(e);
  return out;
}

/// True when the event bytes are the device message group/command; its payload (without F7).
inline bool IsDevice(const Bytes& b, uint8_t group, uint8_t command, Bytes* payload = nullptr) {
  if (b.size() < 3 || b[0] != 0xF0) return false;
  size_t p = 1;
  while (p < b.size() && (b[p] & 0x80)) ++p;
  ++p;
  DialectMessage m;
  if (p >= b.size() || !ParseDialectMessage(b.data() + p, static_cast<uint32_t>(b.size() - p), m)) return false;
  if (m.group != group || m.command != command) return false;
  if (payload) payload->assign(m.payload, m.payload + m.payloadSize);
  return true;
}

inline Bytes Unpacked(const uint8_t* p, size_t n) {
  Bytes plain(UnpackedSize7In8(static_cast<uint32_t>(n)));
  plain.resize(Unpack7In8(p, static_cast<uint32_t>(n), plain.data()));
  return plain;
}

inline Bytes Data(const CSeqEvent& e) { return Bytes(e.GetData(), e.GetData() + e.GetLength()); }

/// The track events of a one-track image as {tick, bytes} without their deltas.
struct TrackEvent {
  uint32_t tick;
  Bytes bytes;
};
std::vector<TrackEvent> TrackEvents(const Bytes& image);

}  // namespace midilisttest
