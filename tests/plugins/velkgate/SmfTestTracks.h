// Helpers of the song-data SMF tests: tracks of timed events, device messages and listings.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "VelkgateFixture.h"
#include "plugins/velkgate/MidiList.h"
#include "song/SmfDialect.h"

namespace velkgate::testing {

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

/// A delta time and an event.
inline Bytes At(uint32_t delta, const Bytes& event) {
  Bytes out;
  AppendVlq(out, delta);
  out.insert(out.end(), event.begin(), event.end());
  return out;
}

/// The events (each with its delta) and an end of track at delta 0.
inline Bytes Track(std::initializer_list<Bytes> events) {
  Bytes out = Cat(events);
  AppendBytes(out, Hex("00 FF 2F 00").data(), 4);
  return out;
}

/// FF type length text.
inline Bytes Meta(uint8_t type, std::string_view text) {
  Bytes out{0xFF, type};
  AppendVlq(out, static_cast<uint32_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
  return out;
}

inline Bytes Device(uint8_t group, uint8_t command, const Bytes& payload) {
  return MakeDialectMessage(group, command, payload.data(), static_cast<uint32_t>(payload.size()));
}

inline Bytes PackedDevice(uint8_t group, uint8_t command, const Bytes& head, const Bytes& plain) {
  return MakePackedDialectMessage(group, command, head.data(), static_cast<uint32_t>(head.size()),
                                  plain.data(), static_cast<uint32_t>(plain.size()));
}

/// "tick: bytes" for every event of a list (with "end" and "cue" when they say something).
inline std::vector<std::string> Listing(const CEventList& list) {
  std::vector<std::string> out;
  for (const CSeqEvent* e : list.Items()) {
    std::string line = std::to_string(e->GetTick()) + ": " + ToHex(EventBytes(*e));
    if (e->GetEndTick() != e->GetTick()) line += " end " + std::to_string(e->GetEndTick());
    if (e->GetExtra() != 0) line += " cue " + std::to_string(e->GetExtra());
    out.push_back(line);
  }
  return out;
}

struct ReadOutcome {
  std::unique_ptr<CMidiList> list = std::make_unique<CMidiList>();
  uint32_t report = 0;
  bool threw = false;
  int thrown = 0;
};

inline ReadOutcome ReadSong(const Bytes& smf, uint32_t report = 0) {
  ReadOutcome out;
  out.report = report;
  try {
    out.list->ReadSmf(smf.data(), static_cast<uint32_t>(smf.size()), &out.report);
  } catch (int error) {
    out.threw = true;
    out.thrown = error;
  }
  return out;
}

}  // namespace velkgate::testing
