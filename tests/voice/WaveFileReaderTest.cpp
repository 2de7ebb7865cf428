#include "voice/WaveFileReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "WaveFiles.h"

namespace {

using namespace wavetest;

// A reader over an image with an output of six times its size, as the wave holder sets it up.
struct AiffFixture {
  explicit AiffFixture(Bytes bytes, uint32_t room = UINT32_MAX) : image(std::move(bytes)) {
    out.assign(image.size() * 6 + 16, 0xEE);
    reader.Setup(image.data(), uint32_t(image.size()), out.data(),
                 room == UINT32_MAX ? uint32_t(image.size() * 6) : room, loop);
  }
  Bytes Output(int32_t n) const { return Bytes(out.begin(), out.begin() + n); }

  Bytes image;
  Bytes out;
  uint32_t loop[3] = {9, 9, 9};
  CWaveFileReader reader;
};

std::vector<int> Rising() {
  std::vector<int> s(12, 32767);
  s[0] = 0;
  return s;
}

Bytes Comm(uint16_t channels, uint32_t frames, uint16_t bits, uint32_t rate = 44100) {
  return AiffChunk("COMM", CommBody(channels, frames, bits, Rate80(rate)));
}

TEST(WaveFileReader, SetupZeroesTheLoopRecord) {
  AiffFixture f(Aiff(1, 16, 44100, Samples16BE({0, 0})));
  EXPECT_EQ(f.loop[0], 0u);
  EXPECT_EQ(f.loop[1], 0u);
  EXPECT_EQ(f.loop[2], 0u);
  EXPECT_EQ(f.reader.GetBaseNote(), 60);
}

TEST(WaveFileReader, ParsesCommAndStopsOnTheFirstSample) {
  AiffFixture f(Aiff(2, 16, 22050, Samples16BE({1, 2, 3, 4})));
  ASSERT_EQ(f.reader.ReadAiffFile(), 0);
  EXPECT_EQ(f.reader.GetChannels(), 2);
  EXPECT_EQ(f.reader.GetSampleFrames(), 2u);
  EXPECT_EQ(f.reader.GetSampleSize(), 16);
  EXPECT_EQ(f.reader.GetSampleRate(), 22050.0);
}

TEST(WaveFileReader, ReadsEightyBitRates) {
  struct Case {
    Bytes rate80;
    double expected;
  };
  const Case cases[] = {
      {{0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0}, 8000},
      {{0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, 22050},
      {{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, 44100},
      {{0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}, -44100},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
      {{0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0x01}, 8000 + std::ldexp(1.0, 12 - 63)},
      {{0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}, HUGE_VAL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    AiffFixture f(Form({AiffChunk("COMM", CommBody(1, 1, 16, c.rate80)), AiffChunk("SSND", SsndBody({0, 0}))}));
    ASSERT_EQ(f.reader.ReadAiffFile(), 0);
    EXPECT_EQ(f.reader.GetSampleRate(), c.expected);
  }
  EXPECT_EQ(Rate80(44100), (Bytes{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}));
}

TEST(WaveFileReader, PitchCorrectedRateFollowsTheBaseNote) {
  struct Case {
    int baseNote;  // -1: no INST chunk
    uint32_t rate;
  };
  const Case cases[] = {{-1, 44100}, {60, 44100}, {72, 22050}, {48, 88200}, {61, 41624}, {200, 13}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.baseNote);
    std::vector<Bytes> chunks{Comm(1, 1, 16)};
    if (c.baseNote >= 0) chunks.push_back(AiffChunk("INST", InstBody(uint8_t(c.baseNote))));
    chunks.push_back(AiffChunk("SSND", SsndBody({0, 0})));
    AiffFixture f(Form(chunks));
    ASSERT_EQ(f.reader.ReadAiffFile(), 0);
    uint32_t rate = 0;
    ASSERT_TRUE(f.reader.GetPitchCorrectedRate(rate));
    EXPECT_EQ(rate, c.rate);
  }
}

TEST(WaveFileReader, RatesThatCannotBeStoredAreRefused) {
  const Bytes rates[] = {
      {0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0},                    // infinite
      {0x40, 0x27, 0x80, 0, 0, 0, 0, 0, 0, 0},                    // 2^40
      {0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0},                 // negative
      {0x40, 0x1F, 0x80, 0, 0, 0, 0, 0, 0, 0},                    // 2^32
  };
  for (const Bytes& r : rates) {
    AiffFixture f(Form({AiffChunk("COMM", CommBody(1, 1, 16, r)), AiffChunk("SSND", SsndBody({0, 0}))}));
    ASSERT_EQ(f.reader.ReadAiffFile(), 0);
    uint32_t rate = 7;
    EXPECT_FALSE(f.reader.GetPitchCorrectedRate(rate));
    EXPECT_EQ(rate, 7u);
  }
  // 4294967295.5 truncates to the largest rate that can be stored.
  AiffFixture f(Form({AiffChunk("COMM", CommBody(1, 1, 16, {0x40, 0x1E, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0})),
                      AiffChunk("SSND", SsndBody({0, 0}))}));
  ASSERT_EQ(f.reader.ReadAiffFile(), 0);
  uint32_t rate = 0;
  EXPECT_TRUE(f.reader.GetPitchCorrectedRate(rate));
  EXPECT_EQ(rate, 4294967295u);
}

TEST(WaveFileReader, LoopMarkersSetTheLoopRecord) {
  struct Case {
    std::vector<Marker> markers;
    uint32_t start, end;
  };
  const Case cases[] = {
      {{{1, 1000, "beg loop"}, {2, 5000, "end loop"}}, 1000, 5000},
      {{{1, 7, "big loop"}, {2, 9, "end loop of the sound"}}, 7, 9},
      {{{1, 3, "beg lo"}, {2, 4, "End loop"}, {3, 5, "x"}}, 0, 0},
      {{{2, 5000, "end loop"}}, 0, 5000},
  };
  for (const Case& c : cases) {
    AiffFixture f(Form({AiffChunk("MARK", MarkBody(c.markers)), Comm(1, 2, 16),
                        AiffChunk("SSND", SsndBody(Samples16BE({0, 0})))}));
    ASSERT_EQ(f.reader.ReadAiffFile(), 0);
    EXPECT_EQ(f.loop[1], c.start);
    EXPECT_EQ(f.loop[2], c.end);
  }
}

TEST(WaveFileReader, RefusesFormsAndChunksOfTheWrongShape) {
  struct Case {
    const char* name;
    Bytes image;
    int32_t result;
  };
  const Bytes ssnd = AiffChunk("SSND", SsndBody({0, 0}));
  const Case cases[] = {
      {"AIFC", Form({Comm(1, 1, 16), ssnd}, "AIFC"), -1},
      {"RIFF", Riff({}), -1},
      {"short", {'F', 'O', 'R', 'M'}, -1},
      {"COMM of 20", Form({AiffChunk("COMM", Bytes(20, 0)), ssnd}), -1},
      {"INST of 18", Form({Comm(1, 1, 16), AiffChunk("INST", Bytes(18, 0)), ssnd}), -1},
      {"no SSND", Form({Comm(1, 1, 16)}), -1},
      {"SSND of 6", Form({Comm(1, 1, 16), AiffChunk("SSND", Bytes(6, 0))}), -1},
      {"FORM size 0", [] {
         Bytes b = Form({Comm(1, 1, 16), AiffChunk("SSND", SsndBody({0, 0}))});
         b[4] = b[5] = b[6] = b[7] = 0;
         return b;
       }(), -1},
      {"SSND past end", Form({Comm(1, 1, 16), AiffChunk("SSND", SsndBody({0, 0}), 100)}), -2},
      {"COMM past end", Form({AiffChunk("COMM", Bytes(10, 0), 18)}), -2},
      {"INST past end", Form({Comm(1, 1, 16), ssnd, AiffChunk("INST", Bytes(4, 0), 20)}), -2},
      {"unknown past end", Form({Comm(1, 1, 16), ssnd, AiffChunk("APPL", Bytes(4, 0), 0xFFFFFFFF)}), -2},
      {"FORM size huge", [&] {
         Bytes b = Form({Comm(1, 1, 16), ssnd});
         b[4] = b[5] = b[6] = b[7] = 0xFF;
         return b;
       }(), -2},
      {"65535 markers", Form({Comm(1, 1, 16), AiffChunk("MARK", {0xFF, 0xFF, 0, 1, 0, 0, 0, 5}), ssnd}), -2},
      {"marker name past MARK", Form({Comm(1, 1, 16), AiffChunk("MARK", {0, 1, 0, 1, 0, 0, 0, 5, 40, 'b'}), ssnd}), -2},
      {"empty MARK", Form({Comm(1, 1, 16), AiffChunk("MARK", {}), ssnd}), -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AiffFixture f(c.image);
    EXPECT_EQ(f.reader.ReadAiffFile(), c.result);
    EXPECT_EQ(f.reader.Classify(), CWaveFileReader::kFailed);
  }
}

TEST(WaveFileReader, SoundDataWithOffsetPrintsTheErrorLine) {
  AiffFixture f(Form({Comm(1, 1, 16), AiffChunk("SSND", SsndBody({0, 0, 0, 0, 0, 0}, 4, 0))}));
  testing::internal::CaptureStdout();
  const int32_t r = f.reader.ReadAiffFile();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error; offset = 4, blocksize = 0\n");
  EXPECT_EQ(r, -1);
  AiffFixture g(Form({Comm(1, 1, 16), AiffChunk("SSND", SsndBody({0, 0}, 0, 8))}));
  testing::internal::CaptureStdout();
  EXPECT_EQ(g.reader.Mono16ToAdpcm(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error; offset = 0, blocksize = 8\n");
}

TEST(WaveFileReader, ChunksAroundCommAndOddPadsAreWalked) {
  const Bytes name = AiffChunk("NAME", {'a', 'b', 'c'});
  const Bytes comt = AiffChunk("COMT", {0, 0, 0});
  const Bytes appl = AiffChunk("APPL", {'x', 'y', 'z', 'w', '!'});
  const Bytes mark = AiffChunk("MARK", MarkBody({{1, 3, "beg loop"}}));
  const Bytes inst = AiffChunk("INST", InstBody(72));
  const Bytes comm = Comm(1, 12, 16);
  const Bytes ssnd = AiffChunk("SSND", SsndBody(Samples16BE(Rising())));
  const std::vector<std::vector<Bytes>> orders = {
      {name, comt, appl, mark, inst, comm, ssnd},
      {comm, ssnd, name, comt, appl, mark, inst},
      {ssnd, appl, comm, inst, name, mark, comt},
  };
  for (size_t i = 0; i < orders.size(); ++i) {
    SCOPED_TRACE(i);
    AiffFixture f(Form(orders[i]));
    EXPECT_EQ(f.reader.Classify(), CWaveFileReader::kSixteenBit);
    ASSERT_EQ(f.reader.Mono16ToAdpcm(), 6);
    EXPECT_EQ(f.Output(6), (Bytes{0x70, 0x77, 0x77, 0x07, 0x00, 0x00}));
    EXPECT_EQ(f.reader.GetBaseNote(), 72);
    EXPECT_EQ(f.loop[1], 3u);
    EXPECT_EQ(f.loop[2], 0u);
  }
}

TEST(WaveFileReader, ClassifiesByChannelsAndSampleSize) {
  struct Case {
    uint16_t channels, bits;
    uint32_t code;
  };
  const Case cases[] = {{1, 8, 0},
                        {1, 16, CWaveFileReader::kSixteenBit},
                        {2, 8, CWaveFileReader::kStereo},
                        {2, 16, CWaveFileReader::kStereo | CWaveFileReader::kSixteenBit},
                        {3, 16, CWaveFileReader::kFailed},
                        {0, 16, CWaveFileReader::kFailed},
                        {1, 12, CWaveFileReader::kFailed},
                        {1, 24, CWaveFileReader::kFailed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << "x" << c.bits);
    AiffFixture f(Form({Comm(c.channels, 1, c.bits), AiffChunk("SSND", SsndBody(Bytes(12, 0)))}));
    EXPECT_EQ(f.reader.Classify(), c.code);
  }
}

TEST(WaveFileReader, MonoConversionsSetTheLoopDefault) {
  const Bytes samples = Samples16BE({0x1234, int16_t(0xFF00), 0x0080});
  {
    AiffFixture f(Aiff(1, 16, 8000, samples));
    ASSERT_EQ(f.reader.Mono16To8(), 3);
    EXPECT_EQ(f.Output(3), (Bytes{0x12, 0xFF, 0x00}));
    EXPECT_EQ(f.loop[1], 3u);
    EXPECT_EQ(f.loop[2], 3u);
  }
  {
    AiffFixture f(Aiff(1, 16, 8000, samples));
    ASSERT_EQ(f.reader.Mono16To16(), 6);
    EXPECT_EQ(f.Output(6), samples);
    EXPECT_EQ(f.loop[1], 6u);
    EXPECT_EQ(f.reader.GetResultSize(), 6u);
  }
  {
    AiffFixture f(Aiff(1, 8, 8000, {0x01, 0x80, 0xFF}));
    ASSERT_EQ(f.reader.Mono8To8(), 3);
    EXPECT_EQ(f.Output(3), (Bytes{0x01, 0x80, 0xFF}));
    EXPECT_EQ(f.loop[2], 3u);
  }
  {
    // 999 frames of ADPCM: 500 bytes, loop 1000.
    AiffFixture f(Aiff(1, 16, 8000, Bytes(999 * 2, 0)));
    ASSERT_EQ(f.reader.Mono16ToAdpcm(), 500);
    EXPECT_EQ(f.loop[1], 1000u);
    EXPECT_EQ(f.loop[2], 1000u);
  }
  {
    // Markers win over the default.
    AiffFixture f(Form({Comm(1, 3, 16), AiffChunk("MARK", MarkBody({{1, 1, "beg loop"}, {2, 2, "end loop"}})),
                        AiffChunk("SSND", SsndBody(samples))}));
    ASSERT_EQ(f.reader.Mono16To8(), 3);
    EXPECT_EQ(f.loop[1], 1u);
    EXPECT_EQ(f.loop[2], 2u);
  }
}

TEST(WaveFileReader, StereoConversionsKeepTheLoop) {
  const Bytes frames16 = Samples16BE({0, 0, 0, 32767, 0, 32767, 0, 32767});
  const Bytes frames8 = {1, 2, 3, 4, 5, 6};
  struct Case {
    const char* name;
    Bytes image;
    int32_t (*convert)(CWaveFileReader&);
    Bytes expected;
  };
  const Case cases[] = {
      {"16 left ADPCM", Aiff(2, 16, 8000, frames16), [](CWaveFileReader& r) { return r.Stereo16ToAdpcmChannel(0); }, {0x80, 0x80}},
      {"16 right ADPCM", Aiff(2, 16, 8000, frames16), [](CWaveFileReader& r) { return r.Stereo16ToAdpcmChannel(1); }, {0x70, 0x77}},
      {"16 both ADPCM", Aiff(2, 16, 8000, frames16), [](CWaveFileReader& r) { return r.Stereo16ToAdpcm(); }, {0x00, 0x78, 0x70, 0x78}},
      {"16 left 8", Aiff(2, 16, 8000, frames16), [](CWaveFileReader& r) { return r.Stereo16To8Channel(0); }, {0, 0, 0, 0}},
      {"16 right 8", Aiff(2, 16, 8000, frames16), [](CWaveFileReader& r) { return r.Stereo16To8Channel(1); }, {0, 0x7F, 0x7F, 0x7F}},
      {"16 both 8", Aiff(2, 16, 8000, frames16), [](CWaveFileReader& r) { return r.Stereo16To8(); }, {0, 0, 0, 0x7F, 0, 0x7F, 0, 0x7F}},
      {"8 left", Aiff(2, 8, 8000, frames8), [](CWaveFileReader& r) { return r.Stereo8To8Channel(0); }, {1, 3, 5}},
      {"8 right", Aiff(2, 8, 8000, frames8), [](CWaveFileReader& r) { return r.Stereo8To8Channel(1); }, {2, 4, 6}},
      {"8 both", Aiff(2, 8, 8000, frames8), [](CWaveFileReader& r) { return r.Stereo8To8(); }, frames8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AiffFixture f(c.image);
    ASSERT_EQ(c.convert(f.reader), int32_t(c.expected.size()));
    EXPECT_EQ(f.Output(int32_t(c.expected.size())), c.expected);
    EXPECT_EQ(f.loop[1], 0u);
    EXPECT_EQ(f.loop[2], 0u);
  }
}

TEST(WaveFileReader, OverAnnouncedFramesTakeOnlyThoseInTheSoundData) {
  // COMM claims 1000 frames; SSND holds 3 and a half.
  AiffFixture f(Form({Comm(1, 1000, 16), AiffChunk("SSND", SsndBody({0x12, 0x34, 0xFF, 0, 0, 0x80, 0x55}))}));
  ASSERT_EQ(f.reader.Mono16To8(), 3);
  EXPECT_EQ(f.Output(3), (Bytes{0x12, 0xFF, 0x00}));
  EXPECT_EQ(f.out[3], 0xEE);
  EXPECT_EQ(f.loop[1], 3u);
  AiffFixture g(Form({Comm(2, 1000, 16), AiffChunk("SSND", SsndBody(Bytes(10, 0)))}));
  EXPECT_EQ(g.reader.Stereo16ToAdpcm(), 2);
  AiffFixture h(Form({Comm(1, 1000, 16), AiffChunk("SSND", SsndBody({}))}));
  EXPECT_EQ(h.reader.Mono16ToAdpcm(), 0);
}

TEST(WaveFileReader, WritesBeyondTheOutputRoomAreDropped) {
  AiffFixture f(Aiff(1, 8, 8000, {1, 2, 3, 4, 5}), 2);
  EXPECT_EQ(f.reader.Mono8To8(), 5);
  EXPECT_EQ(f.Output(3), (Bytes{1, 2, 0xEE}));
}

TEST(WaveFileReader, ExpandsAdpcmAndEightBitSamplesToBigEndian16) {
  {
    AiffFixture f({0x70, 0x77, 0x77, 0x07, 0x00, 0x00});
    ASSERT_EQ(f.reader.ExpandAdpcmTo16(), 24);
    const Bytes expected = Samples16BE({15, 251, 821, 2187, 5464, 13324, 32174, 32767, 32767, 32767, 32767, 32767});
    EXPECT_EQ(f.Output(24), expected);
    EXPECT_EQ(f.loop[1], 24u);
    EXPECT_EQ(f.loop[2], 24u);
  }
  {
    AiffFixture f({0x7F, 0x80, 0x00, 0xFF});
    ASSERT_EQ(f.reader.Expand8To16(), 8);
    EXPECT_EQ(f.Output(8), (Bytes{0x7F, 0, 0x80, 0, 0, 0, 0xFF, 0}));
    EXPECT_EQ(f.loop[1], 8u);
  }
}

}  // namespace
