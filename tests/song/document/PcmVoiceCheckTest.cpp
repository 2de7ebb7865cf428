// The PCM-voice setting check's messages and the stream-PCM rate table.
#include "song/document/PcmVoiceCheck.h"

#include <gtest/gtest.h>

#include <vector>

#include "PcmVoiceFixture.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "voice/LoopPointCheck.h"

namespace {

using doctest::PcmVoice;

class PcmVoiceCheck : public testing::Test {
 protected:
  platform::FakeHost host;
};

TEST_F(PcmVoiceCheck, FailureShowsHeadlineVoiceLineAndName) {
  host.settings.originPch = 1;
  const CVoiceItem voice = PcmVoice(60, 40);
  EXPECT_EQ(CheckPcmVoiceSettings(voice), 0);
  ASSERT_EQ(host.messages.shown.size(), 1u);
  EXPECT_EQ(host.messages.shown[0].text,
            "Can not convert file.\n- PCM voice setting error : Invalid Loop point setting.\n"
            "Bank MSB/LSB: 124 / 1  Pch: 6\nPad");
  EXPECT_EQ(host.messages.shown[0].style, 0x10u);
}

TEST_F(PcmVoiceCheck, DrumVoiceLineCarriesTheNote) {
  CVoiceItem voice = PcmVoice(60, 40);
  voice.SetBankMsb(125);
  voice.SetBankLsb(0);
  voice.SetProgram(0);
  voice.SetNote(36);
  EXPECT_EQ(CheckPcmVoiceSettings(voice), 0);
  ASSERT_EQ(host.messages.shown.size(), 1u);
  EXPECT_EQ(host.messages.shown[0].text,
            "Can not convert file.\n- PCM voice setting error : Invalid Loop point setting.\n"
            "Bank MSB/LSB: 125 / 0  Pch: 0  Note: 36\nPad");
}

TEST_F(PcmVoiceCheck, EachErrorCodeHasItsHeadline) {
  const struct {
    unsigned code;
    const char* headline;
  } cases[] = {
      {CLoopPointCheck::kBadLoopPoint, "Invalid Loop point setting."},
      {CLoopPointCheck::kBadEndPoint, "Invalid End point setting."},
      {CLoopPointCheck::kClickXofLowSr, "SR <= 1 and XOF is checked."},
      {CLoopPointCheck::kClickXofSustainedDecay, "DR = 0, SL != 0 and XOF is checked."},
      {CLoopPointCheck::kClickLowRr, "RR <= 1 and XOF is not checked."},
  };
  const CVoiceItem voice = PcmVoice(0, 0);
  for (const auto& c : cases) {
    const std::string text = PcmVoiceCheckText(voice, c.code);
    EXPECT_EQ(text.rfind("Can not convert file.\n- PCM voice setting error : " +
                             std::string(c.headline) + "\nBank MSB/LSB:", 0),
              0u)
        << text;
  }
  EXPECT_EQ(PcmVoiceCheckText(voice, 3), "\nBank MSB/LSB: 124 / 1  Pch: 5\nPad");
}

TEST_F(PcmVoiceCheck, PassingVoiceAndBatchModeShowNothing) {
  EXPECT_NE(CheckPcmVoiceSettings(PcmVoice(10, 40)), 0);
  host.settings.batchMode = true;
  EXPECT_EQ(CheckPcmVoiceSettings(PcmVoice(60, 40)), 0);
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST(StreamPcmRate, TableOfOneHundredEighteenRates) {
  for (int rate : {4125, 4500, 8250, 22125, 48000}) EXPECT_TRUE(IsValidStreamPcmRate(rate)) << rate;
  for (int rate : {0, 4124, 4126, 8000, 47999, 48375}) EXPECT_FALSE(IsValidStreamPcmRate(rate)) << rate;
  int count = 0;
  for (int rate = 0; rate <= 50000; ++rate) count += IsValidStreamPcmRate(rate) ? 1 : 0;
  EXPECT_EQ(count, 118);
}

}  // namespace
