#include "voice/RiffWaveReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WaveFiles.h"

namespace {

using namespace wavetest;

constexpr uint32_t kReadFailed = CRiffWaveReader::kReadFailed;
constexpr uint32_t kTooSmall = CRiffWaveReader::kBufferTooSmall;

// An open reader over a WAV file written from bytes.
struct WavFixture {
  explicit WavFixture(const Bytes& bytes) : file(bytes) { opened = reader.Open(file.Path()); }
  TempFile file;
  CRiffWaveReader reader;
  bool opened = false;
};

using Convert = uint32_t (*)(CRiffWaveReader&, uint8_t*, uint32_t, uint32_t*);

struct Conversion {
  const char* name;
  Convert convert;
};

const Conversion kConversions[] = {
    {"mono 16 ADPCM", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Mono16ToAdpcm(o, c, e); }},
    {"stereo 16 ADPCM left", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo16ToAdpcm(1, o, c, e); }},
    {"stereo 16 ADPCM right", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo16ToAdpcm(2, o, c, e); }},
    {"stereo 16 ADPCM both", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo16ToAdpcm(3, o, c, e); }},
    {"mono 16 to 16", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Mono16To16(o, c, e); }},
    {"mono 16 to 8", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Mono16To8(o, c, e); }},
    {"stereo 16 to 8 left", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo16To8(1, o, c, e); }},
    {"stereo 16 to 8 right", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo16To8(2, o, c, e); }},
    {"stereo 16 to 8 both", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo16To8(3, o, c, e); }},
    {"mono 8", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Mono8To8(o, c, e); }},
    {"stereo 8 left", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo8To8(1, o, c, e); }},
    {"stereo 8 right", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo8To8(2, o, c, e); }},
    {"stereo 8 both", [](CRiffWaveReader& r, uint8_t* o, uint32_t c, uint32_t* e) { return r.Stereo8To8(3, o, c, e); }},
};

bool IsEightBit(const Conversion& c) { return std::string(c.name).find(" 8") != std::string::npos && std::string(c.name).find("16") == std::string::npos; }

TEST(RiffWaveReader, OpensPcmFilesAndReportsTheirFormat) {
  WavFixture f(Wav(2, 16, 22050, Bytes(8, 0)));
  ASSERT_TRUE(f.opened);
  EXPECT_EQ(f.reader.GetChannels(), 2);
  EXPECT_EQ(f.reader.GetBitsPerSample(), 16);
  EXPECT_EQ(f.reader.GetSampleRate(), 22050u);
  EXPECT_EQ(f.reader.GetDataSize(), 8u);
  EXPECT_EQ(f.reader.GetReserved(), 0u);
  EXPECT_EQ(f.reader.GetLoopStart(), 0u);
  EXPECT_EQ(f.reader.GetLoopEnd(), 0u);
}

TEST(RiffWaveReader, FindsFmtAndDataAmongOtherChunks) {
  const Bytes fmt = RiffChunk("fmt ", FmtBody(1, 8, 8000));
  const Bytes list = RiffChunk("LIST", {'I', 'N', 'F', 'O', 'x'});
  const Bytes fact = RiffChunk("fact", {3, 0, 0, 0});
  const Bytes data = RiffChunk("data", {1, 2, 3});
  const std::vector<std::vector<Bytes>> orders = {
      {list, fact, fmt, data}, {fmt, list, fact, data}, {fact, data, list, fmt}, {data, fmt}};
  for (size_t i = 0; i < orders.size(); ++i) {
    SCOPED_TRACE(i);
    WavFixture f(Riff(orders[i]));
    ASSERT_TRUE(f.opened);
    uint8_t out[8] = {};
    ASSERT_EQ(f.reader.Mono8To8(out, sizeof out), 3u);
    EXPECT_EQ(Bytes(out, out + 3), (Bytes{1, 2, 3}));
  }
}

