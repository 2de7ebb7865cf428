// Seeded random play lists built into sequences and decoded again: each decodes to its prepared
// list as the decoder can state it.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "SequenceBuild.h"
#include "velk/SequenceNumbers.h"

namespace {

using velktest::Built;
using velktest::Bytes;
using velktest::Cue;
using velktest::Hex;
using velktest::Rec;

// A small generator of our own, so the lists are the same on every standard library.
class Random {
 public:
  explicit Random(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
  uint32_t Below(uint32_t n) {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state % n;
  }
  uint8_t Byte7() { return static_cast<uint8_t>(Below(128)); }

 private:
  uint32_t m_state;
};

// Notes with gates up to 50,000, every written controller and some that are not, programs,
// bends, board records and marks (one START and one STOP) on the four channels of a track,
// with some events of other channels.
std::vector<Rec> RandomPlayList(uint32_t seed, uint8_t firstChannel) {
  Random r(seed);
  std::vector<Rec> events;
  const uint8_t controllers[] = {0, 1, 7, 10, 11, 2, 64, 91};
  const uint32_t count = 150 + r.Below(100);
  const uint32_t startAt = r.Below(count), stopAt = r.Below(count);
  uint32_t tick = 0;
  for (uint32_t i = 0; i < count; ++i) {
    tick += r.Below(4) == 0 ? 0 : r.Below(700);
    if (i == startAt) events.push_back(velktest::Mark(tick, 8));
    if (i == stopAt) events.push_back(velktest::Mark(tick, 9));
    auto channel = static_cast<uint8_t>(r.Below(10) == 0 ? (firstChannel + 4 + r.Below(4)) % 16
                                                         : firstChannel + r.Below(4));
    switch (r.Below(9)) {
      case 0:
      case 1:
      case 2: {
        const uint32_t gateLimits[] = {40, 3000, 50001};
        uint32_t gate = r.Below(gateLimits[r.Below(3)]);
        events.push_back(velktest::Note(tick, channel, r.Byte7(), tick + gate,
                                        static_cast<uint8_t>(1 + r.Below(127))));
        break;
      }
      case 3:
      case 4:
        events.push_back(velktest::Message(
            tick, {static_cast<uint8_t>(0xB0 | channel), controllers[r.Below(8)], r.Byte7()}));
        break;
      case 5:
        events.push_back(
            velktest::Message(tick, {static_cast<uint8_t>(0xC0 | channel), r.Byte7()}));
        break;
      case 6:
        events.push_back(
            velktest::Message(tick, {static_cast<uint8_t>(0xE0 | channel), r.Byte7(), r.Byte7()}));
        break;
      case 7:
        events.push_back(velktest::Mark(tick, 1 + r.Below(7)));
        break;
      default:
        if (r.Below(2) == 0) {
          events.push_back(velktest::Message(
              tick, {static_cast<uint8_t>(0xF0 | (firstChannel & 0x0C)), 0xF0, r.Byte7()}));
        } else {
          events.push_back(velktest::Message(
              tick, {static_cast<uint8_t>(0xF0 | channel), 0xF1, r.Byte7(), r.Byte7()}));
        }
        break;
    }
  }
  return events;
}

// Joins notes as the decoder does: a note of the same key that starts before the held one ends
// lengthens it.
class NoteJoiner {
 public:
  void Add(std::vector<Rec>& out, int key, Rec note) {
    auto it = m_held.find(key);
    if (it != m_held.end() && note.tick < out[it->second].end) {
      out[it->second].end = std::max(out[it->second].end, note.end);
      return;
    }
    m_held[key] = out.size();
    out.push_back(std::move(note));
  }

 private:
  std::map<int, size_t> m_held;
};

bool IsMark(const Rec& e) { return e.extra >= 1 && e.extra <= 9; }

bool IsNoteOn(const Rec& e) {
  return e.extra == 0 && e.bytes.size() == 3 && (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] != 0;
}

// The prepared score list as the decoder states it: velocity 100, volumes quantized, bends
// with LSB 0, split notes joined, marks as cues.
std::vector<Rec> ScoreAsDecoded(const std::vector<Rec>& prepared) {
  std::vector<Rec> out;
  NoteJoiner notes;
  for (const Rec& e : prepared) {
    if (IsMark(e)) {
      out.push_back(Cue(e.tick, e.extra));
      continue;
    }
    uint8_t status = e.bytes[0];
    if (status >= 0xF0 && status != 0xFF) {
      out.push_back(e);  // board records come back as they were
    } else if (IsNoteOn(e)) {
      notes.Add(out, (status & 0x0F) * 128 + e.bytes[1],
                Rec{e.tick, {status, e.bytes[1], 100}, e.end, 0});
    } else if ((status & 0xF0) == 0xC0) {
      out.push_back(e);
    } else if ((status & 0xF0) == 0xE0) {
      out.push_back(Rec{e.tick, {status, 0, e.bytes[2]}, e.tick, 0});
    } else if ((status & 0xF0) == 0xB0) {
      uint8_t c = e.bytes[1];
      if (c == 7) out.push_back(Rec{e.tick, {status, c, LookupByteTable(e.bytes[2])}, e.tick, 0});
      if (c == 0 || c == 1 || c == 10 || c == 11) out.push_back(e);
    }
  }
  return out;
}

// The prepared audio list as the decoder states it: wave notes 1..63 without channel, volume
// quantized and pan, marks as cues.
std::vector<Rec> AudioAsDecoded(const std::vector<Rec>& prepared) {
  std::vector<Rec> out;
  NoteJoiner notes;
  for (const Rec& e : prepared) {
    if (IsMark(e)) {
      out.push_back(Cue(e.tick, e.extra));
    } else if (IsNoteOn(e) && e.bytes[1] >= 1 && e.bytes[1] <= 63) {
      notes.Add(out, e.bytes[1], Rec{e.tick, {0x90, e.bytes[1]}, e.end, 0});
    } else if ((e.bytes[0] & 0xF0) == 0xB0 && e.bytes[1] == 7) {
      out.push_back(Rec{e.tick, {0xB0, 0x07, LookupByteTable(e.bytes[2])}, e.tick, 0});
    } else if ((e.bytes[0] & 0xF0) == 0xB0 && e.bytes[1] == 10) {
      out.push_back(Rec{e.tick, {0xB0, 0x0A, e.bytes[2]}, e.tick, 0});
    }
  }
  return out;
}

TEST(BuildScoreSequence, RandomPlayListsDecodeToTheirPreparedLists) {
  for (uint8_t trackMode : {0, 2}) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
      SCOPED_TRACE(seed + 1000 * trackMode);
      uint8_t firstChannel = trackMode == 0 ? 0 : static_cast<uint8_t>(4 * (trackMode - 1));
      Built built = velktest::BuildScore(RandomPlayList(seed, firstChannel), trackMode);
      ASSERT_FALSE(built.prepared.empty());
      ASSERT_EQ(built.decoded, ScoreAsDecoded(built.prepared)) << Hex(built.body);
    }
  }
}

TEST(BuildAudioSequence, RandomPlayListsDecodeToTheirPreparedLists) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    Built built = velktest::BuildAudio(RandomPlayList(seed, 0));
    ASSERT_FALSE(built.prepared.empty());
    ASSERT_EQ(built.decoded, AudioAsDecoded(built.prepared)) << Hex(built.body);
  }
}

}  // namespace
