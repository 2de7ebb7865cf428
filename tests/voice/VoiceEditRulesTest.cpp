// The window-free rules of the voice editor pages.
#include "voice/VoiceEditRules.h"

#include <gtest/gtest.h>

namespace {

using namespace voiceedit;

TEST(VoiceEditRules, PanpotLevelTexts) {
  struct Row {
    int p;
    const char* left;
    const char* right;
  } rows[] = {{0, "0.000", "-(Infinity)"}, {1, "-0.012", "-25.624"}, {8, "-0.785", "-7.814"},
              {15, "-3.010", "-3.010"},    {16, "-3.010", "-3.010"}, {30, "-25.624", "-0.012"},
              {31, "-(Infinity)", "0.000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.p);
    EXPECT_EQ(PanpotLevelText(r.p, true), r.left);
    EXPECT_EQ(PanpotLevelText(r.p, false), r.right);
  }
}

TEST(VoiceEditRules, WsSliderSkipsUserWavesWhenNotAllowed) {
  EXPECT_EQ(WsFromSliderPosition(14, false), 14);
  EXPECT_EQ(WsFromSliderPosition(15, false), 16);
  EXPECT_EQ(WsFromSliderPosition(21, false), 22);
  EXPECT_EQ(WsFromSliderPosition(22, false), 24);
  EXPECT_EQ(WsFromSliderPosition(28, false), 30);
  for (int ws : {15, 23, 31}) EXPECT_EQ(SliderPositionFromWs(ws, false), 0);
  EXPECT_EQ(SliderPositionFromWs(16, false), 15);
  EXPECT_EQ(SliderPositionFromWs(30, false), 28);
  for (int p = 0; p <= 28; ++p) EXPECT_EQ(SliderPositionFromWs(WsFromSliderPosition(p, false), false), p);
  EXPECT_EQ(WsFromSliderPosition(31, true), 31);
  EXPECT_EQ(SliderPositionFromWs(23, true), 23);
  EXPECT_EQ(WsSliderMax(false), 28);
}

TEST(VoiceEditRules, AlgRangeByProfileSourceAndModeSetting) {
  EXPECT_EQ(AlgRange(6, 1, 0), std::make_pair(0, 7));
  EXPECT_FALSE(AlgRange(4, 0, 0).has_value());
  EXPECT_EQ(AlgRange(2, 1, 2), std::make_pair(0, 7));
  EXPECT_EQ(AlgRange(2, 2, 1), std::make_pair(0, 1));
  EXPECT_EQ(AlgRange(2, 2, 2), std::make_pair(0, 1));
  EXPECT_EQ(AlgRange(2, 2, 0), std::make_pair(0, 7));
}

TEST(VoiceEditRules, FeedbackOperators) {
  for (int alg = 0; alg < 8; ++alg) {
    EXPECT_TRUE(OperatorCarriesFeedback(alg, 1));
    EXPECT_FALSE(OperatorCarriesFeedback(alg, 2));
    EXPECT_EQ(OperatorCarriesFeedback(alg, 3), alg == 2 || alg == 5);
    EXPECT_FALSE(OperatorCarriesFeedback(alg, 4));
  }
}

TEST(VoiceEditRules, UserWaveNamesAndTitles) {
  EXPECT_EQ(UserWaveName("ABCDEFGHIJKLMNOPQR"), "ABCDEFGHIJK~OPQR");
  EXPECT_EQ(UserWaveName("ABCDEFGHIJKLMNOP"), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(FileTitle("/tmp/x.y/ABCDEFGHIJKLMNOPQR.wav"), "ABCDEFGHIJKLMNOPQR");
  EXPECT_EQ(FileTitle("noext"), "noext");
}

TEST(VoiceEditRules, GateTextClampsAndPictures) {
  EXPECT_EQ(GateTimeText(25), "2.5");
  EXPECT_EQ(GateTimeText(100), "10.0");
  EXPECT_EQ(ClampEditorVolume(-1), 0);
  EXPECT_EQ(ClampEditorVolume(128), 127);
  EXPECT_EQ(ClampEditorGate(101), 100);
  EXPECT_EQ(AlgPictureId(0, 1), 1233);
  EXPECT_EQ(AlgPictureId(7, 3), 1259);
  EXPECT_EQ(WaveFormatText(0, true), "4bit ADPCM");
  EXPECT_EQ(WaveFormatText(3, true), "8bit PCM");
  EXPECT_EQ(WaveFormatText(1, true), "");
  EXPECT_EQ(WaveFormatText(0, false), "");
}

}  // namespace
