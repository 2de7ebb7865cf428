#include "TestPaths.h"
#include "voice/LoopPointCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "WaveFiles.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "voice/Adpcm.h"
#include "voice/RomWaveSource.h"

namespace {

using wavetest::Bytes;

struct Envelope {
  uint8_t xof = 0, sr = 0, dr = 0, sl = 0, rr = 0;
};

CVoiceItem PcmVoice(uint8_t format, const Bytes& wave, uint16_t lp, uint16_t ep, Envelope env = {}) {
  CVoiceItem voice;
  voice.SetPcmFlag(1);
  voice.SetPcmWaveFormat(format);
  voice.SetWaveSamples(wave.data(), uint32_t(wave.size()));
  voice.SetPcmLoopPoint(lp);
  voice.SetPcmEndPoint(ep);
  voice.SetPcmXOF(env.xof);
  voice.SetPcmSR(env.sr);
  voice.SetPcmDR(env.dr);
  voice.SetPcmSL(env.sl);
  voice.SetPcmRR(env.rr);
  return voice;
}

CVoiceItem RomVoice(int waveId, uint16_t lp, uint16_t ep, uint8_t format = 0) {
  CVoiceItem voice = PcmVoice(format, {}, lp, ep);
  voice.SetRM(1);
  voice.SetWaveId(uint8_t(waveId));
  return voice;
}

// Four ADPCM samples decoding to 15, 220, 505, 999 and to 236, 426, 664, 1000.
const Bytes kQuiet = {0x60, 0x64};
const Bytes kLoud = {0x27, 0x53};

class LoopPointCheck : public testing::Test {
 protected:
  // The result code, 0 when the voice passes.
  uint32_t Run(const CVoiceItem& voice) {
    CLoopPointCheck check;
    const int passed = check.Check(voice);
    EXPECT_EQ(passed == 1, check.GetResult() == 0);
    return check.GetResult();
  }

