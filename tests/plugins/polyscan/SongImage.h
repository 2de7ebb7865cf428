// Builds song-data SMF images in memory for the checker's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "song/SmfDialect.h"

namespace polyscan_test {

/// Events are appended in order; Wait() sets the delta of the next one. Channels are
/// numbered 1..16 as musicians count them.
class SongImage {
 public:
  SongImage& Wait(uint32_t ticks) {
    m_delta += ticks;
    return *this;
  }
  SongImage& NoteOn(int channel, int key, int velocity = 100) {
    return Event({Status(0x90, channel), Byte(key), Byte(velocity)});
  }
  SongImage& NoteOff(int channel, int key) {
    return Event({Status(0x80, channel), Byte(key), 0x40});
  }
  SongImage& Control(int channel, int control, int value) {
    return Event({Status(0xB0, channel), Byte(control), Byte(value)});
  }
  SongImage& Program(int channel, int program) {
    return Event({Status(0xC0, channel), Byte(program)});
  }
  /// FF 51 03: the dialect stores microseconds per tick.
  SongImage& Tempo(uint32_t microsPerTick) {
    return Event({0xFF, 0x51, 0x03, Byte(microsPerTick >> 16), Byte(microsPerTick >> 8),
                  Byte(microsPerTick)});
  }
  SongImage& Cue(const std::string& text) {
    std::vector<uint8_t> e = {0xFF, 0x07, Byte(text.size())};
    e.insert(e.end(), text.begin(), text.end());
    return Event(e);
  }
  /// F0 len 43 79 06 7F command payload F7.
  SongImage& Device(int command, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> body = {kDialectMakerId, 0x79, 0x06, 0x7F, Byte(command)};
    body.insert(body.end(), payload.begin(), payload.end());
    body.push_back(0xF7);
    std::vector<uint8_t> e = {0xF0};
    AppendVarLen(e, static_cast<uint32_t>(body.size()));
    e.insert(e.end(), body.begin(), body.end());
    return Event(e);
  }
  /// Voice definition: kind 0 FM, 1 PCM; the plain voice block is packed 7-in-8.
  SongImage& Voice(int kind, int msb, int lsb, int program, int key,
                   const std::vector<uint8_t>& block) {
    std::vector<uint8_t> p = {Byte(msb), Byte(lsb), Byte(program), Byte(key), Byte(kind)};
    AppendPacked(p, block);
    return Device(1, p);
  }
  SongImage& Wave(int id, int flags, const std::vector<uint8_t>& plain) {
    std::vector<uint8_t> p = {Byte(id), Byte(flags)};
    AppendPacked(p, plain);
    return Device(3, p);
  }
  SongImage& StreamWave(int id, int flags, const std::vector<uint8_t>& plain) {
    std::vector<uint8_t> p = {Byte(id), Byte(flags)};
    AppendPacked(p, plain);
    return Device(5, p);
  }
  SongImage& StreamMode(int mode) { return Device(7, {Byte(mode)}); }
  SongImage& Extra(int kind, const std::vector<uint8_t>& plain) {
    std::vector<uint8_t> p = {Byte(kind)};
    AppendPacked(p, plain);
    return Device(12, p);
  }
  SongImage& Reset() { return Device(127, {}); }
  /// Any bytes after the pending delta.
  SongImage& Event(const std::vector<uint8_t>& bytes) {
    AppendVarLen(m_track, m_delta);
    m_delta = 0;
    m_track.insert(m_track.end(), bytes.begin(), bytes.end());
    return *this;
  }

  /// The track's events without the end-of-track meta.
  const std::vector<uint8_t>& Track() const { return m_track; }

  /// The whole file: header, one track, end of track.
  std::vector<uint8_t> Bytes(uint16_t division = 480) const {
    std::vector<uint8_t> track = m_track;
    AppendVarLen(track, m_delta);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});
    return File(track, division);
  }

  static std::vector<uint8_t> File(const std::vector<uint8_t>& track, uint16_t division = 480,
                                   uint16_t tracks = 1) {
    std::vector<uint8_t> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, Byte(tracks)};
    f.push_back(Byte(division >> 8));
    f.push_back(Byte(division));
    f.insert(f.end(), {'M', 'T', 'r', 'k'});
    AppendBE32(f, static_cast<uint32_t>(track.size()));
    f.insert(f.end(), track.begin(), track.end());
    return f;
  }

  static void AppendVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = v & 0x7F;
      v >>= 7;
    } while (v);
    while (n > 1) out.push_back(groups[--n] | 0x80);
    out.push_back(groups[0]);
  }

  static void AppendBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(Byte(v >> shift));
  }

  static uint8_t Byte(uint32_t v) { return static_cast<uint8_t>(v & 0xFF); }

 private:
  static uint8_t Status(int command, int channel) { return Byte(command | (channel - 1)); }

  static void AppendPacked(std::vector<uint8_t>& out, const std::vector<uint8_t>& plain) {
    std::vector<uint8_t> packed(PackedSize7In8(static_cast<uint32_t>(plain.size())));
    Pack7In8(plain.data(), static_cast<uint32_t>(plain.size()), packed.data());
    out.insert(out.end(), packed.begin(), packed.end());
  }

  std::vector<uint8_t> m_track;
  uint32_t m_delta = 0;
};

/// A 2-operator FM voice block (17 bytes, byte 2 selects the operator count).
inline std::vector<uint8_t> FmVoiceBlock(size_t size = 17, uint8_t algorithm = 1) {
  std::vector<uint8_t> b(size, 0);
  if (size > 2) b[2] = algorithm;
  return b;
}

/// A PCM voice block of 16 bytes naming a wave: a RAM wave id, or 0x80 | n for ROM wave n.
inline std::vector<uint8_t> PcmVoiceBlock(uint8_t wave, size_t size = 16) {
  std::vector<uint8_t> b(size, 0);
  if (size > 15) b[15] = wave;
  return b;
}

}  // namespace polyscan_test
