// The checker plug-in as the program loads it: the built library, called through its exports.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "PluginHarness.h"
#include "SongImage.h"

namespace polyscan_test {
namespace {

constexpr int kDrums = 10;
// Built-in drum keys played by PCM voices.
constexpr int kPcmDrumKeys[] = {31, 33, 35, 36, 38, 40, 41, 42, 43};

class Polyscan : public PluginTest {};

/// One millisecond per tick, so ticks read as milliseconds in the result file.
SongImage MillisecondSong() {
  SongImage s;
  s.Tempo(1000);
  return s;
}

/// `count` notes on channel 1, one every `spacing` ticks, none released.
SongImage& AddMelodyNotes(SongImage& s, int count, uint32_t spacing, int channel = 1) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) s.Wait(spacing);
    s.NoteOn(channel, 30 + i % 90);
  }
  return s;
}

TEST_F(Polyscan, ExportsItsVersionAndOnlyChecks) {
  ASSERT_NE(m_library.Version(), nullptr);
  EXPECT_EQ(m_library.Version()(), 0x1410u);
  CnvEntryFunc cnvFrom = m_library.Entry("CnvFrom");
  ASSERT_NE(cnvFrom, nullptr);
  std::vector<uint8_t> song = MillisecondSong().Bytes();
  CnvParam p{0, song.data(), static_cast<uint32_t>(song.size()), nullptr, 0};
  EXPECT_EQ(cnvFrom(&p, kCnvParamSize), CNVERR_FAILED);
  EXPECT_EQ(m_cnvTo(nullptr, kCnvParamSize), CNVERR_FAILED);
  // The static libraries inside stay private.
  EXPECT_EQ(m_library.Symbol("_ZN8polyscan8RunCheckER8CnvParam"), nullptr);
  EXPECT_EQ(m_library.Symbol("_Z10Unpack7In8PKhjPh"), nullptr);
}

TEST_F(Polyscan, ChipModeFiveFindsTheSameChecker) {
  PluginLibrary five(POLYSCAN5_PLUGIN_PATH);
  ASSERT_TRUE(five.IsLoaded()) << ::dlerror();
  ASSERT_NE(five.Version(), nullptr);
  EXPECT_EQ(five.Version()(), 0x1410u);
  CnvEntryFunc cnvTo = five.Entry("CnvTo");
  ASSERT_NE(cnvTo, nullptr);
  SongImage s = MillisecondSong();
  std::vector<uint8_t> song = AddMelodyNotes(s, 17, 10).Bytes();
  CnvParam p{0, song.data(), static_cast<uint32_t>(song.size()), nullptr, 0};
  EXPECT_EQ(cnvTo(&p, kCnvParamSize), 160u);
}

TEST_F(Polyscan, EmptyOrMissingSourceFails) {
  EXPECT_EQ(Check({}).code, CNVERR_FAILED);
  std::vector<uint8_t> song = MillisecondSong().Bytes();
  CnvParam p{0, song.data(), 0, nullptr, 0};
  EXPECT_EQ(m_cnvTo(&p, kCnvParamSize), CNVERR_FAILED);
  p = CnvParam{0, nullptr, 100, nullptr, 0};
  EXPECT_EQ(m_cnvTo(&p, kCnvParamSize), CNVERR_FAILED);
}

TEST_F(Polyscan, NoOverflowReturnsZeroAndOneOkLine) {
  SongImage s = MillisecondSong();
  AddMelodyNotes(s, 16, 0);
  s.Wait(480);
  for (int i = 0; i < 16; ++i) s.NoteOff(1, 30 + i);
  CheckResult r = Check(s.Bytes(), CNVF_CHECK_LOG);
  EXPECT_EQ(r.code, 0u);
  EXPECT_FALSE(r.Over());
  EXPECT_EQ(r.flags & 0xFFFF, CNVF_CHECK_LOG);
  EXPECT_EQ(ResultFile(), "Time:480ms FM:0 PCM:0 Result[OK] \n");
}

TEST_F(Polyscan, SeventeenMelodyNotesReportTheSeventeenth) {
  SongImage s = MillisecondSong();
  CheckResult r = Check(AddMelodyNotes(s, 18, 10).Bytes(), CNVF_CHECK_LOG);
  EXPECT_EQ(r.code, 160u);
  EXPECT_TRUE(r.Over());
  EXPECT_EQ(r.Fm(), 17u);
  EXPECT_EQ(r.Pcm(), 0u);
  // Every note-on while over writes a line; the reported point stays the first.
  EXPECT_EQ(ResultFile(),
            "Time:160ms FM:17 PCM:0 Result[OVER] \n"
            "Time:170ms FM:18 PCM:0 Result[OVER] \n");
}

