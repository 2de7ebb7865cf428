// Tests of the read-only INI file reader used for "Trillot.ini".
#include "platform/settings/IniFile.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(IniFile, ReadsValuesByTheProfileRules) {
  IniFile ini = IniFile::FromText(
      "; start-up settings\n"
      "[Other]\nKZMode=9\n"
      "[setting]\n"
      "  kzmode = 3  \n"
      "KZMode=2\n"
      "MakerID=\"4\"\n"
      "Empty=\n"
      "garbage line\n");
  EXPECT_EQ(ini.GetString("Setting", "KZMode", ""), "3");
  EXPECT_EQ(ini.GetString("Setting", "MakerID", "1"), "4");
  EXPECT_EQ(ini.GetString("Setting", "Empty", "d"), "");
  EXPECT_EQ(ini.GetString("Setting", "Missing", "d"), "d");
  EXPECT_EQ(ini.GetString("Missing", "KZMode", "x"), "x");
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  IniFile ini = IniFile::Load("/nonexistent/dir/Trillot.ini");
  EXPECT_FALSE(ini.WasRead());
  EXPECT_EQ(ini.GetString("Setting", "MakerID", "1"), "1");
  EXPECT_EQ(ini.GetString("Setting", "KZMode", ""), "");
}

}  // namespace
}  // namespace platform
