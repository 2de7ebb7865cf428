// The conversion engines' writing steps: phrase cut, octave ranges, and the generation-1 song
// data (header with part records, then 16-bit note and rest words).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "velk/VelkConvEngine.h"

namespace {

constexpr int kWindowLow = 37;
constexpr int kWindowSpan = 35;
constexpr int kHighestNote = 107;
constexpr uint32_t kMaxImage = 65535;
constexpr double kTimeFactor = 1.7478;
constexpr uint32_t kTieLength = 48;
constexpr int kTieGate = 7;
constexpr int kFirstLongCode = 11;
constexpr uint8_t kPitchCode[12] = {1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15};
constexpr int kNoteStep[16] = {0, 2, 3, 4, 6, 8, 9, 12, 18, 24, 48, 0, 16, 24, 36, 48};
constexpr uint32_t kShortGate[8] = {1, 2, 3, 5, 7, 8, 11, 17};
constexpr uint32_t kLongGate[8] = {15, 23, 29, 32, 35, 41, 47, 48};
// Rest steps with their length codes, largest first.
struct RestCode {
  uint32_t step;
  int code;
};
constexpr RestCode kRests[] = {{48, 10}, {36, 14}, {24, 9}, {18, 8}, {16, 12}, {12, 7}, {9, 6},
                               {8, 5},   {6, 4},   {4, 3},  {3, 0},  {2, 1},   {1, 11}};
constexpr uint16_t kRestWord = 0x3000;

int OctaveIndex(int note) { return (note - 13) / 12; }

uint32_t BE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t TickAt(const std::vector<std::pair<uint32_t, uint32_t>>& offsets, uint32_t offset) {
  uint32_t tick = 0;
  for (const auto& [at, t] : offsets) {
    if (at > offset) break;
    tick = t;
  }
  return tick;
}

// One note word to write: its scaled time and length, the part and pitch byte.
struct OutNote {
  uint32_t time;
  uint32_t length;
  int part;
  uint8_t high;
  bool vibrato;
  bool tie;
};

// The length-code table and gate code of a note: the largest gate not above its length.
struct GateChoice {
  bool longTable;
  int gate;
};

GateChoice ChooseGate(const OutNote& n) {
  if (n.tie) return {true, kTieGate};
  int shortGate = 0;
  for (int g = 0; g < 8; ++g) {
    if (kShortGate[g] <= n.length) shortGate = g;
  }
  int longGate = -1;
  // Gate code 7 of the long table marks a tie: an untied note stops at 47.
  for (int g = 0; g < kTieGate; ++g) {
    if (kLongGate[g] <= n.length) longGate = g;
  }
  if (longGate >= 0 && kLongGate[longGate] > kShortGate[shortGate]) return {true, longGate};
  return {false, shortGate};
}

// The length code of the table whose note step is the largest not above `step`.
int StepCode(bool longTable, uint32_t step) {
  int best = longTable ? kFirstLongCode : 0;
  const int first = longTable ? kFirstLongCode : 0;
  const int last = longTable ? 15 : 10;
  for (int d = first; d <= last; ++d) {
    if (static_cast<uint32_t>(kNoteStep[d]) <= step && kNoteStep[d] >= kNoteStep[best]) best = d;
  }
  return best;
}

void PushWord(std::vector<uint8_t>& out, uint16_t w) {
  out.push_back(static_cast<uint8_t>(w >> 8));
  out.push_back(static_cast<uint8_t>(w));
}

void PushRests(std::vector<uint8_t>& out, int part, uint32_t step) {
  while (step > 0) {
    for (const RestCode& r : kRests) {
      if (r.step > step) continue;
      PushWord(out, static_cast<uint16_t>(kRestWord | (part << 8) | (r.code << 3)));
      step -= r.step;
      break;
    }
  }
}

void PushNote(std::vector<uint8_t>& out, const OutNote& n, const GateChoice& g, int code) {
  PushWord(out, static_cast<uint16_t>((n.high << 8) | (n.vibrato ? 0x80 : 0) | (code << 3) |
                                      g.gate));
}

}  // namespace

void CVelkConvEngine::CutPhrase(const Options& options,
                                const std::vector<std::vector<OffsetTick>>& offsets) {
  if (options.phrase < 'A' || options.phrase > 'z') return;
  const int index = options.phrase - 'A';
  uint32_t start = UINT32_MAX;
  uint32_t stop = 0;
  for (int n = 0; n < kTracks; ++n) {
    const Track& track = m_tracks[n];
    if (!track.hasSequence) continue;
    // A track without the phrase leaves the whole song to convert.
    if (!track.phrases[index].present) return;
    std::vector<std::pair<uint32_t, uint32_t>> table;
    for (const OffsetTick& o : offsets[n]) table.emplace_back(o.offset, o.tick);
    start = std::min(start, TickAt(table, track.phrases[index].start));
    stop = std::max(stop, TickAt(table, track.phrases[index].stop));
  }
  if (start == UINT32_MAX) return;
  for (Part& part : m_parts) {
    std::vector<Event> kept;
    for (Event e : part.notes) {
      if (e.tick < start || e.tick >= stop) continue;
      e.tick -= start;
      kept.push_back(e);
    }
    part.notes = std::move(kept);
  }
}

const uint8_t* CVelkConvEngine::VoiceOf(CStreamIO& io, const Part& part) {
  for (const Voice& v : m_voices) {
    if (v.program == part.program) return v.bytes;
  }
  const uint8_t* found = nullptr;
  return io.Lookup(part.program & 0x7F, part.bank, found) ? found : nullptr;
}

