// The PCM page's wave rules: the loop/end adjustment, point limits and steps, Fs, the point
// labels and the checks before the sheet closes.
#include "voice/PcmWaveRules.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"

namespace {

using namespace voiceedit;

CVoiceItem PcmVoice(int format, const std::vector<uint8_t>& samples, uint16_t lp, uint16_t ep) {
  CVoiceItem v;
  v.SetBankMsb(124);
  v.SetPcmFlag(1);
  v.SetPcmWaveFormat(static_cast<uint8_t>(format));
  v.SetWaveHeaderId(1);
  v.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
  v.SetPcmLoopPoint(lp);
  v.SetPcmEndPoint(ep);
  return v;
}

TEST(PcmWaveRules, LoopEndAdjustmentCases) {
  struct Row {
    int format;
    uint32_t bytes;  // 1000 samples either way
    uint16_t lp, ep;
    int result;
    uint16_t lpAfter, epAfter;
  } rows[] = {
      {0, 500, 10, 1000, 0, 10, 1000}, {0, 500, 10, 1005, 1, 10, 1000}, {0, 500, 1002, 1005, 3, 999, 999},
      {0, 500, 20, 10, 2, 10, 10},     {2, 1000, 10, 999, 0, 10, 999},  {3, 1000, 999, 999, 3, 998, 998},
      {2, 1000, 10, 1200, 1, 10, 999},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.format << " " << r.lp << " " << r.ep);
    CVoiceItem v = PcmVoice(r.format, std::vector<uint8_t>(r.bytes, 0x80), r.lp, r.ep);
    EXPECT_EQ(AdjustLoopEnd(v, 3), r.result);
    EXPECT_EQ(v.GetPcmLoopPoint(), r.lpAfter);
    EXPECT_EQ(v.GetPcmEndPoint(), r.epAfter);
  }
  CVoiceItem other = PcmVoice(0, std::vector<uint8_t>(500, 0), 10, 1005);
  EXPECT_EQ(AdjustLoopEnd(other, 2), 0);
  EXPECT_EQ(other.GetPcmEndPoint(), 1005);
}

TEST(PcmWaveRules, PointLimitsAreHeldTo16Bits) {
  EXPECT_EQ(PointLimit(0, 100), 200);
  EXPECT_EQ(PointLimit(0, 65518), 65535);
  EXPECT_EQ(PointLimit(2, 70000), 65535);
  EXPECT_EQ(PointLimit(1, 10), -1);
  EXPECT_EQ(ClampTypedPoint(5000, 0, 100), 200);
  EXPECT_EQ(ClampTypedPoint(70000, 0, 65518), 65535);
  EXPECT_EQ(ClampTypedPoint(50, 2, 0), 0);
  EXPECT_EQ(ClampTypedPoint(50, 1, 0), 50);
  EXPECT_EQ(ParseTypedValue("99999"), 65535);
  EXPECT_EQ(ParseTypedValue(""), 0);
  EXPECT_EQ(ParseTypedValue("1234"), 1234);
}

TEST(PcmWaveRules, SpinSteps) {
  // Delta below 1 raises.
  EXPECT_EQ(StepPoint(199, -1, 0, 100), 200);
  EXPECT_EQ(StepPoint(200, -1, 0, 100), 200);
  EXPECT_EQ(StepPoint(0, 1, 0, 100), 0);
  EXPECT_EQ(StepPoint(5, 1, 2, 100), 4);
  EXPECT_EQ(StepStartOffset(65535, -1), 65535);
  EXPECT_EQ(StepStartOffset(0, 1), 0);
  EXPECT_EQ(StepFs(1500, -1), 1501);
  EXPECT_EQ(StepFs(48000, -1), 48000);
  EXPECT_EQ(StepFs(1500, 1), 1500);
  EXPECT_EQ(StepFs(48000, 1), 47999);
  EXPECT_EQ(StepFs(1000, -1), 1000);
}

TEST(PcmWaveRules, FsOnLeavingItsEdit) {
  bool corrected = false;
  EXPECT_EQ(FixFsOnLeave("50000", corrected), 48000);
  EXPECT_TRUE(corrected);
  EXPECT_EQ(FixFsOnLeave("", corrected), 1500);
  EXPECT_TRUE(corrected);
  EXPECT_EQ(FixFsOnLeave("1000", corrected), 1500);
  EXPECT_TRUE(corrected);
  EXPECT_EQ(FixFsOnLeave("8250", corrected), 8250);
  EXPECT_FALSE(corrected);
}

TEST(PcmWaveRules, PointLabelsShowNothingOutsideTheSamples) {
  const std::vector<int16_t> s = {-5, 300, -700};
  PointLabels l = MakePointLabels(0, true, 1, 0, s);
  EXPECT_EQ(l.loopLabel, "LP");
  EXPECT_EQ(l.endLabel, "EP-1");
  EXPECT_EQ(l.loopValue, "300");
  EXPECT_EQ(l.endValue, "");
  l = MakePointLabels(0, true, 0, 3, s);
  EXPECT_EQ(l.endValue, "700");
  l = MakePointLabels(2, true, 0, 2, s);
  EXPECT_EQ(l.loopLabel, "LP+1");
  EXPECT_EQ(l.loopValue, "300");
  EXPECT_EQ(l.endValue, "700");
  l = MakePointLabels(1, true, 0, 2, s);
  EXPECT_EQ(l.endLabel, "EP");
  EXPECT_EQ(l.endValue, "");
}

TEST(PcmWaveRules, ApplyChecks) {
  platform::FakeHost host;
  CVoiceItem empty;
  empty.SetPcmFlag(1);
  EXPECT_EQ(CheckPcmApply(empty, true, 3), 7143);
  EXPECT_EQ(CheckPcmApply(empty, false, 3), 0);
  // 8-bit unsigned 80 84 84 80: sample 1 has magnitude 1024.
  const std::vector<uint8_t> loud = {0x80, 0x84, 0x84, 0x80};
  CVoiceItem v = PcmVoice(2, loud, 1, 1);
  v.SetPcmRR(1);
  EXPECT_EQ(CheckPcmApply(v, true, 3), 7157);
  v.SetPcmRR(2);
  EXPECT_EQ(CheckPcmApply(v, true, 3), 0);
  v.SetPcmXOF(1);
  v.SetPcmSR(1);
  EXPECT_EQ(CheckPcmApply(v, true, 3), 7155);
  v.SetPcmSR(2);
  v.SetPcmDR(0);
  v.SetPcmSL(3);
  EXPECT_EQ(CheckPcmApply(v, true, 3), 7156);
  CVoiceItem badLoop = PcmVoice(2, loud, 3, 3);
  EXPECT_EQ(CheckPcmApply(badLoop, true, 3), 7153);
  CVoiceItem reversed = PcmVoice(2, loud, 2, 1);
  EXPECT_EQ(CheckPcmApply(reversed, true, 3), 7153);
  CVoiceItem badEnd = PcmVoice(0, std::vector<uint8_t>(2, 0), 0, 0);
  EXPECT_EQ(CheckPcmApply(badEnd, true, 3), 7154);
  CVoiceItem pastEnd = PcmVoice(2, loud, 0, 4);
  EXPECT_EQ(CheckPcmApply(pastEnd, true, 3), 7154);
}

}  // namespace
