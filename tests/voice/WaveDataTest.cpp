#include "voice/WaveData.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "WaveFiles.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using namespace wavetest;

Bytes Channel(const CWaveData& wave, int channel) {
  const uint8_t* p = wave.GetSamples(channel);
  return p ? Bytes(p, p + wave.GetSampleBytes(channel)) : Bytes{};
}

std::vector<int> Rising() {
  std::vector<int> s(12, 32767);
  s[0] = 0;
  return s;
}

// Stereo frames: left 0, 0, 0, 0 and right 0, 32767, 32767, 32767.
const std::initializer_list<int> kStereoFrames = {0, 0, 0, 32767, 0, 32767, 0, 32767};

class WaveDataTest : public testing::Test {
 protected:
  // Loads bytes written to a file of the given name; the result code, 0 on success.
  uint32_t LoadBytes(const Bytes& bytes, const std::string& name, int bits) {
    TempFile file(bytes, name);
    uint32_t result = 0;
    const bool ok = wave.Load(file.Path(), bits, &result);
    EXPECT_EQ(ok, result == 0);
    return result;
  }
  uint32_t Load16(const Bytes& bytes, const std::string& name) {
    TempFile file(bytes, name);
    uint32_t result = 0;
    const bool ok = wave.LoadFor16Bit(file.Path(), &result);
    EXPECT_EQ(ok, result == 0);
    return result;
  }

  platform::FakeHost host;
  CWaveData wave;
};

using WaveDataLoad = WaveDataTest;
using WaveDataLoadFor16Bit = WaveDataTest;
using WaveDataExpand = WaveDataTest;

TEST(WaveData, NewHolderIsEmptyMonoAdpcm) {
  CWaveData wave;
  EXPECT_EQ(wave.GetKind(), 0);
  EXPECT_EQ(wave.GetRate(), 0u);
  EXPECT_EQ(wave.GetLoopStart(), 0u);
  EXPECT_EQ(wave.GetLoopEnd(), 0u);
  EXPECT_EQ(wave.GetChannels(), 1);
  EXPECT_EQ(wave.GetSamples(0), nullptr);
  EXPECT_EQ(wave.GetSampleBytes(1), 0u);
  EXPECT_EQ(wave.GetReserved(), 0u);
}

TEST(WaveData, SetChannelCopiesAndClearKeepsTheLoop) {
  CWaveData wave;
  const Bytes data{1, 2, 3};
  wave.SetChannel(data.data(), 3, 1);
  EXPECT_EQ(Channel(wave, 1), data);
  wave.SetChannel(data.data(), 0, 1);
  EXPECT_EQ(wave.GetSamples(1), nullptr);
  wave.SetChannel(data.data(), 3, 2);
  EXPECT_EQ(wave.GetSamples(2), nullptr);
  ASSERT_TRUE(wave.SetData(data.data(), 3, CWaveData::kPcm8Signed));
  EXPECT_EQ(Channel(wave, 0), data);
  EXPECT_EQ(wave.GetKind(), 3);
  ASSERT_TRUE(wave.ExpandTo16Bit());
  wave.Clear();
  EXPECT_EQ(wave.GetSamples(0), nullptr);
  EXPECT_EQ(wave.GetKind(), 0);
  EXPECT_EQ(wave.GetLoopStart(), 6u);
}

TEST(WaveData, SetDataRefusesSizesBeyondSixteenBits) {
  CWaveData wave;
  const Bytes big(65536, 1);
  EXPECT_FALSE(wave.SetData(big.data(), 65536, 2));
  EXPECT_EQ(wave.GetSamples(0), nullptr);
  EXPECT_TRUE(wave.SetData(big.data(), 65535, 2));
  EXPECT_EQ(wave.GetSampleBytes(0), 65535u);
}

