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

/// The rules as the menu table states them, for one command: enabled and checked.
struct Expected {
  std::optional<bool> enabled;
  std::optional<bool> checked;
};

Expected ExpectedRule(int id, const State& s) {
  const bool gen3 = s.chipMode == 3 || s.chipMode == 5;
  const bool phrase = s.outputProfile == 4 || s.outputProfile == 6;
  const bool pcmMode = s.modeSetting == 0 || s.modeSetting == 1;
  const bool idleSong = gen3 && !s.playing && s.song;
  switch (id) {
    case 32800: return {std::nullopt, s.windowOpen};
    case 32799: return {s.chipMode == 1 ? std::nullopt : std::optional<bool>(false), std::nullopt};
    case 32798: return {s.song, s.windowOpen};
    case 32796: return {gen3 && !phrase && s.song && pcmMode, s.windowOpen};
    case 40974:
    case 40983:
    case 40984: return {idleSong && s.sendableVoices, std::nullopt};
    case 40975: return {idleSong && !phrase && pcmMode && s.streamPcmWaves, std::nullopt};
    case 32804: return {s.song, std::nullopt};
    case 32797: return {gen3 && phrase ? false : s.song, s.windowOpen};
    case 32805: return {std::nullopt, s.windowOpen};
    case 32831:
      if (s.chipMode == 1 || s.chipMode == 2) return {false, s.windowOpen};
      if (s.chipMode == 5) return {s.song && pcmMode, s.windowOpen};
      return {std::nullopt, s.windowOpen};
    case 40976:
      if (s.chipMode == 3) return {s.song && s.outputProfile != 4, s.windowOpen};
      if (s.chipMode == 5) return {s.song, s.windowOpen};
      return {};
    default: return {};
  }
}

TEST(FrameCommandRules, WholeTableOverChipModesProfilesSettingsSongPlayAndWindows) {
  const int ids[] = {32800, 32799, 32798, 32796, 40974, 40975, 40983, 40984, 32804, 32797, 32805, 32831, 40976};
  int states = 0;
  for (int chip : {1, 2, 3, 5}) {
    for (int profile = 1; profile <= 8; ++profile) {
      for (int setting = 0; setting <= 2; ++setting) {
        for (int flags = 0; flags < 32; ++flags) {
          State s;
          s.chipMode = chip;
          s.outputProfile = profile;
          s.modeSetting = setting;
          s.song = flags & 1;
          s.playing = flags & 2;
          s.windowOpen = flags & 4;
          s.sendableVoices = flags & 8;
          s.streamPcmWaves = flags & 16;
          ++states;
          for (int id : ids) {
            ASSERT_TRUE(framecmd::HasRule(id));
            const Rule rule = RuleFor(id, s);
            const Expected expected = ExpectedRule(id, s);
            ASSERT_EQ(rule.enabled, expected.enabled) << id << " chip " << chip << " profile " << profile
                                                      << " setting " << setting << " flags " << flags;
            ASSERT_EQ(rule.checked, expected.checked) << id << " chip " << chip << " profile " << profile
                                                      << " setting " << setting << " flags " << flags;
          }
        }
      }
    }
  }
  EXPECT_EQ(states, 4 * 8 * 3 * 32);
  EXPECT_FALSE(framecmd::HasRule(32791));
}

}  // namespace
