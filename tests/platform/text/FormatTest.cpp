// Tests of the printf-style formatter and the decimal rule.
#include "platform/text/Format.h"

#include <gtest/gtest.h>

#include <climits>

namespace platform {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
  struct Case {
    const char* name;
    std::string got;
    std::string expected;
  };
  const Case cases[] = {
      {"com port", Format("use COM%d", 3), "use COM3"},
      {"two unsigned", Format("MSB/LSB: %u / %u", 124u, 0u), "MSB/LSB: 124 / 0"},
      {"text", Format("[%s]", std::string("abc")), "[abc]"},
      {"padded", Format("%02u . %02u . %03u", 1, 2, 3), "01 . 02 . 003"},
      {"hex", Format("%4X|%x", 0xABu, 255), "  AB|ff"},
      {"chars", Format("%c%c %d", 'C', ' ', -2), "C  -2"},
      {"float", Format("%1.3f", 2.5), "2.500"},
      {"percent", Format("100%% of %d", 7), "100% of 7"},
      {"left", Format("[%-4d]", 5), "[5   ]"},
      {"precision text", Format("%.2s", std::string("abcdef")), "ab"},
      {"star width", Format("[%*d]", 4, 9), "[   9]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.expected);
  }
}

TEST(Format, IntegersTakeThirtyTwoBitsLikeTheTarget) {
  EXPECT_EQ(Format("%u", -1), "4294967295");
  EXPECT_EQ(Format("%d", 0x80000000u), "-2147483648");
  EXPECT_EQ(Format("%X", 0x123456789ull), "23456789");
  EXPECT_EQ(Format("%llu", 0x123456789ull), "4886718345");
  EXPECT_EQ(Format("%hhu", 300), "44");
  EXPECT_EQ(Format("%hd", 70000), "4464");
}

TEST(Format, MissingArgumentsFormatAsZeroOrEmpty) {
  EXPECT_EQ(Format("COM%d and %s and %u."), "COM0 and  and 0.");
  EXPECT_EQ(Format("%d %d", 1), "1 0");
}

TEST(Format, ArgumentsOfTheWrongKindAreConverted) {
  EXPECT_EQ(Format("%s", 42), "42");
  EXPECT_EQ(Format("%d", std::string("17x")), "17");
  EXPECT_EQ(Format("%d", 3.9), "3");
  EXPECT_EQ(Format("%.1f", 2), "2.0");
}

TEST(Format, ResultIsSizedToTheTextNotTheTemplate) {
  // A short template with a long argument: the old "twice the template" buffer would overrun.
  std::string longName(5000, 'x');
  std::string out = Format("%s!", longName);
  EXPECT_EQ(out.size(), 5001u);
  EXPECT_EQ(out.back(), '!');
}

TEST(Format, HugeWidthIsCapped) {
  std::string out = Format("%999999999d", 1);
  EXPECT_LE(out.size(), 4096u);
  EXPECT_EQ(out.back(), '1');
}

TEST(Format, IncompleteOrUnknownConversionsStayAsWritten) {
  EXPECT_EQ(Format("50%", 1), "50%");
  EXPECT_EQ(Format("a %y b", 1), "a %y b");
  EXPECT_EQ(Format("%n|%d", 5, 6), "|6");
}

TEST(Format, PrecisionNeverSplitsAUtf8Character) {
  // "无法" is six bytes; four bytes would cut the second character in half.
  EXPECT_EQ(Format("%.4s", std::string("无法")), "无");
}

TEST(Format, ConversionsAreListedInOrder) {
  EXPECT_EQ(PrintfConversions("a %u / %u  Pch: %02d %s 100%% %-4.2f"),
            (std::vector<std::string>{"%u", "%u", "%02d", "%s", "%-4.2f"}));
  EXPECT_TRUE(PrintfConversions("no placeholders, 50%% only").empty());
  EXPECT_EQ(PrintfConversions("tail %"), (std::vector<std::string>{"%"}));
}

TEST(Format, ParseDecimalFollowsTheCRule) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"3", 3},         {"  12abc", 12}, {"-7", -7},          {"+5", 5},   {"", 0},
      {"x1", 0},        {"\t 42 ", 42},  {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
      {"- 3", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseDecimal(c.text), c.expected);
  }
}

TEST(HexBytes, UpperCaseOneSpaceApart) {
  const uint8_t bytes[] = {0xF0, 0x0A, 0x43, 0xF7};
  EXPECT_EQ(HexBytes(bytes, 4), "F0 0A 43 F7");
  EXPECT_EQ(HexBytes(bytes, 0), "");
  EXPECT_EQ(HexBytes(nullptr, 3), "");
}

}  // namespace
}  // namespace platform