TEST_F(WaveDataLoad, SomethingElseThanAFileIsAFileError) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("trillot-wave-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  // A FIFO would block the load and /dev/zero would never end.
  for (const char* name : {"f.wav", "f.aif"}) ASSERT_EQ(::mkfifo((dir / name).c_str(), 0600), 0);
  for (const char* name : {"z.wav", "z.aif"}) std::filesystem::create_symlink("/dev/zero", dir / name);
  for (const char* name : {"d.wav", "d.aif"}) std::filesystem::create_directories(dir / name);
  for (const char* name : {"f.wav", "f.aif", "z.wav", "z.aif", "d.wav", "d.aif"}) {
    SCOPED_TRACE(name);
    uint32_t result = 0;
    EXPECT_FALSE(wave.Load((dir / name).string(), 4, &result));
    EXPECT_EQ(result, 4u);
    EXPECT_FALSE(wave.LoadFor16Bit((dir / name).string(), &result));
    EXPECT_EQ(result, 4u);
  }
  std::filesystem::remove_all(dir);
}

TEST_F(WaveDataLoad, WavMonoSilenceAsAdpcm) {
  ASSERT_EQ(LoadBytes(Wav(1, 16, 8000, Samples16LE({0, 0, 0, 0})), "s.wav", 4), 0u);
  EXPECT_EQ(wave.GetKind(), 0);
  EXPECT_EQ(wave.GetChannels(), 1);
  EXPECT_EQ(Channel(wave, 0), (Bytes{0x80, 0x80}));
  EXPECT_EQ(wave.GetLoopStart(), 4u);
  EXPECT_EQ(wave.GetLoopEnd(), 4u);
  EXPECT_EQ(wave.GetRate(), 8000u);
}

TEST_F(WaveDataLoad, StereoSixteenBitByChipMode) {
  struct Case {
    bool aiff;
    int chipMode;
    Bytes ch0, ch1;
    uint32_t loop;
  };
  const Case cases[] = {
      {false, 3, {0x80, 0x80}, {0x70, 0x77}, 4},
      {false, 5, {0x00, 0x78, 0x70, 0x78}, {}, 8},
      {true, 3, {0x80, 0x80}, {0x70, 0x77}, 0},
      {true, 5, {0x00, 0x78, 0x70, 0x78}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.aiff ? "AIFF" : "WAV") << " chip mode " << c.chipMode);
    host.settings.chipMode = c.chipMode;
    const Bytes file = c.aiff ? Aiff(2, 16, 44100, Samples16BE(kStereoFrames))
                              : Wav(2, 16, 44100, Samples16LE(kStereoFrames));
    ASSERT_EQ(LoadBytes(file, c.aiff ? "s.aif" : "s.wav", 4), 0u);
    EXPECT_EQ(wave.GetChannels(), 2);
    EXPECT_EQ(wave.GetKind(), 0);
    EXPECT_EQ(Channel(wave, 0), c.ch0);
    EXPECT_EQ(Channel(wave, 1), c.ch1);
    EXPECT_EQ(wave.GetLoopStart(), c.loop);
    EXPECT_EQ(wave.GetLoopEnd(), c.loop);
    EXPECT_EQ(wave.GetRate(), 44100u);
  }
}

TEST_F(WaveDataLoad, StereoOutsideChipModesThreeAndFiveFails) {
  for (int chipMode : {1, 2}) {
    host.settings.chipMode = chipMode;
    EXPECT_EQ(LoadBytes(Wav(2, 16, 8000, Samples16LE(kStereoFrames)), "s.wav", 4), 2u);
    EXPECT_EQ(LoadBytes(Aiff(2, 8, 8000, {1, 2, 3, 4}), "s.aif", 8), 2u);
    EXPECT_EQ(wave.GetSamples(0), nullptr);
  }
}