int CVelkConvEngine::ChooseRanges(CStreamIO& io, const Options& options) {
  for (size_t p = 0; p < m_parts.size(); ++p) {
    Part& part = m_parts[p];
    const uint8_t* voice = VoiceOf(io, part);
    if (voice) std::memcpy(m_partVoice[p], voice, CStreamIO::kVoiceBytes);
    const int allowed = m_partVoice[p][12] >> 4;
    if (part.notes.empty()) {
      part.shift = 0;
      for (int s = 3; s >= 0; --s) {
        if (allowed & (1 << s)) part.shift = s;
      }
      continue;
    }
    int low = part.notes.front().note;
    int high = low;
    for (const Event& e : part.notes) {
      low = std::min(low, e.note);
      high = std::max(high, e.note);
    }
    const bool inChip = low >= kWindowLow && high <= kHighestNote;
    if ((!options.tolerateRange && !inChip) || OctaveIndex(high) - OctaveIndex(low) > 3) {
      return kErrNoteRange;
    }
    // Range 1 first: its notes are written as they are, so the KZ-1 reader, which knows no
    // range, reads them back unchanged; the others shift them by whole octaves.
    int chosen = -1;
    for (int s : {1, 0, 2, 3}) {
      const int bottom = kWindowLow + 12 * s;
      if (chosen < 0 && (allowed & (1 << s)) && low >= bottom && high <= bottom + kWindowSpan) chosen = s;
    }
    if (chosen < 0 && !options.tolerateRange) return kErrNoteRange;
    if (chosen < 0) {
      // The allowed range that holds the most notes; the others are left out.
      size_t best = 0;
      for (int s = 0; s < 4; ++s) {
        if (!(allowed & (1 << s))) continue;
        const int bottom = kWindowLow + 12 * s;
        const auto held = static_cast<size_t>(std::count_if(
            part.notes.begin(), part.notes.end(),
            [&](const Event& e) { return e.note >= bottom && e.note <= bottom + kWindowSpan; }));
        if (chosen < 0 || held > best) {
          chosen = s;
          best = held;
        }
      }
      if (chosen < 0) return kErrNoteRange;
      const int bottom = kWindowLow + 12 * chosen;
      std::erase_if(part.notes, [&](const Event& e) {
        return e.note < bottom || e.note > bottom + kWindowSpan;
      });
      m_outOfRange = true;
    }
    part.shift = chosen;
  }
  return kOk;
}

int CVelkConvEngine::WriteOutput(CStreamIO& io) {
  std::vector<uint8_t> out(kHeaderBytes, 0);
  for (size_t p = 0; p < m_parts.size(); ++p) {
    const Part& part = m_parts[p];
    const uint8_t* voice = m_partVoice[p];
    uint32_t modulator = BE32(voice);
    uint32_t carrier = BE32(voice + 4);
    const uint8_t multiples = voice[8 + part.shift];
    modulator = (modulator & 0x1FFFFFFFu) | (uint32_t{(multiples >> 4) & 7u} << 29);
    carrier = (carrier & 0x1FFFFFFFu) | (uint32_t{multiples & 7u} << 29);
    if (part.volume >= 0) {
      carrier = (carrier & ~(0x3Fu << 4)) | (uint32_t{VolumeCode(part.volume)} << 4);
    }
    PutLE32(&out[2 + 8 * p], modulator);
    PutLE32(&out[6 + 8 * p], carrier);
  }
  const uint8_t setup[] = {0x32, 0x10, 0x00, m_tempoCode};
  std::memcpy(&out[66], setup, sizeof setup);

  const double factor = kTimeFactor / (m_tempoCode + 1);
  std::vector<OutNote> notes;
  for (size_t p = 0; p < m_parts.size(); ++p) {
    const Part& part = m_parts[p];
    for (const Event& e : part.notes) {
      const auto time = static_cast<uint32_t>(std::llround(e.tick * factor));
      const auto end = static_cast<uint32_t>(std::llround((static_cast<double>(e.tick) + e.gate) * factor));
      const int value = e.note - kWindowLow - 12 * part.shift;
      const auto high = static_cast<uint8_t>(((value / 12 + 1) << 6) | (kPitchCode[value % 12] << 2) |
                                             static_cast<int>(p));
      uint32_t length = end > time ? end - time : 0;
      uint32_t at = time;
      // A long note becomes tied pieces of 48 units, each continued by the same pitch.
      while (length > kTieLength) {
        notes.push_back({at, kTieLength, static_cast<int>(p), high, e.vibrato, true});
        at += kTieLength;
        length -= kTieLength;
      }
      notes.push_back({at, length, static_cast<int>(p), high, e.vibrato, false});
    }
  }
  std::stable_sort(notes.begin(), notes.end(), [](const OutNote& a, const OutNote& b) {
    return a.time != b.time ? a.time < b.time : a.part < b.part;
  });

  uint32_t now = 0;
  for (size_t i = 0; i < notes.size(); ++i) {
    const OutNote& n = notes[i];
    if (n.time > now) {
      PushRests(out, n.part, n.time - now);
      now = n.time;
    }
    const GateChoice gate = ChooseGate(n);
    const bool lastAtTime = i + 1 == notes.size() || notes[i + 1].time != n.time;
    const uint32_t step = (lastAtTime && i + 1 < notes.size()) ? notes[i + 1].time - n.time : 0;
    const int code = StepCode(gate.longTable, step);
    PushNote(out, n, gate, code);
    now += static_cast<uint32_t>(kNoteStep[code]);
    if (out.size() > kMaxImage) return kErrFormat;
  }
  if (out.size() > kMaxImage) return kErrFormat;
  out[0] = static_cast<uint8_t>(out.size() >> 8);
  out[1] = static_cast<uint8_t>(out.size());
  return io.Write(out.data(), static_cast<uint32_t>(out.size())) ? kOk : kErrWriteRefused;
}
