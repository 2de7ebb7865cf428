// Tests of the volume bar's rules: level texts, preset records and the master-volume rule.
#include "app/core/VolumeBarRules.h"

#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"

namespace {

TEST(VolumeBarRules, LevelTextsByLeadingDigitsAndCappedAtThirtyOne) {
  const struct {
    const char* text;
    int value;
    bool showMax;
  } rows[] = {{"", 0, false}, {"12", 12, false}, {"31", 31, false}, {"45", 31, true},
              {"7x", 7, false}, {"x7", 0, false}, {"65567", 31, false}};  // 65567 & 0xFFFF is 31
  for (const auto& row : rows) {
    const volumebar::LevelText t = volumebar::ReadLevelText(row.text);
    EXPECT_EQ(t.value, row.value) << row.text;
    EXPECT_EQ(t.showMax, row.showMax) << row.text;
  }
}

TEST(VolumeBarRules, DefaultPresetIsFixedAndAMissingOneGivesTheDefaults) {
  platform::FakeHost host;
  const volumebar::Levels def = volumebar::ReadPreset("Default", 2);
  EXPECT_EQ(def.mv, 100);
  EXPECT_EQ(def.sp, 31);
  const volumebar::Levels missing = volumebar::ReadPreset("C", 2);
  EXPECT_EQ(missing.mv, 100);
  EXPECT_EQ(missing.hp, 31);
  EXPECT_EQ(missing.eq, 31);
}

TEST(VolumeBarRules, StoredPresetRoundTripsAndKeepsMasterOutForSomeProfiles) {
  platform::FakeHost host;
  volumebar::StorePreset("B", 2, {90, 10, 11, 12});
  EXPECT_EQ(host.profile.GetProfileString("Setting\\Volume", "Set", ""), "B");
  const volumebar::Levels b = volumebar::ReadPreset("B", 2);
  EXPECT_EQ(b.mv, 90);
  EXPECT_EQ(b.sp, 10);
  EXPECT_EQ(b.hp, 11);
  EXPECT_EQ(b.eq, 12);
  for (int profile : {1, 4, 6, 7}) {
    volumebar::StorePreset("D", profile, {90, 1, 2, 3});
    EXPECT_EQ(host.profile.GetProfileInt("Setting\\Volume\\D", "MV", -1), -1) << profile;
  }
  // Profiles that do not read "MV" give 100 whatever the record holds.
  EXPECT_EQ(volumebar::ReadPreset("B", 4).mv, 100);
}

TEST(VolumeBarRules, MasterRuleByProfile) {
  using volumebar::MasterRule;
  const MasterRule expected[] = {MasterRule::kFromPreset,         MasterRule::kHundredWithoutSong,
                                 MasterRule::kFromPreset,         MasterRule::kFromPreset,
                                 MasterRule::kKeep,               MasterRule::kFromPreset,
                                 MasterRule::kKeep,               MasterRule::kHundredWithoutSong,
                                 MasterRule::kFromPreset};
  for (int profile = 0; profile <= 8; ++profile) EXPECT_EQ(volumebar::MasterRuleFor(profile), expected[profile]) << profile;
}

}  // namespace