TEST_F(WaveDataLoad, StereoEightBitKeepsEachFormatsKind) {
  ASSERT_EQ(LoadBytes(Wav(2, 8, 8000, {0x80, 0x81, 0x82, 0x83}), "s.wav", 8), 0u);
  EXPECT_EQ(wave.GetKind(), 2);
  EXPECT_EQ(Channel(wave, 0), (Bytes{0x80, 0x82}));
  EXPECT_EQ(Channel(wave, 1), (Bytes{0x81, 0x83}));
  EXPECT_EQ(wave.GetLoopStart(), 2u);
  ASSERT_EQ(LoadBytes(Aiff(2, 8, 8000, {1, 2, 3, 4}), "s.aif", 8), 0u);
  EXPECT_EQ(wave.GetKind(), 3);
  EXPECT_EQ(Channel(wave, 0), (Bytes{1, 3}));
  EXPECT_EQ(Channel(wave, 1), (Bytes{2, 4}));
  host.settings.chipMode = 5;
  ASSERT_EQ(LoadBytes(Aiff(2, 8, 8000, {1, 2, 3, 4}), "s.aif", 8), 0u);
  EXPECT_EQ(Channel(wave, 0), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(wave.GetSamples(1), nullptr);
}

TEST_F(WaveDataLoad, SixteenBitAsHighBytes) {
  const Bytes wav = Wav(1, 16, 8000, Samples16LE({0x1234, int16_t(0xFF00), 0x0080}));
  const Bytes aiff = Aiff(1, 16, 8000, Samples16BE({0x1234, int16_t(0xFF00), 0x0080}));
  for (const auto& [bytes, name] : {std::pair{wav, "s.wav"}, std::pair{aiff, "s.aif"}}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(LoadBytes(bytes, name, 8), 0u);
    EXPECT_EQ(wave.GetKind(), 3);
    EXPECT_EQ(Channel(wave, 0), (Bytes{0x12, 0xFF, 0x00}));
    EXPECT_EQ(wave.GetLoopStart(), 3u);
    EXPECT_EQ(wave.GetLoopEnd(), 3u);
  }
}

TEST_F(WaveDataLoad, EightBitMonoLoadsOnlyAsEightBit) {
  ASSERT_EQ(LoadBytes(Wav(1, 8, 11025, {0x80, 0xFF, 0x00}), "s.wav", 8), 0u);
  EXPECT_EQ(wave.GetKind(), 2);
  EXPECT_EQ(Channel(wave, 0), (Bytes{0x80, 0xFF, 0x00}));
  EXPECT_EQ(wave.GetLoopEnd(), 3u);
  EXPECT_EQ(LoadBytes(Wav(1, 8, 11025, {0x80, 0xFF, 0x00}), "s.wav", 4), 2u);
  ASSERT_EQ(LoadBytes(Aiff(1, 8, 11025, {0x00, 0x7F, 0x80}), "s.aif", 8), 0u);
  EXPECT_EQ(wave.GetKind(), 3);
  EXPECT_EQ(wave.GetRate(), 11025u);
  EXPECT_EQ(LoadBytes(Aiff(1, 8, 11025, {0x00, 0x7F, 0x80}), "s.aif", 4), 2u);
}

TEST_F(WaveDataLoad, BitsOtherThanFourOrEightFail) {
  for (int bits : {0, 1, 16, 5}) {
    EXPECT_EQ(LoadBytes(Wav(1, 16, 8000, Samples16LE({0, 0})), "s.wav", bits), 2u) << bits;
    EXPECT_EQ(LoadBytes(Aiff(1, 16, 8000, Samples16BE({0, 0})), "s.aif", bits), 2u) << bits;
  }
}

TEST_F(WaveDataLoad, AiffRateFollowsTheBaseNote) {
  struct Case {
    int baseNote;
    uint32_t rate;
  };
  for (const Case& c : {Case{-1, 44100}, Case{72, 22050}, Case{61, 41624}}) {
    SCOPED_TRACE(c.baseNote);
    std::vector<Bytes> chunks{AiffChunk("COMM", CommBody(1, 12, 16, Rate80(44100)))};
    if (c.baseNote >= 0) chunks.push_back(AiffChunk("INST", InstBody(uint8_t(c.baseNote))));
    chunks.push_back(AiffChunk("SSND", SsndBody(Samples16BE(Rising()))));
    ASSERT_EQ(LoadBytes(Form(chunks), "s.aif", 4), 0u);
    EXPECT_EQ(Channel(wave, 0), (Bytes{0x70, 0x77, 0x77, 0x07, 0x00, 0x00}));
    EXPECT_EQ(wave.GetLoopStart(), 12u);
    EXPECT_EQ(wave.GetLoopEnd(), 12u);
    EXPECT_EQ(wave.GetRate(), c.rate);
  }
}

TEST_F(WaveDataLoad, RatesOfEachFormat) {
  for (uint32_t rate : {8000u, 22050u, 44100u}) {
    SCOPED_TRACE(rate);
    ASSERT_EQ(LoadBytes(Wav(1, 16, rate, Samples16LE({0, 0})), "s.wav", 4), 0u);
    EXPECT_EQ(wave.GetRate(), rate);
    ASSERT_EQ(LoadBytes(Aiff(1, 16, rate, Samples16BE({0, 0})), "s.aif", 4), 0u);
    EXPECT_EQ(wave.GetRate(), rate);
  }
}

TEST_F(WaveDataLoad, UnstorableAiffRatesFail) {
  const Bytes rates[] = {{0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0},
                         {0x40, 0x27, 0x80, 0, 0, 0, 0, 0, 0, 0},
                         {0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}};
  for (const Bytes& r : rates) {
    const Bytes file = Form({AiffChunk("COMM", CommBody(1, 2, 16, r)), AiffChunk("SSND", SsndBody(Bytes(4, 0)))});
    EXPECT_EQ(LoadBytes(file, "s.aif", 4), 2u);
    EXPECT_EQ(wave.GetSamples(0), nullptr);
  }
}

TEST_F(WaveDataLoad, MarkersAndTheLoopDefault) {
  const Bytes markers = AiffChunk("MARK", MarkBody({{1, 1000, "beg loop"}, {2, 5000, "end loop"}}));
  const Bytes comm = AiffChunk("COMM", CommBody(1, 999, 16, Rate80(8000)));
  const Bytes ssnd = AiffChunk("SSND", SsndBody(Bytes(999 * 2, 0)));
  ASSERT_EQ(LoadBytes(Form({comm, markers, ssnd}), "s.aif", 4), 0u);
  EXPECT_EQ(wave.GetLoopStart(), 1000u);
  EXPECT_EQ(wave.GetLoopEnd(), 5000u);
  ASSERT_EQ(LoadBytes(Form({comm, ssnd}), "s.aif", 4), 0u);
  EXPECT_EQ(wave.GetSampleBytes(0), 500u);
  EXPECT_EQ(wave.GetLoopStart(), 1000u);
  EXPECT_EQ(wave.GetLoopEnd(), 1000u);
}

TEST_F(WaveDataLoad, OtherChunksAroundTheFormatChunk) {
  const Bytes samples = Samples16LE({0, 0, 0, 0});
  const Bytes fmt = RiffChunk("fmt ", FmtBody(1, 16, 22050));
  const Bytes list = RiffChunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 1, 0, 0, 0, 'x'});
  const Bytes fact = RiffChunk("fact", {4, 0, 0, 0});
  const Bytes data = RiffChunk("data", samples);
  for (const auto& chunks : {std::vector<Bytes>{list, fact, fmt, data}, std::vector<Bytes>{fmt, list, fact, data},
                             std::vector<Bytes>{fmt, data, fact, list}}) {
    ASSERT_EQ(LoadBytes(Riff(chunks), "s.wav", 4), 0u);
    EXPECT_EQ(Channel(wave, 0), (Bytes{0x80, 0x80}));
    EXPECT_EQ(wave.GetRate(), 22050u);
  }
  const Bytes comm = AiffChunk("COMM", CommBody(1, 4, 16, Rate80(22050)));
  const Bytes ssnd = AiffChunk("SSND", SsndBody(Bytes(8, 0)));
  const Bytes name = AiffChunk("NAME", {'d', 'r', 'u', 'm', '1'});
  const Bytes comt = AiffChunk("COMT", {0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 'c'});
  const Bytes appl = AiffChunk("APPL", {'a', 'b', 'c', 'd', 'e'});
  const Bytes mark = AiffChunk("MARK", MarkBody({{1, 2, "a marker"}}));
  const Bytes inst = AiffChunk("INST", InstBody(60));
  for (const auto& chunks : {std::vector<Bytes>{name, comt, appl, mark, inst, comm, ssnd},
                             std::vector<Bytes>{comm, name, comt, appl, mark, inst, ssnd},
                             std::vector<Bytes>{ssnd, comm, inst, mark, appl, comt, name}}) {
    ASSERT_EQ(LoadBytes(Form(chunks), "s.aif", 4), 0u);
    EXPECT_EQ(Channel(wave, 0), (Bytes{0x80, 0x80}));
    EXPECT_EQ(wave.GetRate(), 22050u);
  }
}