TEST_F(Polyscan, ReportAtTickZeroReturnsOne) {
  SongImage s = MillisecondSong();
  CheckResult r = Check(AddMelodyNotes(s, 17, 0).Bytes());
  EXPECT_EQ(r.code, 1u);
  EXPECT_TRUE(r.Over());
  EXPECT_EQ(r.Fm(), 17u);
}

TEST_F(Polyscan, AllNotesOffKeepsTheCounts) {
  for (int control : {120, 123}) {
    SCOPED_TRACE(control);
    SongImage s = MillisecondSong();
    AddMelodyNotes(s, 16, 0).Wait(100).Control(1, control, 0).Wait(100).NoteOn(1, 100);
    CheckResult r = Check(s.Bytes());
    EXPECT_EQ(r.code, 200u);
    EXPECT_EQ(r.Fm(), 17u);
  }
}

TEST_F(Polyscan, DrumKeysWithoutAVoiceAreIgnored) {
  struct Case {
    int key;
    uint32_t code;
  };
  // Keys 0-23 and 85-127 have no built-in drum voice; 24 and 84 are FM drums.
  for (Case c : {Case{20, 0}, Case{23, 0}, Case{24, 100}, Case{84, 100}, Case{85, 0}}) {
    SCOPED_TRACE(c.key);
    SongImage s = MillisecondSong();
    AddMelodyNotes(s, 16, 0).Wait(100).NoteOn(kDrums, c.key).Wait(10).NoteOff(kDrums, c.key);
    EXPECT_EQ(Check(s.Bytes()).code, c.code);
  }
}

TEST_F(Polyscan, StreamModeTakesPcmSlots) {
  struct Case {
    int mode;  // -1: not given
    int pcmLimit;
  };
  for (Case c : {Case{-1, 8}, Case{0, 8}, Case{1, 7}, Case{2, 6}, Case{5, 6}}) {
    SCOPED_TRACE(c.mode);
    for (int notes : {c.pcmLimit, c.pcmLimit + 1}) {
      SCOPED_TRACE(notes);
      SongImage s = MillisecondSong();
      if (c.mode >= 0) s.StreamMode(c.mode);
      for (int i = 0; i < notes; ++i) s.Wait(10).NoteOn(kDrums, kPcmDrumKeys[i]);
      CheckResult r = Check(s.Bytes());
      if (notes > c.pcmLimit) {
        EXPECT_EQ(r.code, uint32_t(notes) * 10);
        EXPECT_TRUE(r.Over());
        EXPECT_EQ(r.Pcm(), uint32_t(notes));
        EXPECT_EQ(r.Fm(), 0u);
      } else {
        EXPECT_EQ(r.code, 0u);
      }
    }
  }
}

TEST_F(Polyscan, StreamKeysSelectModeTwoAndCountNoVoice) {
  std::vector<uint8_t> wave(20, 0x11);
  for (int pcmNotes : {6, 7}) {
    SCOPED_TRACE(pcmNotes);
    SongImage s = MillisecondSong();
    s.StreamWave(1, 0, wave).StreamWave(14, 0, wave);
    // Keys 0 and 92 play stream ids 1 and 14 and take stream voices only.
    s.NoteOn(kDrums, 0).NoteOn(kDrums, 92).NoteOn(kDrums, 0);
    for (int i = 0; i < pcmNotes; ++i) s.Wait(10).NoteOn(kDrums, kPcmDrumKeys[i]);
    CheckResult r = Check(s.Bytes());
    EXPECT_EQ(r.code, pcmNotes == 7 ? 70u : 0u);
  }
}

TEST_F(Polyscan, Fm32LimitsAndTheDeviceReset) {
  struct Case {
    const char* name;
    bool reset;
    int notes;
    uint32_t code;
  };
  const Case cases[] = {
      {"32 voices", false, 17, 0},
      {"33rd note", false, 33, 320},
      {"reset forces 16", true, 17, 160},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SongImage s = MillisecondSong();
    if (c.reset) s.Reset();
    CheckResult r = Check(AddMelodyNotes(s, c.notes, 10).Bytes(), CNVF_CHECK_FM32);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.Over(), c.code != 0);
  }
}

