// Tests of the update rules of the main frame's tool-window and voice-transfer commands.
#include "app/core/FrameCommandRules.h"

#include <gtest/gtest.h>

namespace {

using framecmd::Rule;
using framecmd::RuleFor;
using framecmd::State;

State Song(int chipMode, int profile, int modeSetting = 0) {
  State s;
  s.chipMode = chipMode;
  s.outputProfile = profile;
  s.modeSetting = modeSetting;
  s.song = true;
  return s;
}

std::optional<bool> Enabled(int id, const State& s) { return RuleFor(id, s).enabled; }

TEST(FrameCommandRules, StreamPcmAssignMapByChipModeProfileAndModeSetting) {
  for (int chip : {1, 2}) EXPECT_EQ(Enabled(32796, Song(chip, 2)), false) << chip;
  for (int chip : {3, 5}) {
    for (int profile = 1; profile <= 8; ++profile) {
      for (int setting = 0; setting <= 2; ++setting) {
        const bool expected = profile != 4 && profile != 6 && setting != 2;
        EXPECT_EQ(Enabled(32796, Song(chip, profile, setting)), expected) << chip << " " << profile << " " << setting;
        State none = Song(chip, profile, setting);
        none.song = false;
        EXPECT_EQ(Enabled(32796, none), false);
      }
    }
  }
  State open = Song(3, 2);
  open.windowOpen = true;
  EXPECT_EQ(RuleFor(32796, open).checked, true);
}

TEST(FrameCommandRules, VoiceTransfersNeedGenerationThreeASongNoPlayAndVoices) {
  for (int id : {40974, 40983, 40984}) {
    State s = Song(3, 2);
    s.sendableVoices = true;
    EXPECT_EQ(Enabled(id, s), true) << id;
    s.playing = true;
    EXPECT_EQ(Enabled(id, s), false) << id;
    s.playing = false;
    s.sendableVoices = false;
    EXPECT_EQ(Enabled(id, s), false) << id;
    s = Song(2, 2);
    s.sendableVoices = true;
    EXPECT_EQ(Enabled(id, s), false) << id;
  }
}

TEST(FrameCommandRules, StreamPcmWavesDisabledForModeSettingTwoAndPhraseProfiles) {
  // The toolbar's command and the stream-PCM map's menu item follow one rule.
  for (int id : {40975, 32825}) {
    State s = Song(3, 2);
    s.streamPcmWaves = true;
    EXPECT_EQ(Enabled(id, s), true) << id;
    s.modeSetting = 2;
    EXPECT_EQ(Enabled(id, s), false) << id;
    for (int profile : {4, 6}) {
      State p = Song(5, profile);
      p.streamPcmWaves = true;
      EXPECT_EQ(Enabled(id, p), false) << id << " " << profile;
    }
  }
}

TEST(FrameCommandRules, MixerStmSizeAndVelocityChange) {
  EXPECT_EQ(Enabled(32797, Song(1, 2)), true);
  EXPECT_EQ(Enabled(32797, Song(3, 4)), false);
  EXPECT_EQ(Enabled(32797, Song(5, 6)), false);
  State noSong = Song(3, 2);
  noSong.song = false;
  EXPECT_EQ(Enabled(32797, noSong), false);
  EXPECT_EQ(Enabled(32831, Song(1, 2)), false);
  EXPECT_EQ(Enabled(32831, Song(5, 2, 1)), true);
  EXPECT_EQ(Enabled(32831, Song(5, 2, 2)), false);
  EXPECT_FALSE(Enabled(32831, Song(3, 2)).has_value());  // left as the framework has it
  EXPECT_EQ(Enabled(40976, Song(3, 4)), false);
  EXPECT_EQ(Enabled(40976, Song(3, 2)), true);
  EXPECT_EQ(Enabled(40976, Song(5, 4)), true);
  EXPECT_EQ(Enabled(32799, Song(1, 2)), std::nullopt);
  for (int chip : {2, 3, 5}) EXPECT_EQ(Enabled(32799, Song(chip, 2)), false);
  EXPECT_EQ(Enabled(32798, noSong), false);
  EXPECT_EQ(Enabled(32804, Song(3, 2)), true);
}

}  // namespace