TEST_F(WaveDataLoad, ExtensionsAndUnreadableFiles) {
  const Bytes wav = Wav(1, 16, 8000, Samples16LE({0, 0}));
  EXPECT_EQ(LoadBytes(wav, "S.WAV", 4), 0u);
  EXPECT_EQ(LoadBytes(Aiff(1, 16, 8000, Samples16BE({0, 0})), "S.AiF", 4), 0u);
  EXPECT_EQ(LoadBytes(Aiff(1, 16, 8000, Samples16BE({0, 0})), "s.aiff", 4), 3u);
  EXPECT_EQ(LoadBytes(wav, "s.wave", 4), 3u);
  EXPECT_EQ(LoadBytes(wav, "wav", 4), 3u);
  uint32_t result = 0;
  EXPECT_FALSE(wave.Load("/nonexistent/folder/s.wav", 4, &result));
  EXPECT_EQ(result, 4u);
  TempFile dir(wav, "s.wav");
  EXPECT_FALSE(wave.Load(dir.Dir(), 4, &result));
  EXPECT_EQ(result, 4u);
  std::filesystem::create_directory(dir.Dir() + "/d.wav");
  std::filesystem::create_directory(dir.Dir() + "/d.aif");
  for (const char* name : {"/d.wav", "/d.aif"}) {
    result = 0;
    EXPECT_FALSE(wave.Load(dir.Dir() + name, 4, &result));
    EXPECT_EQ(result, 4u) << name;
  }
  EXPECT_FALSE(wave.Load("/nonexistent.wav", 4));
}

