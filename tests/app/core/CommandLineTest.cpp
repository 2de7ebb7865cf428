// Tests of the command-line rules, with absolute Linux paths as files.
#include "app/core/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, ComOptionMatching) {
  struct Case {
    const char* arg;
    int port;
  };
  const Case cases[] = {
      {"-COM:3", 3}, {"/COM:12", 12}, {"COM:4", 4},  {"-COM: 5", 5},   {"-COM:+6", 6},
      {"-COM:0", 0}, {"-COM:x", 0},   {"-COM:", 0},  {"-com:3", 0},    {"--COM:3", 0},
      {"-COM:7z", 7}, {"COM3", 0},    {"", 0},       {"-COM:-2", -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg);
    EXPECT_EQ(MatchComOption(c.arg), c.port);
  }
}

TEST(CommandLine, OutputOptionMatching) {
  struct Case {
    const char* arg;
    const char* name;  // nullptr: not an output option
  };
  const Case cases[] = {
      {"-OUTPUT:out.mmf", "out.mmf"},
      {"/output:a.mid", "a.mid"},
      {"-output:/tmp/x.mmf", "/tmp/x.mmf"},
      {"OUTPUT:b", "b"},
      {"-Output:a.mid", nullptr},
      {"-OUTPUT:", nullptr},
      {"-OUTPUT", nullptr},
      {"--OUTPUT:x", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg);
    std::optional<std::string> name = MatchOutputOption(c.arg);
    if (c.name) {
      ASSERT_TRUE(name);
      EXPECT_EQ(*name, c.name);
    } else {
      EXPECT_FALSE(name);
    }
  }
}

TEST(CommandLine, AbsolutePathsAreFilesNotFlags) {
  struct Case {
    const char* arg;
    bool flag;
  };
  const Case cases[] = {
      {"/home/user/song.mmf", false}, {"/COM:3", true},     {"/OUTPUT:x.mmf", true},
      {"/output:x.mmf", true},                {"/Output:x.mmf", false}, {"/com:3", false},
      {"-anything", true},                    {"song.mmf", false},   {"COM:3", true},
      {"OUTPUT:x.mmf", true},                 {"./COM:3", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg);
    EXPECT_EQ(IsFlagArgument(c.arg), c.flag);
  }
}

TEST(CommandLine, FirstOfEachKindWins) {
  CommandLineInfo info = ParseCommandLine(
      {"/tmp/songs/a.mmf", "-COM:0", "-COM:2", "-OUTPUT:/tmp/o.mmf", "b.mmf", "/COM:5", "-output:c.mid"});
  EXPECT_EQ(info.fileName, "/tmp/songs/a.mmf");
  EXPECT_EQ(info.comPort, 2);
  EXPECT_EQ(info.outputPath, "/tmp/o.mmf");
}

TEST(CommandLine, OptionsAloneOpenNoFile) {
  CommandLineInfo info = ParseCommandLine({"-OUTPUT:", "COM:3", "-x"});
  EXPECT_EQ(info.fileName, "");
  EXPECT_EQ(info.comPort, 3);
  EXPECT_EQ(info.outputPath, "");
  EXPECT_EQ(ParseCommandLine({}).fileName, "");
}

TEST(CommandLine, FileAfterOptionsIsFound) {
  CommandLineInfo info = ParseCommandLine({"-OUTPUT:out.MMF", "", "/data/in.mid"});
  EXPECT_EQ(info.fileName, "/data/in.mid");
  EXPECT_EQ(info.outputPath, "out.MMF");
  EXPECT_EQ(info.comPort, 0);
}

}  // namespace
