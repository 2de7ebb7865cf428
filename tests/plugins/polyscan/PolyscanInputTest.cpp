// Broken, cut and hostile song images given to the checker plug-in through its exports.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PluginHarness.h"
#include "SongImage.h"

namespace polyscan_test {
namespace {

class PolyscanInput : public PluginTest {};

/// A song that uses every kind of event the checker reads.
SongImage RichSong() {
  SongImage s;
  s.Tempo(1000).StreamMode(1).Reset();
  s.Voice(0, 0x7C, 0, 1, 0, FmVoiceBlock(31, 2));
  s.Voice(1, 0x7C, 0, 2, 0, PcmVoiceBlock(4));
  s.Voice(1, 0x7D, 0, 0, 40, PcmVoiceBlock(0x82));
  s.Wave(4, 0x20, std::vector<uint8_t>(30, 0xA5)).Wave(4, 0x00, std::vector<uint8_t>(9, 0x5A));
  s.StreamWave(1, 0x20, std::vector<uint8_t>(12, 1)).StreamWave(1, 0, std::vector<uint8_t>(5, 2));
  s.Extra(15, {1, 2, 3, 4});
  s.Event({0xF0, 0x03, 0x7E, 0x7F, 0xF7});  // an ordinary SysEx
  s.Cue("START").Control(1, 0, 0x7C).Program(1, 1).Program(2, 2);
  s.NoteOn(1, 60).Event({62, 100}).Wait(4).NoteOn(2, 64).NoteOn(10, 40).NoteOn(10, 0);
  s.Event({0xF2, 0x10, 0x20}).Wait(2).Event({0xE0, 0x00, 0x40}).Control(1, 126, 1);
  s.NoteOn(1, 65).NoteOn(1, 67).Wait(1).NoteOff(1, 65).NoteOn(1, 67, 0).Control(2, 123, 0);
  s.Wait(30).Cue("STOP").Wait(5).NoteOn(3, 70);
  return s;
}

bool IsFailure(uint32_t code) { return code >= CNVERR_FAILED; }

TEST_F(PolyscanInput, RichSongChecksClean) {
  // The peak is the mono note at tick 6: 3 FM voices (two on channel 1 before it went mono)
  // and 2 PCM voices; the stream key and the note after "STOP" count nothing.
  CheckResult r = Check(RichSong().Bytes(), CNVF_CHECK_PEAK);
  EXPECT_EQ(r.code, 6u);
  EXPECT_EQ(r.Fm(), 3u);
  EXPECT_EQ(r.Pcm(), 2u);
  EXPECT_FALSE(r.Over());
}

TEST_F(PolyscanInput, EveryPrefixFails) {
  std::vector<uint8_t> image = RichSong().Bytes();
  for (size_t n = 0; n < image.size(); ++n) {
    std::vector<uint8_t> prefix(image.begin(), image.begin() + n);
    uint32_t code = Check(prefix).code;
    ASSERT_TRUE(code == CNVERR_FORMAT || (n == 0 && code == CNVERR_FAILED)) << n;
  }
}

TEST_F(PolyscanInput, EveryCutTrackFails) {
  // The track length is cut to match, so the reader meets the cut inside the track.
  std::vector<uint8_t> image = RichSong().Bytes();
  std::vector<uint8_t> track(image.begin() + 22, image.end());
  for (size_t n = 0; n < track.size(); ++n) {
    std::vector<uint8_t> cut(track.begin(), track.begin() + n);
    uint32_t code = Check(SongImage::File(cut)).code;
    ASSERT_EQ(code, n == 0 ? CNVERR_FORMAT : CNVERR_FAILED) << n;
  }
}

TEST_F(PolyscanInput, HostileTracksFail) {
  struct Case {
    const char* name;
    std::vector<uint8_t> events;  // before the end of track
  };
  const Case cases[] = {
      {"SysEx length past the end", {0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x43}},
      {"meta length past the end", {0x00, 0xFF, 0x01, 0x7F, 'a'}},
      {"delta of five groups", {0x80, 0x80, 0x80, 0x80, 0x00, 0x90, 0x40, 0x40}},
      {"running status without a status", {0x00, 0x40, 0x40}},
      {"status byte as a key", {0x00, 0x90, 0xC0, 0x40}},
      {"real-time byte", {0x00, 0xF8}},
      {"voice shorter than its frame", {0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C,
                                        0xF7}},
      {"voice without data", {0x00, 0xF0, 0x0B, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0x00, 0x00,
                              0x00, 0x00, 0xF7}},
      {"device frame cut to its header", {0x00, 0xF0, 0x05, 0x43, 0x79, 0x06, 0x7F, 0x03}},
      {"wave without data", {0x00, 0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x03, 0x01, 0x00, 0xF7}},
      {"stream mode without a value", {0x00, 0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x07, 0xF7}},
      {"stream wave format 1", {0x00, 0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x05, 0x01, 0x01,
                                0x00, 0x01, 0xF7}},
      {"stream id 50", {0x00, 0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x05, 0x32, 0x00, 0x00, 0x01,
                        0xF7}},
      {"tempo of two bytes", {0x00, 0xFF, 0x51, 0x02, 0x03, 0xE8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> track = c.events;
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(Check(SongImage::File(track)).code, CNVERR_FAILED);
  }
  // Without its end-of-track event a track counts as cut.
  EXPECT_EQ(Check(SongImage::File({0x00, 0x90, 0x40, 0x40})).code, CNVERR_FAILED);
}

TEST_F(PolyscanInput, FullTablesFail) {
  struct Case {
    const char* name;
    int allowed;
    void (*add)(SongImage&, int);
  };
  const Case cases[] = {
      {"voice definitions", 256,
       [](SongImage& s, int i) { s.Voice(0, 0x7C, i >> 7, i & 0x7F, 0, FmVoiceBlock()); }},
      {"wave blocks", 16, [](SongImage& s, int i) { s.Wave(i, 0, {1, 2}); }},
      {"stream wave blocks", 128, [](SongImage& s, int) { s.StreamWave(3, 0x20, {1, 2}); }},
      {"extra data", 3, [](SongImage& s, int) { s.Extra(1, {1}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SongImage fits;
    for (int i = 0; i < c.allowed; ++i) c.add(fits, i);
    EXPECT_FALSE(IsFailure(Check(fits.Bytes()).code));
    SongImage full;
    for (int i = 0; i <= c.allowed; ++i) c.add(full, i);
    EXPECT_EQ(Check(full.Bytes()).code, CNVERR_FAILED);
  }
  SongImage hostile;
  for (int i = 0; i < 300; ++i) hostile.Voice(0, 0x7C, 0, i & 0x7F, 0, FmVoiceBlock());
  EXPECT_EQ(Check(hostile.Bytes()).code, CNVERR_FAILED);
}

TEST_F(PolyscanInput, FlippedBytesGiveAResultOrAKnownFailure) {
  std::vector<uint8_t> image = RichSong().Bytes();
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bad = image;
    int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) bad[22 + random() % (bad.size() - 22)] = random() & 0xFF;
    uint32_t code = Check(bad, round % 2 ? CNVF_CHECK_PEAK : CNVF_CHECK_FM32).code;
    ASSERT_TRUE(code < CNVERR_FAILED || code == CNVERR_FAILED || code == CNVERR_FORMAT ||
                code == CNVERR_CHIPRAM)
        << std::hex << code << " in round " << round;
  }
}

}  // namespace
}  // namespace polyscan_test