TEST_F(WaveDataLoad, RefusalsGiveTwo) {
  struct Case {
    const char* name;
    Bytes bytes;
    const char* file;
  };
  const Bytes data = RiffChunk("data", Bytes(8, 0));
  const Bytes ssnd = AiffChunk("SSND", SsndBody(Bytes(8, 0)));
  const Bytes comm = AiffChunk("COMM", CommBody(1, 4, 16, Rate80(8000)));
  const Case cases[] = {
      {"float WAV", Riff({RiffChunk("fmt ", FmtBody(1, 32, 8000, 3)), data}), "s.wav"},
      {"extensible WAV", Riff({RiffChunk("fmt ", FmtBody(1, 16, 8000, 0xFFFE)), data}), "s.wav"},
      {"24-bit WAV", Wav(1, 24, 8000, Bytes(9, 0)), "s.wav"},
      {"3-channel WAV", Wav(3, 16, 8000, Bytes(12, 0)), "s.wav"},
      {"0-channel WAV", Wav(0, 16, 8000, Bytes(12, 0)), "s.wav"},
      {"fmt of 14", Riff({RiffChunk("fmt ", Bytes(14, 0)), data}), "s.wav"},
      {"empty data", Wav(1, 16, 8000, {}), "s.wav"},
      {"AIFC", Form({comm, ssnd}, "AIFC"), "s.aif"},
      {"3-channel AIFF", Form({AiffChunk("COMM", CommBody(3, 1, 16, Rate80(8000))), ssnd}), "s.aif"},
      {"12-bit AIFF", Form({AiffChunk("COMM", CommBody(1, 4, 12, Rate80(8000))), ssnd}), "s.aif"},
      {"COMM of 20", Form({AiffChunk("COMM", Bytes(20, 0)), ssnd}), "s.aif"},
      {"INST of 18", Form({comm, AiffChunk("INST", Bytes(18, 0)), ssnd}), "s.aif"},
      {"SSND offset 4", Form({comm, AiffChunk("SSND", SsndBody(Bytes(8, 0), 4))}), "s.aif"},
      {"no frames", Form({AiffChunk("COMM", CommBody(1, 0, 16, Rate80(8000))), ssnd}), "s.aif"},
      {"WAV named .aif", Wav(1, 16, 8000, Bytes(8, 0)), "s.aif"},
      {"AIFF named .wav", Aiff(1, 16, 8000, Bytes(8, 0)), "s.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadBytes(c.bytes, c.file, 4), 2u);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, std::string(c.name) == "SSND offset 4" ? "Error; offset = 4, blocksize = 0\n" : "");
    EXPECT_EQ(wave.GetSamples(0), nullptr);
    EXPECT_EQ(wave.GetChannels(), 1);
  }
}

TEST_F(WaveDataLoad, EveryProperPrefixFails) {
  const Bytes wav = Riff({RiffChunk("LIST", {'I', 'N', 'F', 'O'}), RiffChunk("fmt ", FmtBody(2, 16, 8000)),
                          RiffChunk("data", Samples16LE({1, 2, 300, 400, -5, 6, 7000, 8000}))});
  const Bytes aiff = Form({AiffChunk("COMM", CommBody(2, 4, 16, Rate80(8000))),
                           AiffChunk("MARK", MarkBody({{1, 1, "beg loop"}, {2, 3, "end loop"}})),
                           AiffChunk("INST", InstBody(64)),
                           AiffChunk("SSND", SsndBody(Samples16BE({1, 2, 300, 400, -5, 6, 7000, 8000})))});
  for (const auto& [bytes, name] : {std::pair{wav, "p.wav"}, std::pair{aiff, "p.aif"}}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(LoadBytes(bytes, name, 4), 0u);
    TempFile file({}, name);
    for (size_t n = 0; n < bytes.size(); ++n) {
      file.Write(Bytes(bytes.begin(), bytes.begin() + n));
      for (int bits : {4, 8}) {
        uint32_t result = 0;
        EXPECT_FALSE(wave.Load(file.Path(), bits, &result)) << n;
        EXPECT_EQ(result, 2u) << n;
      }
    }
  }
}

TEST_F(WaveDataLoad, HostileHeadersFailWithoutHarm) {
  struct Case {
    const char* name;
    Bytes bytes;
    const char* file;
  };
  auto patched = [](Bytes b, size_t at, std::initializer_list<uint8_t> v) {
    std::copy(v.begin(), v.end(), b.begin() + long(at));
    return b;
  };
  const Bytes wav = Wav(1, 16, 8000, Bytes(8, 0));          // fmt at 12, data at 36
  const Bytes aiff = Aiff(1, 16, 8000, Bytes(8, 0));        // COMM at 12, SSND at 38
  const Case cases[] = {
      {"fmt size past end", patched(wav, 16, {0xFF, 0xFF, 0xFF, 0x7F}), "h.wav"},
      {"data size 0xFFFFFFF0", patched(wav, 40, {0xF0, 0xFF, 0xFF, 0xFF}), "h.wav"},
      {"data size past end", patched(wav, 40, {0x00, 0x10, 0x00, 0x00}), "h.wav"},
      {"zero channels WAV", patched(wav, 22, {0, 0}), "h.wav"},
      {"FORM size 0xFFFFFFFF", patched(aiff, 4, {0xFF, 0xFF, 0xFF, 0xFF}), "h.aif"},
      {"COMM size past end", patched(aiff, 16, {0x7F, 0xFF, 0xFF, 0xFF}), "h.aif"},
      {"SSND size past end", patched(aiff, 42, {0xFF, 0xFF, 0xFF, 0xF0}), "h.aif"},
      {"frames 0xFFFFFFFF", patched(aiff, 22, {0xFF, 0xFF, 0xFF, 0xFF}), "h.aif"},
      {"zero channels AIFF", patched(aiff, 20, {0, 0}), "h.aif"},
      {"rate exponent 0x7FFF", patched(aiff, 28, {0x7F, 0xFF}), "h.aif"},
      {"rate exponent 16383 + 40", patched(aiff, 28, {0x40, 0x27}), "h.aif"},
      {"negative rate", patched(aiff, 28, {0xC0, 0x0B}), "h.aif"},
      {"65535 markers in 8 bytes",
       Form({AiffChunk("MARK", {0xFF, 0xFF, 0, 1, 0, 0, 0, 1}), AiffChunk("COMM", CommBody(1, 4, 16, Rate80(8000))),
             AiffChunk("SSND", SsndBody(Bytes(8, 0)))}),
       "h.aif"},
      {"INST size past end", Form({AiffChunk("COMM", CommBody(1, 4, 16, Rate80(8000))), AiffChunk("SSND", SsndBody(Bytes(8, 0))),
                                   AiffChunk("INST", {60}, 20)}),
       "h.aif"},
  };
  ASSERT_EQ(LoadBytes(wav, "ok.wav", 4), 0u);
  ASSERT_EQ(LoadBytes(aiff, "ok.aif", 4), 0u);
  // A RIFF size past the end is searched only as far as the file goes.
  ASSERT_EQ(LoadBytes(patched(wav, 4, {0xFF, 0xFF, 0xFF, 0xFF}), "h.wav", 4), 0u);
  EXPECT_EQ(wave.GetSampleBytes(0), 2u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int bits : {4, 8}) {
      if (std::string(c.name) == "frames 0xFFFFFFFF") continue;
      EXPECT_EQ(LoadBytes(c.bytes, c.file, bits), 2u);
    }
  }
  // Frames announced beyond the sound data take the frames present.
  ASSERT_EQ(LoadBytes(patched(aiff, 22, {0xFF, 0xFF, 0xFF, 0xFF}), "h.aif", 8), 0u);
  EXPECT_EQ(wave.GetSampleBytes(0), 4u);
}

