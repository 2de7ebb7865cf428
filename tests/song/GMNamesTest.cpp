// General MIDI names and the voice-type labels of drum keys.
#include "song/GMNames.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/host/testing/FakeHost.h"

namespace {

std::string Text(const char* s) { return s ? s : "(null)"; }

TEST(GMNames, ProgramNamesFollowTheGeneralMidiList) {
  EXPECT_EQ(Text(GetGMProgramName(0, 0, 0)), "GrandPno");
  EXPECT_EQ(Text(GetGMProgramName(124, 3, 40)), "Violin");
  EXPECT_EQ(Text(GetGMProgramName(0, 0, 127)), "Gunshot");
  EXPECT_EQ(Text(GetGMProgramName(0, 0, 128)), "(null)");
  EXPECT_EQ(Text(GetProgramVoiceType(0, 0, 5)), "F2");
}

TEST(GMNames, DrumNamesCoverKeys13To91) {
  const struct {
    uint8_t key;
    const char* name;
  } cases[] = {{12, "(null)"}, {13, "Drum"},         {23, "Drum"},     {24, "Seq Click H"},
               {39, "Hand Clap"}, {84, "Bell Tree"}, {85, "Drum"},     {91, "Drum"},
               {92, "(null)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(Text(GetGMDrumName(125, 0, 0, c.key)), c.name);
  }
}

TEST(GMNames, DrumKeyVoiceTypesInsideTheKit) {
  platform::FakeHost host;
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 52)), "F2");
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 51)), "P");
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 40)), "P");
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 31)), "P");
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 32)), "F2");
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 12)), "(null)");
  EXPECT_EQ(Text(GetDrumKeyVoiceType(0, 0, 0, 92)), "(null)");
}

TEST(GMNames, OuterDrumKeysDependOnProfileMakerAndModeSetting) {
  const struct {
    int profile;
    int maker;
    int modeSetting;  // -1: absent from the profile
    const char* type;
  } cases[] = {
      {2, 3, -1, "F2"}, {1, 1, -1, "F4"}, {7, 2, 0, "F4"}, {1, 1, 1, "F2"}, {1, 2, 2, "F2"},
      {1, 1, 3, "(null)"}, {7, 4, 0, "F2"}, {1, 3, 0, "(null)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.profile << "/" << c.maker << "/" << c.modeSetting);
    platform::FakeHost host;
    host.settings.outputProfile = c.profile;
    host.settings.makerId = c.maker;
    if (c.modeSetting >= 0) host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.modeSetting);
    EXPECT_EQ(Text(GetDrumKeyVoiceType(125, 0, 0, 13)), c.type);
    EXPECT_EQ(Text(GetDrumKeyVoiceType(125, 0, 0, 91)), c.type);
  }
}

}  // namespace