  platform::FakeHost host;
};

TEST_F(LoopPointCheck, EightBitBoundsAreTheLastTwoSamples) {
  const Bytes wave(100, 0x80);
  for (uint8_t format : {2, 3}) {
    SCOPED_TRACE(int(format));
    EXPECT_EQ(Run(PcmVoice(format, wave, 98, 99)), 0u);
    EXPECT_EQ(Run(PcmVoice(format, wave, 99, 99)), 1u);
    EXPECT_EQ(Run(PcmVoice(format, wave, 98, 100)), 2u);
    EXPECT_EQ(Run(PcmVoice(format, wave, 50, 40)), 1u);
  }
}

TEST_F(LoopPointCheck, AdpcmBoundsAreTheSampleCount) {
  EXPECT_EQ(Run(PcmVoice(0, kQuiet, 0, 0)), 2u);
  EXPECT_EQ(Run(PcmVoice(0, kQuiet, 3, 4)), 0u);
  EXPECT_EQ(Run(PcmVoice(0, kQuiet, 4, 4)), 1u);
  EXPECT_EQ(Run(PcmVoice(0, kQuiet, 3, 5)), 2u);
  EXPECT_EQ(Run(PcmVoice(0, kQuiet, 3, 2)), 1u);
  EXPECT_EQ(Run(PcmVoice(0, kQuiet, 0, 1)), 0u);
}

TEST_F(LoopPointCheck, QuietLoopPassesWhateverTheEnvelope) {
  for (Envelope env : {Envelope{}, Envelope{1, 0, 0, 5, 0}, Envelope{1, 1, 0, 0, 0}}) {
    EXPECT_EQ(Run(PcmVoice(0, kQuiet, 3, 3, env)), 0u);
  }
}

TEST_F(LoopPointCheck, LoudLoopNeedsAnEnvelopeThatHidesIt) {
  struct Case {
    Envelope env;
    uint32_t result;
  };
  const Case cases[] = {
      {{0, 15, 15, 15, 1}, 16},  {{0, 0, 0, 0, 0}, 16}, {{0, 0, 0, 0, 2}, 0},
      {{1, 1, 15, 0, 0}, 4},     {{1, 0, 0, 3, 15}, 4}, {{1, 2, 0, 1, 0}, 8},
      {{1, 2, 0, 0, 0}, 0},      {{1, 2, 1, 1, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.env.xof) << " SR " << int(c.env.sr) << " DR " << int(c.env.dr)
                                    << " SL " << int(c.env.sl) << " RR " << int(c.env.rr));
    EXPECT_EQ(Run(PcmVoice(0, kLoud, 3, 3, c.env)), c.result);
  }
}

TEST_F(LoopPointCheck, LoudNeighbourOfTheLoopCounts) {
  // Format 0 looks at the sample before the loop point, 8-bit formats at the one after it.
  const Envelope clicks{0, 0, 0, 0, 1};
  EXPECT_EQ(Run(PcmVoice(3, {0x00, 0x04, 0x00}, 0, 0, clicks)), 16u);
  EXPECT_EQ(Run(PcmVoice(3, {0x00, 0x03, 0x00}, 0, 0, clicks)), 0u);
  EXPECT_EQ(Run(PcmVoice(3, {0x04, 0x00, 0x00}, 1, 1, clicks)), 0u);
  EXPECT_EQ(Run(PcmVoice(2, {0x80, 0x7C, 0x80}, 0, 0, clicks)), 16u);
  // An ADPCM wave that falls from loud to quiet: the loop point on the first quiet sample
  // still clicks through the loud one before it.
  std::vector<int16_t> fall(40, 0);
  for (int i = 0; i < 12; ++i) fall[i] = 8000;
  Bytes codes(fall.size() / 2);
  AdpcmState state;
  AdpcmInit(state);
  AdpcmEncode(state, fall.data(), codes.data(), int32_t(fall.size()));
  std::vector<int16_t> decoded(fall.size());
  AdpcmDecode(codes.data(), decoded.data(), int32_t(codes.size()));
  auto quiet = [&](size_t i) { return std::abs(decoded[i]) < 1000; };
  size_t k = 1;
  while (k + 1 < decoded.size() && !(!quiet(k - 1) && quiet(k) && quiet(k + 1))) ++k;
  ASSERT_LT(k + 1, decoded.size());
  EXPECT_EQ(Run(PcmVoice(0, codes, uint16_t(k), uint16_t(k), clicks)), 16u);
  EXPECT_EQ(Run(PcmVoice(0, codes, uint16_t(k + 1), uint16_t(k + 1), clicks)), 0u);
  EXPECT_EQ(Run(PcmVoice(0, codes, uint16_t(k - 1), uint16_t(k - 1), clicks)), 16u);
}

TEST_F(LoopPointCheck, VoicesThatAreNotExamined) {
  const CVoiceItem bad = PcmVoice(0, kQuiet, 9, 3);
  EXPECT_EQ(Run(bad), 1u);
  for (int chipMode : {1, 2}) {
    host.settings.chipMode = chipMode;
    EXPECT_EQ(Run(bad), 0u);
  }
  host.settings.chipMode = 5;
  EXPECT_EQ(Run(bad), 1u);
  CVoiceItem fm = bad;
  fm.SetPcmFlag(0);
  EXPECT_EQ(Run(fm), 0u);
  CVoiceItem switched = bad;
  uint8_t ext[CVoiceItem::kExtSize] = {0x02};
  switched.SetExtBlock(ext);
  ASSERT_EQ(switched.GetExtSwitchX(), 1);
  EXPECT_EQ(Run(switched), 0u);
  // No wave, or a wave of format 1, cannot be expanded.
  EXPECT_EQ(Run(PcmVoice(0, {}, 9, 3)), 0u);
  EXPECT_EQ(Run(PcmVoice(1, kLoud, 9, 3)), 0u);
}

TEST_F(LoopPointCheck, ResetClearsTheResult) {
  CLoopPointCheck check;
  EXPECT_EQ(check.GetResult(), 0u);
  EXPECT_EQ(check.Check(PcmVoice(0, kQuiet, 0, 0)), 0);
  EXPECT_EQ(check.GetResult(), 2u);
  check.Reset();
  EXPECT_EQ(check.GetResult(), 0u);
}

TEST_F(LoopPointCheck, RomVoiceWithoutItsFilePasses) {
  wavetest::TempFile empty({}, "nothing");
  host.settings.appDir = empty.Dir();
  EXPECT_EQ(Run(RomVoice(0, 60000, 1)), 0u);
  EXPECT_EQ(Run(RomVoice(7, 60000, 1)), 0u);
}

TEST_F(LoopPointCheck, GeneratedRomWavesPassAtTheirTablePoints) {
  host.settings.appDir = TRILLOT_BIN_DIR;
  for (int id = 0; id < RomWaveSource::kCount; ++id) {
    SCOPED_TRACE(id);
    const RomWaveInfo& info = *RomWaveSource::Info(id);
    ASSERT_FALSE(RomWaveSource::Read(id).empty());
    // XOF clear and RR 0: a loop at a loud sample would fail.
    EXPECT_EQ(Run(RomVoice(id, info.loopPoint, info.endPoint)), 0u);
    EXPECT_EQ(Run(RomVoice(id, info.endPoint + 1, info.endPoint)), 1u);
  }
}

TEST_F(LoopPointCheck, RomWaveIsCheckedAsAdpcmWhateverTheFormatField) {
  host.settings.appDir = TRILLOT_BIN_DIR;
  const uint16_t n = uint16_t(RomWaveSource::Read(0).size() * 2);
  ASSERT_GT(n, 0);
  EXPECT_EQ(Run(RomVoice(0, n - 1, n, 2)), 0u);
  EXPECT_EQ(Run(RomVoice(0, n - 1, n + 1, 2)), 2u);
  EXPECT_EQ(Run(RomVoice(0, n, n, 3)), 1u);
}

}  // namespace