TEST_F(WaveDataLoadFor16Bit, PadsOrCutsToTwoKilobytesBigEndian) {
  // 50 samples of a WAV file, stored little-endian there; the wave holds them big-endian.
  Bytes samples(100);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i + 1);
  ASSERT_EQ(Load16(Wav(1, 16, 8000, samples), "u.wav"), 0u);
  EXPECT_EQ(wave.GetKind(), 100);
  EXPECT_EQ(wave.GetChannels(), 1);
  EXPECT_EQ(wave.GetRate(), 8000u);
  Bytes expected(2048, 0);
  for (size_t i = 0; i < samples.size(); i += 2) {
    expected[i] = samples[i + 1];
    expected[i + 1] = samples[i];
  }
  EXPECT_EQ(Channel(wave, 0), expected);
  EXPECT_EQ(wave.GetLoopStart(), 0u);

  Bytes longer(3000);
  for (size_t i = 0; i < longer.size(); ++i) longer[i] = uint8_t(i * 7);
  ASSERT_EQ(Load16(Wav(1, 16, 8000, longer), "u.wav"), 0u);
  const Bytes cut = Channel(wave, 0);
  ASSERT_EQ(cut.size(), 2048u);
  for (size_t i = 0; i < cut.size(); i += 2) {
    EXPECT_EQ(cut[i], longer[i + 1]) << i;
    EXPECT_EQ(cut[i + 1], longer[i]) << i;
  }
}

