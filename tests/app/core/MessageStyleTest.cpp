// Tests of the box style table and default answers.
#include "app/core/MessageStyle.h"

#include <gtest/gtest.h>

#include "platform/strings/StringTable.h"

namespace {

TEST(MessageStyle, StylesByMessageId) {
  struct Case {
    int id;
    unsigned style;
  };
  const Case cases[] = {
      {7080, 48}, {7096, 52}, {7091, 51}, {7001, 16}, {7077, 16}, {7004, 0},  {7166, 0},
      {7067, 1},  {7134, 33}, {7064, 36}, {7124, 49}, {7131, 65}, {7141, 68}, {7172, 0},
      {7159, 16}, {7162, 48}, {7161, 16}, {7163, 48}, {6500, 64}, {7500, 0},  {7173, 0},
      {7000, 0},  {0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(GetMessageStyle(c.id), c.style);
  }
}

TEST(MessageStyle, EveryStyledMessageHasATextAndKnownButtons) {
  for (int id = 7001; id <= 7172; ++id) {
    SCOPED_TRACE(id);
    unsigned style = GetMessageStyle(id);
    unsigned buttons = style & message_box::kButtonMask;
    EXPECT_TRUE(buttons == 0 || buttons == 1 || buttons == 3 || buttons == 4);
    EXPECT_TRUE(platform::StringTable::English().Find(id));
  }
}

TEST(MessageStyle, DefaultAnswerIsTheFirstButtonUnlessPicked) {
  struct Case {
    unsigned style;
    int answer;
  };
  const Case cases[] = {{0, 1}, {16, 1}, {49, 1}, {51, 6}, {52, 6}, {36, 6}, {0x104, 7}, {0x203, 2}, {0x301, 1}, {0x105, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(DefaultAnswer(c.style), c.answer);
  }
}

}  // namespace
