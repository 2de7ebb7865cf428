// Tests of the application object's settings, accessors and clamps.
#include "app/core/TrillotApp.h"

#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"
#include "platform/strings/StringTable.h"

namespace {

TEST(TrillotApp, StartsInChipModeOneWithProfileTwoAndNoVolumes) {
  CTrillotApp app;
  EXPECT_EQ(app.GetChipMode(), 1);
  EXPECT_EQ(app.GetOutputProfile(), 2);
  EXPECT_EQ(app.GetProfileOption(), 0);
  EXPECT_EQ(app.GetBoardComPort(), 0);
  EXPECT_EQ(app.GetMasterVolume(), -1);
  EXPECT_EQ(app.GetHpVolume(), -1);
  EXPECT_EQ(app.GetSpVolume(), -1);
  EXPECT_EQ(app.GetEqLevel(), -1);
  EXPECT_EQ(app.HasOutputPath(), 0);
  EXPECT_FALSE(app.IsBatchMode());
  EXPECT_EQ(app.GetAccessLog().GetLineCount(), 0);
}

TEST(TrillotApp, VolumeSettersClampToTheirRanges) {
  struct Case {
    int value;
    int master;
    int level;
  };
  const Case cases[] = {{-1, 0, 0}, {0, 0, 0}, {31, 31, 31}, {32, 32, 31}, {127, 127, 31}, {128, 127, 31}, {-500, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    CTrillotApp app;
    app.SetMasterVolume(c.value);
    app.SetSpVolume(c.value);
    app.SetHpVolume(c.value);
    app.SetEqLevel(c.value);
    EXPECT_EQ(app.GetMasterVolume(), c.master);
    EXPECT_EQ(app.GetSpVolume(), c.level);
    EXPECT_EQ(app.GetHpVolume(), c.level);
    EXPECT_EQ(app.GetEqLevel(), c.level);
  }
}

TEST(TrillotApp, EditorValuesClamp) {
  CTrillotApp app;
  app.SetEditorMasterVolume(-1);
  app.SetEditorVelocity(128);
  app.SetEditorGateTime(101);
  EXPECT_EQ(app.GetEditorMasterVolume(), 0);
  EXPECT_EQ(app.GetEditorVelocity(), 127);
  EXPECT_EQ(app.GetEditorGateTime(), 100);
  app.SetEditorMasterVolume(128);
  app.SetEditorGateTime(-5);
  EXPECT_EQ(app.GetEditorMasterVolume(), 127);
  EXPECT_EQ(app.GetEditorGateTime(), 0);
  app.SetEditorVelocity(64);
  EXPECT_EQ(app.GetEditorVelocity(), 64);
}

TEST(TrillotApp, KZ5OutputProfileNeedsChipModeFiveAndAMatchingProfile) {
  for (int profile = 1; profile <= 8; ++profile) {
    SCOPED_TRACE(profile);
    CTrillotApp app;
    app.SetOutputProfile(profile);
    bool kz5Profile = profile == 2 || profile == 3 || profile == 5 || profile == 7 || profile == 8;
    EXPECT_EQ(app.IsKZ5OutputProfile(5), kz5Profile ? 1 : 0);
    EXPECT_EQ(app.IsKZ5OutputProfile(3), 0);
    EXPECT_EQ(app.IsKZ5OutputProfile(-1), 0);  // the current chip mode is 1
    app.SetChipMode(5);
    EXPECT_EQ(app.IsKZ5OutputProfile(-1), kz5Profile ? 1 : 0);
  }
}

TEST(TrillotApp, SetChipModeTellsTheWindowsAndReturnsOne) {
  platform::FakeHost host;
  CTrillotApp app;
  EXPECT_EQ(app.SetChipMode(3), 1);
  EXPECT_EQ(app.GetChipMode(), 3);
  EXPECT_EQ(host.ui.chipModeChanges, std::vector<int>{3});
}

TEST(TrillotApp, IniPathIsTheProgramFolderAndTheFileName) {
  CTrillotApp app;
  std::string path = "unchanged";
  app.GetIniPath(path);
  EXPECT_EQ(path, "unchanged");
  app.SetAppDir("/opt/trillot/");
  app.GetIniPath(path);
  EXPECT_EQ(path, "/opt/trillot/Trillot.ini");
  EXPECT_EQ(app.GetAppDir(), "/opt/trillot/");
}

TEST(TrillotApp, OutputPathMeansBatchMode) {
  CTrillotApp app;
  EXPECT_EQ(app.SetOutputPath("out.mmf"), 1);
  EXPECT_EQ(app.GetOutputPath(), "out.mmf");
  EXPECT_EQ(app.HasOutputPath(), 1);
  EXPECT_TRUE(app.IsBatchMode());
}

TEST(TrillotApp, SetInfoCodeTypeStoresByOutputProfile) {
  struct Case {
    const char* name;
    int profile;
    int value;
    int stored;
    const char* write;  // nullptr: nothing written
  };
  const Case cases[] = {
      {"profile 2 refuses 5", 2, 5, 0, "InfoWindow/CodeTypeKORVAN=0"},
      {"profile 2 takes 35", 2, 35, 35, "InfoWindow/CodeTypeKORVAN=35"},
      {"profile 8 takes 2", 8, 2, 2, "InfoWindow/CodeTypeKORVAN=2"},
      {"profile 4 takes 2", 4, 2, 2, "InfoWindow/CodeTypeVELKPhrase=2"},
      {"profile 5 takes any", 5, 77, 77, "InfoWindow/CodeTypeVELK=77"},
      {"unchanged writes nothing", 2, 1, 1, nullptr},
      {"profile 1 changes nothing", 1, 2, 1, nullptr},
      {"profile 3 changes nothing", 3, 2, 1, nullptr},
      {"profile 6 changes nothing", 6, 2, 1, nullptr},
      {"profile 7 changes nothing", 7, 2, 1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::FakeHost host;
    CTrillotApp app;
    app.SetOutputProfile(c.profile == 1 || c.profile == 3 || c.profile == 6 || c.profile == 7 ? 2 : c.profile);
    ASSERT_EQ(app.SetInfoCodeType(1), 1);  // a stored value of 1 to start from
    host.profile.writes.clear();
    app.SetOutputProfile(c.profile);
    EXPECT_EQ(app.SetInfoCodeType(c.value), 1);
    EXPECT_EQ(app.GetInfoCodeType(), c.stored);
    EXPECT_EQ(host.profile.writes, c.write ? std::vector<std::string>{c.write} : std::vector<std::string>{});
  }
}

TEST(TrillotApp, SetInfoCodeTypeReportsAFailedWrite) {
  platform::FakeHost host;
  host.profile.failWrites = true;
  CTrillotApp app;
  EXPECT_EQ(app.SetInfoCodeType(2), 0);
  app.SetOutputProfile(5);
  EXPECT_EQ(app.SetInfoCodeType(9), 0);
  app.SetOutputProfile(3);
  EXPECT_EQ(app.SetInfoCodeType(1), 1);
}

TEST(TrillotApp, SetInfoCodeTypeDoCoMoNeedsProfileOneOrSevenAndMakerTwo) {
  struct Case {
    const char* name;
    int profile;
    int maker;
    int value;
    int stored;
    bool written;
  };
  const Case cases[] = {
      {"maker 1 changes nothing", 1, 1, 32, 0, false},
      {"maker 2 profile 1 takes 32", 1, 2, 32, 32, true},
      {"maker 2 profile 7 takes 35", 7, 2, 35, 35, true},
      {"other values become 0", 1, 2, 33, 0, false},
      {"profile 2 changes nothing", 2, 2, 32, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::FakeHost host;
    CTrillotApp app;
    app.SetOutputProfile(c.profile);
    app.SetMakerID(c.maker);
    EXPECT_EQ(app.SetInfoCodeTypeDoCoMo(c.value), 1);
    EXPECT_EQ(app.GetInfoCodeTypeDoCoMo(), c.stored);
    EXPECT_EQ(host.profile.writes.size(), c.written ? 1u : 0u);
    if (c.written) {
      EXPECT_EQ(host.profile.writes[0], "InfoWindow/CodeTypeDoCoMo=" + std::to_string(c.value));
    }
  }
  platform::FakeHost failing;
  failing.profile.failWrites = true;
  CTrillotApp app;
  app.SetOutputProfile(1);
  app.SetMakerID(2);
  EXPECT_EQ(app.SetInfoCodeTypeDoCoMo(32), 0);
}

TEST(TrillotApp, ReadsTheCodeTypeOfItsProfile) {
  struct Case {
    int profile;
    int maker;
    int infoCodeType;
    int doCoMo;
  };
  const Case cases[] = {{1, 2, 0, 4}, {1, 1, 0, 0}, {7, 2, 0, 4}, {2, 1, 1, 0}, {8, 1, 1, 0},
                        {4, 1, 2, 0}, {5, 1, 3, 0}, {3, 1, 0, 0}, {6, 2, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    platform::FakeHost host;
    host.profile.WriteProfileInt("InfoWindow", "CodeTypeKORVAN", 1);
    host.profile.WriteProfileInt("InfoWindow", "CodeTypeVELKPhrase", 2);
    host.profile.WriteProfileInt("InfoWindow", "CodeTypeVELK", 3);
    host.profile.WriteProfileInt("InfoWindow", "CodeTypeDoCoMo", 4);
    CTrillotApp app;
    app.SetOutputProfile(c.profile);
    app.SetMakerID(c.maker);
    app.ReadInfoCodeTypes();
    EXPECT_EQ(app.GetInfoCodeType(), c.infoCodeType);
    EXPECT_EQ(app.GetInfoCodeTypeDoCoMo(), c.doCoMo);
  }
}

TEST(TrillotApp, OriginSettingsComeFromTheProfile) {
  platform::FakeHost host;
  CTrillotApp app;
  app.ReadOriginSettings();
  EXPECT_EQ(app.GetOriginPch(), 0);
  EXPECT_EQ(app.GetOriginNote(), 0);
  host.profile.WriteProfileInt("Setting", "OriginPch", 1);
  host.profile.WriteProfileInt("Setting", "OriginNote", 2);
  app.ReadOriginSettings();
  EXPECT_EQ(app.GetOriginPch(), 1);
  EXPECT_EQ(app.GetOriginNote(), 2);
  EXPECT_EQ(app.SetOriginNote(1), 1);
  EXPECT_EQ(app.GetOriginNote(), 1);
}

TEST(TrillotApp, ModeParameterComesFromTheDeviceInChipModesThreeAndFive) {
  CTrillotApp app;
  EXPECT_EQ(app.GetModeParameter(3, 0), 0);
  app.SetModeParameterReader([] { return 7; });
  EXPECT_EQ(app.GetModeParameter(3, 0), 7);
  EXPECT_EQ(app.GetModeParameter(5, 0), 7);
  EXPECT_EQ(app.GetModeParameter(1, 0), 0);
  EXPECT_EQ(app.GetModeParameter(2, 0), 0);
}

TEST(TrillotApp, WebLanguageFollowsTheInterfaceLanguage) {
  CTrillotApp app;
  std::string_view code = platform::strings().Find(6500).value_or("");
  EXPECT_EQ(app.GetWebLanguage(), code == "CN" ? 4 : 1);
}

}  // namespace