TEST_F(WaveDataLoadFor16Bit, OneToneFromWavAndAiffGivesTheSameSamples) {
  // One period of a tone, 64 samples: WAV stores them little-endian, AIFF big-endian.
  std::vector<int> tone(64);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int>(std::lround(12000 * std::sin(i * 0.0981747704)));
  Bytes little;
  Bytes big;
  for (int v : tone) {
    PutLE16(little, static_cast<uint16_t>(v));
    PutBE16(big, static_cast<uint16_t>(v));
  }
  ASSERT_EQ(Load16(Wav(1, 16, 8000, little), "tone.wav"), 0u);
  const Bytes fromWav = Channel(wave, 0);
  ASSERT_EQ(Load16(Aiff(1, 16, 8000, big), "tone.aif"), 0u);
  const Bytes fromAiff = Channel(wave, 0);
  Bytes expected(2048, 0);
  std::copy(big.begin(), big.end(), expected.begin());
  EXPECT_EQ(fromAiff, expected);
  EXPECT_EQ(fromWav, expected);
  EXPECT_EQ(wave.GetLoopStart(), 128u);  // AIFF's loop default: the whole sound
}

TEST_F(WaveDataLoadFor16Bit, RefusesStereoAndOtherSampleSizes) {
  EXPECT_EQ(Load16(Wav(2, 16, 8000, Bytes(8, 0)), "u.wav"), 1u);
  EXPECT_EQ(Load16(Wav(2, 8, 8000, Bytes(8, 0)), "u.wav"), 1u);
  EXPECT_EQ(Load16(Aiff(2, 16, 8000, Bytes(8, 0)), "u.aif"), 1u);
  EXPECT_EQ(Load16(Wav(1, 8, 8000, Bytes(8, 0)), "u.wav"), 2u);
  EXPECT_EQ(Load16(Aiff(1, 8, 8000, Bytes(8, 0)), "u.aif"), 2u);
  EXPECT_EQ(Load16(Wav(3, 16, 8000, Bytes(12, 0)), "u.wav"), 2u);
  EXPECT_EQ(Load16(Wav(1, 16, 8000, {}), "u.wav"), 2u);
  EXPECT_EQ(Load16(Wav(1, 16, 8000, Bytes(8, 0)), "u.aiff"), 3u);
  uint32_t result = 0;
  EXPECT_FALSE(wave.LoadFor16Bit("/nonexistent/u.wav", &result));
  EXPECT_EQ(result, 4u);
}