TEST_F(Polyscan, PcmVoiceNeedsItsWave) {
  struct Case {
    const char* name;
    uint8_t wave;
    bool giveWave3;
    uint32_t code;
  };
  const Case cases[] = {
      {"RAM wave 3 never given", 3, false, CNVERR_FAILED},
      {"RAM wave 3 given", 3, true, 0},
      {"ROM wave 6", 0x86, false, 0},
      {"ROM wave 7", 0x87, false, CNVERR_FAILED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SongImage s = MillisecondSong();
    s.Voice(1, 0x7C, 0, 5, 0, PcmVoiceBlock(c.wave));
    if (c.giveWave3) s.Wave(3, 0, std::vector<uint8_t>(100, 0x42));
    EXPECT_EQ(Check(s.Bytes()).code, c.code);
  }
}

TEST_F(Polyscan, VoiceDefinitionsDecideTheVoiceKind) {
  SongImage s = MillisecondSong();
  s.Voice(1, 0x7C, 0, 5, 0, PcmVoiceBlock(0x80));   // melody program 5 is a PCM voice
  s.Voice(1, 0x7D, 0, 0, 60, PcmVoiceBlock(0x81));  // drum key 60 is a PCM voice
  s.Program(2, 5);
  for (int i = 0; i < 8; ++i) s.Wait(10).NoteOn(2, 40 + i);
  s.Wait(10).NoteOn(kDrums, 60);
  CheckResult r = Check(s.Bytes());
  EXPECT_EQ(r.code, 90u);
  EXPECT_EQ(r.Pcm(), 9u);
  EXPECT_EQ(r.Fm(), 0u);
}

TEST_F(Polyscan, VoiceBlocksMustHaveTheirSize) {
  struct Case {
    const char* name;
    int kind;
    std::vector<uint8_t> block;
    uint32_t code;
  };
  const Case cases[] = {
      {"FM 16 bytes", 0, FmVoiceBlock(16), CNVERR_FAILED},
      {"FM 2-op 17 bytes", 0, FmVoiceBlock(17, 1), 0},
      {"FM 4-op 17 bytes", 0, FmVoiceBlock(17, 2), CNVERR_FAILED},
      {"FM 4-op 30 bytes", 0, FmVoiceBlock(30, 7), CNVERR_FAILED},
      {"FM 4-op 31 bytes", 0, FmVoiceBlock(31, 2), 0},
      {"PCM 15 bytes", 1, PcmVoiceBlock(0x80, 15), CNVERR_FAILED},
      {"PCM 17 bytes", 1, PcmVoiceBlock(0x80, 17), CNVERR_FAILED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SongImage s = MillisecondSong();
    s.Voice(c.kind, 0x7C, 0, 0, 0, c.block);
    EXPECT_EQ(Check(s.Bytes()).code, c.code);
  }
}

TEST_F(Polyscan, WavesVoicesAndExtrasMustFitTheChipRam) {
  struct Case {
    const char* name;
    int streamMode;
    uint32_t waveSize;
    bool fmVoice;
    int extraKind;
    uint32_t code;
  };
  // RAM runs from 0x4000 to 0x6000, 0x5C00 or 0x5800; each item starts at an even address.
  const Case cases[] = {
      {"wave just fits", 0, 0x1FFF, false, 0, 0},
      {"wave reaches the limit", 0, 0x2000, false, 0, CNVERR_CHIPRAM},
      {"mode 1 limit", 1, 0x1C00, false, 0, CNVERR_CHIPRAM},
      {"mode 2 fits", 2, 0x17FF, false, 0, 0},
      {"mode 2 limit", 2, 0x1800, false, 0, CNVERR_CHIPRAM},
      {"voice after an even wave", 0, 0x1FEE, true, 0, 0},
      {"voice after an odd wave", 0, 0x1FEF, true, 0, CNVERR_CHIPRAM},
      {"three 2048-byte extras in mode 1", 1, 0, false, 15, 0},
      {"three 2048-byte extras in mode 2", 2, 0, false, 23, CNVERR_CHIPRAM},
      {"extras of other kinds take nothing", 2, 0x17FF, false, 16, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SongImage s = MillisecondSong();
    s.StreamMode(c.streamMode);
    if (c.waveSize) s.Wave(9, 0, std::vector<uint8_t>(c.waveSize, 0x55));
    if (c.fmVoice) s.Voice(0, 0x7C, 0, 0, 0, FmVoiceBlock());
    for (int i = 0; c.extraKind && i < 3; ++i) s.Extra(c.extraKind, {1, 2, 3});
    EXPECT_EQ(Check(s.Bytes()).code, c.code);
  }
}

TEST_F(Polyscan, WaveBlocksOfOneIdAreJoined) {
  // Two blocks of wave 2 (the first continued) take 0x1000 + 0x1000 bytes together.
  for (uint32_t second : {0xFFFu, 0x1000u}) {
    SCOPED_TRACE(second);
    SongImage s = MillisecondSong();
    s.Wave(2, 0x20, std::vector<uint8_t>(0x1000, 1)).Wave(2, 0, std::vector<uint8_t>(second, 1));
    EXPECT_EQ(Check(s.Bytes()).code, second == 0xFFF ? 0u : CNVERR_CHIPRAM);
  }
}

TEST_F(Polyscan, HeaderMustBeOneTrackFormatZero) {
  std::vector<uint8_t> good = MillisecondSong().Bytes();
  struct Case {
    const char* name;
    size_t offset;
    uint8_t value;
  };
  const Case cases[] = {
      {"two tracks", 11, 2},      {"format 1", 9, 1},         {"header id", 3, 'x'},
      {"header length 7", 7, 7},  {"track id", 17, 'K'},      {"track length 0", 21, 0},
      {"track length past the end", 20, 0x10},
  };
  EXPECT_EQ(Check(good).code, 0u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bad = good;
    bad[c.offset] = c.value;
    EXPECT_EQ(Check(bad).code, CNVERR_FORMAT);
  }
  std::vector<uint8_t> track = MillisecondSong().Bytes();
  track.erase(track.begin(), track.begin() + 22);
  EXPECT_EQ(Check(SongImage::File(track, 480, 2)).code, CNVERR_FORMAT);
}

TEST_F(Polyscan, DivisionZeroCountsOneMillisecondPerTick) {
  struct Case {
    uint16_t division;
    bool tempo;
    const char* line;
  };
  const Case cases[] = {
      {0, false, "Time:160ms FM:17 PCM:0 Result[OVER] \n"},
      {0x9234, false, "Time:160ms FM:17 PCM:0 Result[OVER] \n"},  // time-code division
      {480, false, "Time:167ms FM:17 PCM:0 Result[OVER] \n"},     // 1041 us per tick
      {1000, false, "Time:80ms FM:17 PCM:0 Result[OVER] \n"},
      {0, true, "Time:320ms FM:17 PCM:0 Result[OVER] \n"},  // tempo 2000 us per tick
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.division);
    SongImage s;
    if (c.tempo) s.Tempo(2000);
    CheckResult r = Check(AddMelodyNotes(s, 17, 10).Bytes(c.division), CNVF_CHECK_LOG);
    EXPECT_EQ(r.code, 160u);
    EXPECT_EQ(ResultFile(), c.line);
  }
}

TEST_F(Polyscan, OnlyTheRegionBetweenStartAndStopIsPlayed) {
  SongImage s = MillisecondSong();
  AddMelodyNotes(s, 10, 0);  // before the region: not played
  s.Wait(50).Cue("START").Wait(50).Cue("START");
  AddMelodyNotes(s.Wait(10), 16, 10);  // ticks 110..260
  s.Wait(40).Cue("STOP");              // tick 300
  AddMelodyNotes(s.Wait(10), 5, 10);   // after the region: not played
  EXPECT_EQ(Check(s.Bytes()).code, 0u);

  s.Wait(10).Cue("STOP");  // the last STOP counts: the five notes after tick 300 now play
  CheckResult r = Check(s.Bytes(), CNVF_CHECK_LOG);
  EXPECT_EQ(r.code, 310u);
  EXPECT_EQ(r.Fm(), 17u);
  // Time runs from the last START at tick 100.
  EXPECT_EQ(ResultFile().substr(0, 36), "Time:210ms FM:17 PCM:0 Result[OVER] ");
}

TEST_F(Polyscan, PeakModeReportsTheHighestPoint) {
  SongImage s = MillisecondSong();
  AddMelodyNotes(s, 3, 10);
  s.Wait(10).NoteOff(1, 30).NoteOff(1, 31).NoteOff(1, 32);
  AddMelodyNotes(s.Wait(10), 2, 10);
  // The option bit comes back cleared: it doubles as the "over" flag.
  CheckResult r = Check(s.Bytes(), CNVF_CHECK_PEAK | CNVF_CHECK_LOG);
  EXPECT_EQ(r.code, 20u);
  EXPECT_FALSE(r.Over());
  EXPECT_EQ(r.Fm(), 3u);
  EXPECT_EQ(r.flags & 0xFFFF, CNVF_CHECK_LOG);
  EXPECT_EQ(ResultFile(),
            "Time:0ms FM:1 PCM:0 Result[OK] \n"
            "Time:10ms FM:2 PCM:0 Result[OK] \n"
            "Time:20ms FM:3 PCM:0 Result[OK] \n");

  SongImage over = MillisecondSong();
  r = Check(AddMelodyNotes(over, 18, 10).Bytes(), CNVF_CHECK_PEAK);
  EXPECT_EQ(r.code, 170u);
  EXPECT_TRUE(r.Over());
  EXPECT_EQ(r.Fm(), 18u);
}

TEST_F(Polyscan, CountOf256EndsWithAnError) {
  for (int notes : {255, 256}) {
    SCOPED_TRACE(notes);
    SongImage s = MillisecondSong();
    // 5 ms apart, so every stolen voice's delayed key-on is sent before the next note.
    CheckResult r = Check(AddMelodyNotes(s, notes, 5).Bytes(), CNVF_CHECK_LOG);
    if (notes == 256) {
      EXPECT_EQ(r.code, CNVERR_FAILED);
      EXPECT_EQ(r.Fm(), 0xFFu);
      std::string text = ResultFile();
      EXPECT_NE(text.find("Time:1275ms FM:256 PCM:0 Result[ERROR] \n"), std::string::npos);
    } else {
      EXPECT_EQ(r.code, 80u);
      EXPECT_EQ(r.Fm(), 17u);
    }
  }
}

TEST_F(Polyscan, FullPendingListFails) {
  // Every note past the 16th steals a voice whose key-on waits 4 ms: 100 may wait at once.
  SongImage fits = MillisecondSong();
  EXPECT_EQ(Check(AddMelodyNotes(fits, 116, 0).Bytes()).code, 1u);
  SongImage full = MillisecondSong();
  EXPECT_EQ(Check(AddMelodyNotes(full, 117, 0).Bytes()).code, CNVERR_FAILED);
}

TEST_F(Polyscan, ResultFileOnlyWhenAsked) {
  SongImage s = MillisecondSong();
  EXPECT_EQ(Check(AddMelodyNotes(s, 17, 10).Bytes()).code, 160u);
  EXPECT_FALSE(ResultFileExists());
  std::vector<uint8_t> bad = s.Bytes();
  bad[11] = 2;
  EXPECT_EQ(Check(bad, CNVF_CHECK_LOG).code, CNVERR_FORMAT);
  EXPECT_FALSE(ResultFileExists());
}

TEST_F(Polyscan, ResultBitsOfTheCallerAreCleared) {
  SongImage s = MillisecondSong();
  CheckResult r = Check(AddMelodyNotes(s, 3, 10).Bytes(), 0xABCD0000u | CNVF_CHECK_OVER);
  EXPECT_EQ(r.code, 20u);  // the peak option was asked for
  EXPECT_EQ(r.flags, 0x03000000u);
  r = Check(s.Bytes(), 0xABCD0000u);
  EXPECT_EQ(r.code, 0u);
  EXPECT_EQ(r.flags, 0u);
}

TEST_F(Polyscan, ChecksShareNoState) {
  SongImage overSong = MillisecondSong();
  std::vector<uint8_t> over = AddMelodyNotes(overSong, 17, 10).Bytes();
  SongImage calmSong = MillisecondSong();
  calmSong.StreamMode(2).Voice(0, 0x7C, 0, 0, 0, FmVoiceBlock());
  std::vector<uint8_t> calm = AddMelodyNotes(calmSong, 4, 10).Bytes();
  EXPECT_EQ(Check(over).code, 160u);
  EXPECT_EQ(Check(calm).code, 0u);
  EXPECT_EQ(Check(over, CNVF_CHECK_FM32).code, 0u);

  std::vector<uint32_t> results(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] {
      const std::vector<uint8_t>& song = i % 2 ? calm : over;
      for (int round = 0; round < 20 && results[i] != 999; ++round) {
        std::vector<uint8_t> copy = song;
        CnvParam p{0, copy.data(), static_cast<uint32_t>(copy.size()), nullptr, 0};
        uint32_t code = m_cnvTo(&p, kCnvParamSize);
        results[i] = code == (i % 2 ? 0u : 160u) ? code : 999;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], i % 2 ? 0u : 160u) << i;
}

}  // namespace
}  // namespace polyscan_test
