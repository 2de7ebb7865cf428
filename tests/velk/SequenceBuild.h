// Test helpers: play lists to build from, and a built sequence with what its decoder reads back.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "SeqRecords.h"
#include "VelkBytes.h"
#include "song/SongSetup.h"
#include "velk/AudioSequenceReader.h"
#include "velk/ScoreSequenceReader.h"
#include "velk/SequenceBuilder.h"

namespace velktest {

/// A play list that owns its events.
class PlayList {
 public:
  PlayList() = default;
  explicit PlayList(const std::vector<Rec>& events) {
    for (const Rec& r : events) Add(r);
  }
  PlayList& Add(const Rec& r) {
    m_events.List().AddItem(new CSeqEvent(r.tick, static_cast<uint32_t>(r.bytes.size()),
                                          r.bytes.data(), r.end, r.extra));
    return *this;
  }
  CSeqEventList& List() { return m_events.List(); }
  std::vector<Rec> Records() const { return m_events.Records(); }

 private:
  RecordList m_events;
};

/// A note-on record with its end tick.
inline Rec Note(uint32_t tick, uint8_t channel, uint8_t note, uint32_t end, uint8_t velocity = 90) {
  return Rec{tick, {static_cast<uint8_t>(0x90 | channel), note, velocity}, end, 0};
}
/// A channel message that is not a note: its end tick is its tick.
inline Rec Message(uint32_t tick, Bytes bytes) { return Rec{tick, std::move(bytes), tick, 0}; }
/// A mark: a marker meta event carrying the mark code as its extra value.
inline Rec Mark(uint32_t tick, uint32_t code) { return Rec{tick, {0xFF, 0x06, 0x00}, tick, code}; }

/// An output record whose setup bytes (banks, programs, volumes) are all unset.
inline SongOutputRecord UnsetRecord() {
  SongOutputRecord record;
  for (int i = 0; i < SongOutputRecord::kVoiceSlotOffset; ++i) record.bytes[i] = 0xFF;
  return record;
}

struct Built {
  Bytes body;
  std::unique_ptr<CTrackBuild2> build = std::make_unique<CTrackBuild2>();
  std::vector<Rec> prepared;
  std::vector<Rec> decoded;
  uint8_t exclusiveValue = 0;
  int priority = 0;
};

inline Bytes BodyOf(const CChunk& chunk) {
  return Bytes(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize());
}

/// Builds a score sequence and decodes it with the track's number (the track mode), the build
/// record as the seek record.
inline Built BuildScore(const std::vector<Rec>& events, uint8_t trackMode = 0,
                        const SongOutputRecord& setup = UnsetRecord(), uint16_t division = 480,
                        uint16_t tempo = 120) {
  Built out;
  PlayList list(events);
  RecordList scratch;
  auto chunk = BuildScoreSequence(tempo, division, 4, setup, list.List(), scratch.List(),
                                  *out.build, trackMode);
  out.body = BodyOf(*chunk);
  out.prepared = scratch.Records();
  RecordList decoded;
  CScoreSequenceReader reader(chunk->GetBody(), chunk->GetBodySize());
  reader.Decode(out.exclusiveValue, decoded.List(), out.build.get(), out.priority, trackMode);
  out.decoded = decoded.Records();
  return out;
}

inline Built BuildAudio(const std::vector<Rec>& events, uint16_t division = 480,
                        uint16_t tempo = 120) {
  Built out;
  PlayList list(events);
  RecordList scratch;
  auto chunk = BuildAudioSequence(tempo, division, 4, list.List(), scratch.List(), *out.build, 0);
  out.body = BodyOf(*chunk);
  out.prepared = scratch.Records();
  RecordList decoded;
  CAudioSequenceReader reader(chunk->GetBody(), chunk->GetBodySize());
  reader.Decode(decoded.List(), out.build.get());
  out.decoded = decoded.Records();
  return out;
}

/// The header exclusive of a sequence at tempo 120 (tempo byte 0x11).
inline Bytes Header120(uint8_t m = 1) {
  return {0x00, 0xFF, 0xF0, 0x06, 0x43, m, 0x80, 0x31, 0x11, 0xF7};
}

/// Concatenation of byte pieces.
inline Bytes Cat(std::initializer_list<Bytes> pieces) {
  Bytes out;
  for (const Bytes& p : pieces) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace velktest
