#include "tools/demosong/DemoSong.h"

#include <algorithm>
#include <fstream>

namespace demosong {
namespace {

constexpr int kDivision = 480;

struct Event {
  uint32_t tick;
  int order;  // note-offs before note-ons at one tick
  std::vector<uint8_t> bytes;
};

void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t buf[5];
  int n = 0;
  buf[n++] = v & 0x7F;
  while (v >>= 7) buf[n++] = static_cast<uint8_t>((v & 0x7F) | 0x80);
  while (n--) out.push_back(buf[n]);
}

void PutBE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Note(std::vector<Event>& events, int channel, uint32_t tick, uint32_t length, int note, int velocity) {
  const auto ch = static_cast<uint8_t>(channel);
  events.push_back({tick, 1, {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)}});
  events.push_back({tick + length, 0, {static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(note), 0x40}});
}

}  // namespace

std::vector<uint8_t> Build() {
  std::vector<Event> events;
  events.push_back({0, -2, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}});  // 120 beats a minute
  events.push_back({0, -2, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}});
  const uint8_t programs[4] = {0, 24, 33, 73};  // piano, guitar, bass, flute
  for (int ch = 0; ch < 4; ++ch) {
    events.push_back({0, -1, {static_cast<uint8_t>(0xC0 | ch), programs[ch]}});
  }
  // Two bars: a melody of mixed lengths, chords, a bass line and a few long notes.
  const int melody[] = {72, 74, 76, 77, 79, 77, 76, 74};
  const uint32_t lengths[] = {240, 240, 480, 120, 120, 240, 480, 960};
  uint32_t t = 0;
  for (int i = 0; i < 8; ++i) {
    Note(events, 0, t, lengths[i] - 10, melody[i], 60 + 8 * i);
    t += lengths[i];
  }
  for (uint32_t bar = 0; bar < 2; ++bar) {
    for (int n : {60, 64, 67}) Note(events, 1, bar * 1920, 1800, n, 70);
    for (uint32_t beat = 0; beat < 4; ++beat) Note(events, 2, bar * 1920 + beat * kDivision, 400, beat % 2 ? 43 : 36, 100);
  }
  Note(events, 3, 960, 1920, 84, 50);
  Note(events, 3, 2880, 960, 81, 90);
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });

  std::vector<uint8_t> track;
  uint32_t last = 0;
  for (const Event& e : events) {
    PutVarLen(track, e.tick - last);
    last = e.tick;
    track.insert(track.end(), e.bytes.begin(), e.bytes.end());
  }
  PutVarLen(track, 0);
  track.insert(track.end(), {0xFF, 0x2F, 0x00});

  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  PutBE(out, 6, 4);
  PutBE(out, 0, 2);
  PutBE(out, 1, 2);
  PutBE(out, kDivision, 2);
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  PutBE(out, static_cast<uint32_t>(track.size()), 4);
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

bool Write(const std::string& path) {
  const std::vector<uint8_t> bytes = Build();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace demosong
