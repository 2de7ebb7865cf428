// Tests of the INI profile store: defaults, round trips, and files it must not destroy.
#include "platform/settings/IniProfileStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Store = platform::IniProfileStore;

class IniProfileStore : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/trillot-profile-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    m_dir = templ;
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::string PathOf(const std::string& name) const { return m_dir + "/" + name; }

  static void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string m_dir;
};

TEST_F(IniProfileStore, MissingFileReadsDefaultsAndFirstWriteCreatesItWithItsFolder) {
  std::string path = PathOf("KORVAN/Trillot.conf");
  Store store(path);
  EXPECT_TRUE(store.IsWritable());
  EXPECT_EQ(store.GetProfileInt("Setting", "OutputType", -1), -1);
  EXPECT_EQ(store.GetProfileString("Setting", "DefDir_INPUT", "none"), "none");

  ASSERT_TRUE(store.WriteProfileInt("Setting", "OutputType", 1));
  EXPECT_EQ(ReadText(path), "[Setting]\nOutputType=1\n");
}

TEST_F(IniProfileStore, DeferredWritesReachTheDiskTogetherOnFlushOrClose) {
  const std::string path = PathOf("Trillot.conf");
  WriteText(path, "[Setting]\nOutputType=2\n");
  {
    Store store(path);
    store.SetDeferred(true);
    ASSERT_TRUE(store.WriteProfileInt("Setting", "OutputType", 1));
    ASSERT_TRUE(store.WriteProfileString("WindowState", "CVListFrm", "1"));
    EXPECT_EQ(store.GetProfileInt("Setting", "OutputType", -1), 1);  // read back from memory
    EXPECT_EQ(ReadText(path), "[Setting]\nOutputType=2\n");
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(ReadText(path), "[Setting]\nOutputType=1\n\n[WindowState]\nCVListFrm=1\n");
    // Nothing changed since: the file is not written again.
    std::filesystem::remove(path);
    ASSERT_TRUE(store.Flush());
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(store.DeleteSection("WindowState"));
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  // Closing the store writes what was held.
  EXPECT_EQ(ReadText(path), "[Setting]\nOutputType=1\n");
  Store again(path);
  again.SetDeferred(true);
  ASSERT_TRUE(again.WriteProfileInt("Setting", "OutputType", 3));
  again.SetDeferred(false);  // ending the deferral writes too
  EXPECT_EQ(ReadText(path), "[Setting]\nOutputType=3\n");
}

TEST_F(IniProfileStore, ValuesSurviveReopeningWithNamesComparedWithoutCase) {
  std::string path = PathOf("Trillot.conf");
  {
    Store store(path);
    ASSERT_TRUE(store.WriteProfileInt("Setting", "OutputFormat", 3));
    ASSERT_TRUE(store.WriteProfileInt("Setting\\Volume\\A", "MV", -5));
    ASSERT_TRUE(store.WriteProfileString("Setting", "DefDir_INPUT", "/home/a b/songs"));
    ASSERT_TRUE(store.WriteProfileString("ToolBarState", "State", " two\nlines\t\"quoted\" \\ "));
    ASSERT_TRUE(store.WriteProfileString("Setting\\Volume", "Set", ""));
  }
  Store reopened(path);
  EXPECT_EQ(reopened.GetProfileInt("setting", "outputformat", 0), 3);
  EXPECT_EQ(reopened.GetProfileInt("SETTING\\VOLUME\\a", "mv", 0), -5);
  EXPECT_EQ(reopened.GetProfileString("Setting", "DefDir_INPUT", ""), "/home/a b/songs");
  EXPECT_EQ(reopened.GetProfileString("ToolBarState", "State", ""), " two\nlines\t\"quoted\" \\ ");
  EXPECT_EQ(reopened.GetProfileString("Setting\\Volume", "Set", "Default"), "");
  // Sections keep their backslashes and the case of their first writing.
  EXPECT_NE(ReadText(path).find("[Setting\\Volume\\A]\nMV=-5\n"), std::string::npos);
}

TEST_F(IniProfileStore, OverwritingKeepsTheFirstSpellingOfAName) {
  std::string path = PathOf("Trillot.conf");
  Store store(path);
  ASSERT_TRUE(store.WriteProfileInt("WindowState", "CVListFrm", 1));
  ASSERT_TRUE(store.WriteProfileInt("windowstate", "cvlistfrm", 0));
  EXPECT_EQ(ReadText(path), "[WindowState]\nCVListFrm=0\n");
}

TEST_F(IniProfileStore, IntegersWrapToThirtyTwoBitsAndTextReadsAsDefault) {
  std::string path = PathOf("Trillot.conf");
  WriteText(path, "[Setting]\nA=4294967295\nB=abc\nC= 12 \nD=\nE=-2147483648\n");
  Store store(path);
  ASSERT_TRUE(store.IsWritable());
  EXPECT_EQ(store.GetProfileInt("Setting", "A", 0), -1);
  EXPECT_EQ(store.GetProfileInt("Setting", "B", 7), 7);
  EXPECT_EQ(store.GetProfileInt("Setting", "C", 0), 12);
  EXPECT_EQ(store.GetProfileInt("Setting", "D", 9), 9);
  EXPECT_EQ(store.GetProfileInt("Setting", "E", 0), -2147483647 - 1);
}

TEST_F(IniProfileStore, DeleteSectionRemovesEveryKeyOfIt) {
  std::string path = PathOf("Trillot.conf");
  Store store(path);
  ASSERT_TRUE(store.WriteProfileInt("WindowState", "CVListFrm", 1));
  ASSERT_TRUE(store.WriteProfileInt("Setting", "OutputType", 1));
  ASSERT_TRUE(store.DeleteSection("windowstate"));
  EXPECT_EQ(store.GetProfileInt("WindowState", "CVListFrm", 0), 0);
  EXPECT_EQ(ReadText(path), "[Setting]\nOutputType=1\n");
  EXPECT_TRUE(store.DeleteSection("NoSuchSection"));
}

TEST_F(IniProfileStore, NamesThatCannotBeStoredAreRefused) {
  Store store(PathOf("Trillot.conf"));
  EXPECT_FALSE(store.WriteProfileInt("Bad]Name", "k", 1));
  EXPECT_FALSE(store.WriteProfileInt("Setting", "a=b", 1));
  EXPECT_FALSE(store.WriteProfileInt("Setting", "two\nlines", 1));
  EXPECT_FALSE(store.WriteProfileInt("", "k", 1));
  EXPECT_FALSE(std::filesystem::exists(PathOf("Trillot.conf")));
}

TEST_F(IniProfileStore, MalformedFileGivesDefaultsAndIsNeverOverwritten) {
  const std::string faults[] = {
      "OutputType=1\n[Setting]\n",          // a key before any section
      "[Setting]\nthis is not a key\n",     // no '='
      "[Setting\nOutputType=1\n",           // unclosed section
      std::string("[Setting]\nA=1\0\n", 15),  // a zero byte
  };
  for (const std::string& text : faults) {
    SCOPED_TRACE(text);
    std::string path = PathOf("Trillot.conf");
    WriteText(path, text);
    Store store(path);
    EXPECT_FALSE(store.IsWritable());
    EXPECT_EQ(store.GetProfileInt("Setting", "OutputType", -1), -1);
    EXPECT_FALSE(store.WriteProfileInt("Setting", "OutputType", 1));
    // The run still sees what it wrote.
    EXPECT_EQ(store.GetProfileInt("Setting", "OutputType", -1), 1);
    EXPECT_EQ(ReadText(path), text);
  }
}

TEST_F(IniProfileStore, UnreadablePathGivesDefaultsAndIsLeftAlone) {
  std::string path = PathOf("Trillot.conf");
  std::filesystem::create_directory(path);
  Store store(path);
  EXPECT_FALSE(store.IsWritable());
  EXPECT_EQ(store.GetProfileString("Setting", "DefDir_VOICE", "x"), "x");
  EXPECT_FALSE(store.WriteProfileString("Setting", "DefDir_VOICE", "/v"));
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(IniProfileStore, CommentsAndBlankLinesOfAHandEditedFileAreAccepted) {
  std::string path = PathOf("Trillot.conf");
  WriteText(path, "; edited by hand\r\n\r\n[Setting]\r\n  OriginNote = 1 \r\n# note\r\n");
  Store store(path);
  EXPECT_TRUE(store.IsWritable());
  EXPECT_EQ(store.GetProfileInt("Setting", "OriginNote", 0), 1);
}

TEST_F(IniProfileStore, DefaultPathFollowsTheEnvironment) {
  const char* saved = std::getenv("TRILLOT_PROFILE");
  std::string savedValue = saved ? saved : "";
  ::setenv("TRILLOT_PROFILE", "/tmp/x/Trillot.conf", 1);
  EXPECT_EQ(Store::DefaultPath(), "/tmp/x/Trillot.conf");
  ::unsetenv("TRILLOT_PROFILE");
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string xdgValue = xdg ? xdg : "";
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(Store::DefaultPath(), "/cfg/KORVAN/Trillot.conf");
  if (xdg) ::setenv("XDG_CONFIG_HOME", xdgValue.c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
  if (saved) ::setenv("TRILLOT_PROFILE", savedValue.c_str(), 1);
}

}  // namespace
