// Tests of the in-memory access log.
#include "app/core/AccessLog.h"

#include <gtest/gtest.h>

namespace {

TEST(AccessLog, AddsTitleAndIndentedDetail) {
  AccessLog log;
  ASSERT_TRUE(log.AppendAccessLogLines("Save to VELK", "/tmp/song.mmf"));
  EXPECT_EQ(log.GetLineCount(), 2);
  EXPECT_EQ(log.GetLine(0), "Save to VELK");
  EXPECT_EQ(log.GetLine(1), "    /tmp/song.mmf");
  EXPECT_EQ(log.GetLine(2), "");
  EXPECT_EQ(log.GetLine(-1), "");
}

TEST(AccessLog, TheTwoHundredFiftiethPairFillsIt) {
  AccessLog log;
  for (int i = 0; i < 250; ++i) ASSERT_TRUE(log.AppendAccessLogLines("t" + std::to_string(i), "d"));
  EXPECT_EQ(log.GetLineCount(), 500);
  EXPECT_FALSE(log.AppendAccessLogLines("late", "d"));
  EXPECT_EQ(log.GetLineCount(), 500);
  EXPECT_EQ(log.GetLine(498), "t249");
}

TEST(AccessLog, LongLinesAreCutTo256Bytes) {
  AccessLog log;
  ASSERT_TRUE(log.AppendAccessLogLines(std::string(300, 'a'), std::string(300, 'b')));
  EXPECT_EQ(log.GetLine(0), std::string(256, 'a'));
  EXPECT_EQ(log.GetLine(1), "    " + std::string(252, 'b'));
}

TEST(AccessLog, CutNeverSplitsACharacter) {
  AccessLog log;
  // 85 three-byte characters end at byte 255; the 86th would straddle the limit.
  std::string title;
  for (int i = 0; i < 90; ++i) title += "歌";
  ASSERT_TRUE(log.AppendAccessLogLines(title, ""));
  EXPECT_EQ(log.GetLine(0).size(), 255u);
  EXPECT_EQ(log.GetLine(1), "    ");
}

}  // namespace