TEST_F(WaveDataExpand, ToBigEndianSixteenBit) {
  struct Case {
    uint8_t kind;
    Bytes in;
    Bytes out;
  };
  const Case cases[] = {
      {2, Bytes(6, 0x80), Bytes(12, 0)},
      {2, {0xFF, 0x00}, {0x7F, 0x00, 0x80, 0x00}},
      {3, {0x7F, 0x80}, {0x7F, 0x00, 0x80, 0x00}},
      {0, {0x70, 0x77, 0x77, 0x07, 0x00, 0x00},
       Samples16BE({0x000F, 0x00FB, 0x0335, 0x088B, 0x1558, 0x340C, 0x7DAE, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF})},
      {100, {0x12, 0x34, 0x56}, {0x12, 0x34, 0x56}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    ASSERT_TRUE(wave.SetData(c.in.data(), uint32_t(c.in.size()), c.kind));
    ASSERT_TRUE(wave.ExpandTo16Bit());
    EXPECT_EQ(Channel(wave, 0), c.out);
    EXPECT_EQ(wave.GetLoopStart(), c.out.size());
    EXPECT_EQ(wave.GetLoopEnd(), c.out.size());
    EXPECT_EQ(wave.GetKind(), c.kind);
  }
}

TEST_F(WaveDataExpand, KeepsRateAndChannelOne) {
  ASSERT_EQ(LoadBytes(Wav(2, 16, 16000, Samples16LE(kStereoFrames)), "s.wav", 4), 0u);
  ASSERT_TRUE(wave.ExpandTo16Bit());
  EXPECT_EQ(wave.GetRate(), 16000u);
  EXPECT_EQ(Channel(wave, 1), (Bytes{0x70, 0x77}));
  EXPECT_EQ(wave.GetSampleBytes(0), 8u);
}

TEST_F(WaveDataExpand, NothingToExpand) {
  EXPECT_FALSE(wave.ExpandTo16Bit());
  const Bytes data{1, 2};
  ASSERT_TRUE(wave.SetData(data.data(), 2, 1));
  EXPECT_FALSE(wave.ExpandTo16Bit());
  EXPECT_EQ(Channel(wave, 0), data);
}

}  // namespace
