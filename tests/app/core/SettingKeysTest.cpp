// Tests that every settings key reads its default from an empty profile.
#include "app/core/SettingKeys.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/host/testing/FakeHost.h"
#include "platform/settings/IniFile.h"

namespace {

struct Expected {
  const char* section;
  const char* key;
  int def;
};

// Transcribed from the settings table on its own, to catch a wrong key or default.
const Expected kExpectedInts[] = {
    {"Setting", "OutputType", 0},          {"Setting", "OutputType", -1},
    {"Setting", "TrMode", 5},              {"Setting", "COMPort", 0},
    {"Setting", "COMPort", 1},             {"Setting", "KZ-3_ModeSetting", 0},
    {"Setting", "KZ-3_StreamPCMReserve", 0}, {"Setting", "OutputFormat", 3},
    {"Setting", "OutputFormat", 1},        {"Setting", "MIDIDeviceOut", 0},
    {"Setting", "MIDIDeviceThruIn", 0},    {"Setting", "MIDIDeviceThruOut", 0},
    {"Setting", "OriginPch", 0},           {"Setting", "OriginNote", 0},
    {"Setting", "BlinkLED", 0},            {"Setting", "BlinkMTR", 0},
    {"Setting", "CopyStatus", 253},        {"Setting", "EditStatus", 128},
    {"Setting", "DensWidth", 500},         {"Setting", "MasterVolume", 128},
    {"Setting", "FMMMode", 0},             {"Setting\\Volume", "MV", 100},
    {"InfoWindow", "CodeTypeKORVAN", 0},   {"InfoWindow", "CodeTypeVELKPhrase", 0},
    {"InfoWindow", "CodeTypeVELK", 0},     {"InfoWindow", "CodeTypeDoCoMo", 0},
};

TEST(SettingKeys, EveryIntegerKeyHasItsDefault) {
  const auto& keys = profile_keys::AllIntKeys();
  ASSERT_EQ(keys.size(), std::size(kExpectedInts));
  for (const Expected& e : kExpectedInts) {
    SCOPED_TRACE(std::string(e.section) + "/" + e.key + "=" + std::to_string(e.def));
    bool found = false;
    for (const ProfileIntKey& k : keys) {
      found |= std::strcmp(k.section, e.section) == 0 && std::strcmp(k.key, e.key) == 0 && k.def == e.def;
    }
    EXPECT_TRUE(found);
  }
}

TEST(SettingKeys, AbsentKeysReadAsTheirDefaults) {
  platform::FakeHost host;
  for (const ProfileIntKey& k : profile_keys::AllIntKeys()) {
    SCOPED_TRACE(k.key);
    EXPECT_EQ(ReadProfileSetting(k), k.def);
  }
  EXPECT_EQ(ReadProfileSetting(profile_keys::kVolumePreset), "Default");
  for (int kind = 0; kind <= 4; ++kind) EXPECT_EQ(GetDefaultDir(kind), "") << kind;
}

TEST(SettingKeys, StoredValuesWinOverDefaults) {
  platform::FakeHost host;
  ASSERT_TRUE(WriteProfileSetting(profile_keys::kOutputFormat, 7));
  EXPECT_EQ(ReadProfileSetting(profile_keys::kOutputFormat), 7);
  EXPECT_EQ(host.profile.writes, std::vector<std::string>{"Setting/OutputFormat=7"});
}

TEST(SettingKeys, DefaultDirsByKind) {
  platform::FakeHost host;
  const char* keys[] = {"DefDir_INPUT", "DefDir_OUTPUT", "DefDir_SOUND", "DefDir_VOICE"};
  for (int kind = 0; kind < 4; ++kind) host.profile.WriteProfileString("Setting", keys[kind], "/dir" + std::to_string(kind));
  for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(GetDefaultDir(kind), "/dir" + std::to_string(kind));
  EXPECT_EQ(GetDefaultDir(4), "");
  EXPECT_EQ(GetDefaultDir(-1), "");
}

TEST(SettingKeys, VoiceModeBitsFollowTheModeSetting) {
  struct Case {
    int setting;
    uint32_t bits;
  };
  const Case cases[] = {{0, 0x01}, {1, 0x03}, {2, 0x0B}, {3, 0x01}, {-1, 0x01}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    platform::FakeHost host;
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.setting);
    EXPECT_EQ(CurrentVoiceModeBits(), c.bits);
  }
  platform::FakeHost empty;
  EXPECT_EQ(CurrentVoiceModeBits(), 0x01u);
}

TEST(SettingKeys, IniValuesUseTheDecimalRule) {
  struct Case {
    const char* text;
    int chipMode;
    int makerId;
  };
  const Case cases[] = {
      {"[Setting]\nKZMode=3\nMakerID=2\n", 3, 2},
      {"[Setting]\nKZMode=3abc\n", 3, 1},
      {"[Setting]\nMakerID=\n", 0, 0},
      {"[Other]\nKZMode=3\n", 0, 1},
      {"", 0, 1},
      {"[setting]\nkzmode=  -1\nmakerid=x\n", -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    platform::IniFile ini = platform::IniFile::FromText(c.text);
    EXPECT_EQ(ReadIniChipMode(ini), c.chipMode);
    EXPECT_EQ(ReadIniMakerID(ini), c.makerId);
  }
}

}  // namespace