TEST(RiffWaveReader, RefusesWhatIsNotAPcmWaveFile) {
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Bytes data = RiffChunk("data", {0, 0});
  const Case cases[] = {
      {"empty", {}},
      {"AIFF", Aiff(1, 16, 8000, {0, 0})},
      {"RIFF but not WAVE", [] {
         Bytes b = Wav(1, 16, 8000, {0, 0});
         b[8] = 'A';
         return b;
       }()},
      {"no fmt", Riff({data})},
      {"no data", Riff({RiffChunk("fmt ", FmtBody(1, 16, 8000))})},
      {"fmt of 14", [&] {
         Bytes fmt = FmtBody(1, 16, 8000);
         fmt.resize(14);
         return Riff({RiffChunk("fmt ", fmt), data});
       }()},
      {"fmt cut short", Riff({RiffChunk("fmt ", Bytes(8, 0), 16)})},
      {"float", Riff({RiffChunk("fmt ", FmtBody(1, 32, 8000, 3)), data})},
      {"extensible", Riff({RiffChunk("fmt ", FmtBody(1, 16, 8000, 0xFFFE)), data})},
      {"chunk before data past end", Riff({RiffChunk("fmt ", FmtBody(1, 16, 8000)), RiffChunk("LIST", {1}, 0x7FFFFFF0), data})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WavFixture f(c.bytes);
    EXPECT_FALSE(f.opened);
    uint8_t out[4];
    uint32_t result = 0;
    EXPECT_EQ(f.reader.Mono16To16(out, sizeof out, &result), 0u);
    EXPECT_EQ(result, kReadFailed);
  }
  CRiffWaveReader reader;
  EXPECT_FALSE(reader.Open("/nonexistent/folder/x.wav"));
}

TEST(RiffWaveReader, ReadStaysInsideTheDataChunk) {
  WavFixture f(Riff({RiffChunk("fmt ", FmtBody(1, 8, 8000)), RiffChunk("data", {1, 2, 3, 4, 5}),
                     RiffChunk("LIST", {9, 9, 9, 9})}));
  ASSERT_TRUE(f.opened);
  uint8_t buffer[16] = {};
  EXPECT_EQ(f.reader.Read(buffer, 2), 2u);
  EXPECT_EQ(f.reader.Read(buffer + 2, 16), 3u);
  EXPECT_EQ(Bytes(buffer, buffer + 6), (Bytes{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(f.reader.Read(buffer, 16), 0u);
  ASSERT_TRUE(f.reader.FindData());
  EXPECT_EQ(f.reader.Read(buffer, 16), 5u);
  f.reader.Close();
  EXPECT_EQ(f.reader.Read(buffer, 16), 0u);
}

TEST(RiffWaveReader, ConvertsEachLayout) {
  const Bytes stereo16 = Samples16LE({0, 0, 0, 32767, 0, 32767, 0, 32767});
  const Bytes mono16 = Samples16LE({0x1234, int16_t(0xFF00), 0x0080, 0});
  const Bytes stereo8 = {0x80, 0x81, 0x82, 0x83};
  struct Case {
    size_t conversion;
    Bytes file;
    Bytes expected;
    uint32_t loop;  // UINT32_MAX: left alone
  };
  const Case cases[] = {
      {0, Wav(1, 16, 8000, Samples16LE({0, 0, 0, 0})), {0x80, 0x80}, 4},
      {1, Wav(2, 16, 8000, stereo16), {0x80, 0x80}, 4},
      {2, Wav(2, 16, 8000, stereo16), {0x70, 0x77}, 4},
      {3, Wav(2, 16, 8000, stereo16), {0x00, 0x78, 0x70, 0x78}, 8},
      {4, Wav(1, 16, 8000, mono16), mono16, UINT32_MAX},
      {5, Wav(1, 16, 8000, mono16), {0x12, 0xFF, 0x00, 0x00}, 4},
      {6, Wav(2, 16, 8000, stereo16), {0, 0, 0, 0}, 4},
      {7, Wav(2, 16, 8000, stereo16), {0, 0x7F, 0x7F, 0x7F}, 4},
      {8, Wav(2, 16, 8000, stereo16), {0, 0, 0, 0x7F, 0, 0x7F, 0, 0x7F}, 8},
      {9, Wav(1, 8, 8000, stereo8), stereo8, 4},
      {10, Wav(2, 8, 8000, stereo8), {0x80, 0x82}, 2},
      {11, Wav(2, 8, 8000, stereo8), {0x81, 0x83}, 2},
      {12, Wav(2, 8, 8000, stereo8), stereo8, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(kConversions[c.conversion].name);
    WavFixture f(c.file);
    ASSERT_TRUE(f.opened);
    Bytes out(64, 0xEE);
    uint32_t result = 0x1234;
    const uint32_t n = kConversions[c.conversion].convert(f.reader, out.data(), 64, &result);
    ASSERT_EQ(n, c.expected.size());
    EXPECT_EQ(Bytes(out.begin(), out.begin() + n), c.expected);
    EXPECT_EQ(out[n], 0xEE);
    EXPECT_EQ(result, 0x1234u);
    const uint32_t loop = c.loop == UINT32_MAX ? 0 : c.loop;
    EXPECT_EQ(f.reader.GetLoopStart(), loop);
    EXPECT_EQ(f.reader.GetLoopEnd(), loop);
  }
}

TEST(RiffWaveReader, ConversionsRefuseOtherSampleSizes) {
  for (const Conversion& c : kConversions) {
    SCOPED_TRACE(c.name);
    for (uint16_t bits : {8, 16, 24}) {
      const bool expected8 = IsEightBit(c);
      if ((bits == 8) == expected8 && bits != 24) continue;
      WavFixture f(Wav(2, bits, 8000, Bytes(24, 0)));
      ASSERT_TRUE(f.opened);
      uint8_t out[64];
      uint32_t result = 0;
      EXPECT_EQ(c.convert(f.reader, out, sizeof out, &result), 0u);
      EXPECT_EQ(result, kReadFailed);
    }
  }
}

TEST(RiffWaveReader, SmallOutputBufferIsReportedWithoutWriting) {
  struct Case {
    size_t conversion;
    uint16_t channels, bits;
    uint32_t capacity;  // one less than needed
  };
  const Case cases[] = {{0, 1, 16, 1}, {1, 2, 16, 0}, {3, 2, 16, 1}, {4, 1, 16, 7},
                        {5, 1, 16, 3}, {8, 2, 16, 3}, {9, 1, 8, 7},  {12, 2, 8, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(kConversions[c.conversion].name);
    WavFixture f(Wav(c.channels, c.bits, 8000, Bytes(8, 0x40)));
    Bytes out(16, 0xEE);
    uint32_t result = 0;
    EXPECT_EQ(kConversions[c.conversion].convert(f.reader, out.data(), c.capacity, &result), 0u);
    EXPECT_EQ(result, kTooSmall);
    EXPECT_EQ(out, Bytes(16, 0xEE));
  }
  // Both channels of ADPCM need room for two whole code streams, even for an odd frame count.
  WavFixture f(Wav(2, 16, 8000, Bytes(12, 0)));
  uint8_t out[4];
  uint32_t result = 0;
  EXPECT_EQ(f.reader.Stereo16ToAdpcm(3, out, 3, &result), 0u);
  EXPECT_EQ(result, kTooSmall);
  ASSERT_TRUE(f.reader.FindData());
  EXPECT_EQ(f.reader.Stereo16ToAdpcm(3, out, 4, &result), 3u);
}

TEST(RiffWaveReader, DataClaimingMoreThanTheFileHoldsFails) {
  for (uint32_t claimed : {9u, 1000u, 0xFFFFFFF0u}) {
    SCOPED_TRACE(claimed);
    WavFixture f(Riff({RiffChunk("fmt ", FmtBody(1, 16, 8000)), RiffChunk("data", Bytes(8, 0), claimed)}));
    ASSERT_TRUE(f.opened);
    EXPECT_EQ(f.reader.GetDataSize(), claimed);
    for (const Conversion& c : kConversions) {
      uint8_t out[64];
      uint32_t result = 0;
      ASSERT_TRUE(f.reader.FindData());
      EXPECT_EQ(c.convert(f.reader, out, sizeof out, &result), 0u) << c.name;
      EXPECT_EQ(result, kReadFailed) << c.name;
    }
  }
}

TEST(RiffWaveReader, ASecondConversionNeedsTheDataFoundAgain) {
  WavFixture f(Wav(1, 8, 8000, {1, 2}));
  uint8_t out[4];
  uint32_t result = 0;
  EXPECT_EQ(f.reader.Mono8To8(out, 4, &result), 2u);
  EXPECT_EQ(f.reader.Mono8To8(out, 4, &result), 0u);
  EXPECT_EQ(result, kReadFailed);
  ASSERT_TRUE(f.reader.FindData());
  EXPECT_EQ(f.reader.Mono8To8(out, 4, &result), 2u);
}

TEST(RiffWaveReader, MissingBytesOfAHalfSampleOrCutFrameReadAsZero) {
  {
    // Three bytes: the second sample is 0x00FF with its high byte missing.
    WavFixture f(Wav(1, 16, 8000, {0x00, 0x00, 0xFF}));
    uint8_t out[4] = {};
    ASSERT_EQ(f.reader.Mono16ToAdpcm(out, 4), 1u);
    EXPECT_EQ(out[0], 0x70);
    EXPECT_EQ(f.reader.GetLoopStart(), 2u);
  }
  {
    // Six bytes of stereo: frame 1 has a left sample and no right one.
    WavFixture f(Wav(2, 16, 8000, Samples16LE({0, 0, 32767})));
    uint8_t out[4] = {};
    ASSERT_EQ(f.reader.Stereo16ToAdpcm(1, out, 4), 1u);
    EXPECT_EQ(out[0], 0x70);
    ASSERT_TRUE(f.reader.FindData());
    ASSERT_EQ(f.reader.Stereo16ToAdpcm(2, out, 4), 1u);
    EXPECT_EQ(out[0], 0x80);
    ASSERT_TRUE(f.reader.FindData());
    ASSERT_EQ(f.reader.Stereo16ToAdpcm(3, out, 4), 2u);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x87);
  }
}

TEST(RiffWaveReader, UnknownChannelSelectorFails) {
  WavFixture f(Wav(2, 16, 8000, Bytes(8, 0)));
  uint8_t out[8];
  uint32_t result = 0;
  EXPECT_EQ(f.reader.Stereo16ToAdpcm(0, out, 8, &result), 0u);
  EXPECT_EQ(result, kReadFailed);
  result = 0;
  EXPECT_EQ(f.reader.Stereo16To8(4, out, 8, &result), 0u);
  EXPECT_EQ(result, kReadFailed);
}

}  // namespace
