// Tests of the value edits' texts: filters, readings and formats.
#include "app/core/ValueEditText.h"

#include <gtest/gtest.h>

namespace {

using namespace value_edit;

TEST(ValueEditText, TimeBaseReadings) {
  const std::vector<std::pair<std::string, std::optional<uint64_t>>> cases = {
      {"4.5", 4500}, {"4.05", 4050}, {"4.005", 4005}, {"4", 4},           {"0", 0},
      {"4.", 4000},  {".5", std::nullopt}, {"", std::nullopt}, {"1.2345", std::nullopt},
      {"16777.001", 16777001},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseTimeBaseText(text), value) << text;
}

TEST(ValueEditText, TimeBaseTypingAllowsOnePointAndThreeDecimals) {
  EXPECT_TRUE(AcceptsTimeBaseText("4.005"));
  EXPECT_TRUE(AcceptsTimeBaseText("12345"));
  EXPECT_FALSE(AcceptsTimeBaseText("4.0.5"));
  EXPECT_FALSE(AcceptsTimeBaseText("1.2345"));
  EXPECT_FALSE(AcceptsTimeBaseText("4a"));
  EXPECT_FALSE(AcceptsTimeBaseText("-4"));
}

TEST(ValueEditText, TimeBaseShowsInDoublePrecision) {
  EXPECT_EQ(FormatTimeBase(16777001), "16777.001");
  EXPECT_EQ(FormatTimeBase(4500), "4.500");
  EXPECT_EQ(FormatTimeBase(4), "0.004");
}

TEST(ValueEditText, TimeReadings) {
  const std::vector<std::pair<std::string, std::optional<uint64_t>>> cases = {
      {"1.2.3", 62300},       {"1.2.30", 62300},      {"1.2.003", 62003},     {"12.5", 12500},
      {"750", 750},           {"99.59.999", 5999999}, {"1..5", 60500},        {"1.2.", 62000},
      {".5", std::nullopt},   {"", std::nullopt},     {"1.2.3.4", std::nullopt}, {"1.2.3456", std::nullopt},
      {"0", 0},               {"100.0.0", 6000000},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseTimeText(text), value) << text;
  EXPECT_GT(*ParseTimeText("99999999999999999999999"), 5999999u);  // saturates, never wraps
}

TEST(ValueEditText, TimeTypingAllowsTwoPointsAndThreeFractionDigits) {
  EXPECT_TRUE(AcceptsTimeText("01.02.003"));
  EXPECT_TRUE(AcceptsTimeText("12.5"));
  EXPECT_FALSE(AcceptsTimeText("1.2.3."));
  EXPECT_FALSE(AcceptsTimeText("1.2.3456"));
  EXPECT_FALSE(AcceptsTimeText("12.3456"));
}

TEST(ValueEditText, PlayPositionShowsMinutesSecondsMilliseconds) {
  EXPECT_EQ(FormatPlayPosition(62300), "01 . 02 . 300");
  EXPECT_EQ(FormatPlayPosition(0), "00 . 00 . 000");
  EXPECT_EQ(FormatPlayPosition(5999999), "99 . 59 . 999");
  EXPECT_EQ(FormatPlayPosition(6000000), "00 . 00 . 000");  // minutes mod 100
  EXPECT_EQ(WithoutBlanks("01 . 02 . 003"), "01.02.003");
}

TEST(ValueEditText, ContentCheckTable) {
  struct Case {
    const char* text;
    int lower, upper;
    bool ok;
  };
  const Case cases[] = {
      {"-", -100, 100, true},   {"-5", -100, 100, true},  {"", -100, 100, true},    {"0", -100, 100, true},
      {"100", -100, 100, true}, {"-100", -100, 100, true}, {"5-", -100, 100, false}, {"00", -100, 100, false},
      {"-0", -100, 100, false}, {"101", -100, 100, false}, {"-101", -100, 100, false}, {"5.", -100, 100, false},
      {"-", 0, 127, false},     {"-5", 0, 127, false},    {"127", 0, 127, true},    {"99999999999999", 0, 127, false},
      {"--5", -100, 100, false}, {"05", -100, 100, true},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckValueText(c.text, c.lower, c.upper), c.ok) << c.text << " " << c.lower;
}

TEST(ValueEditText, ReadsLikeTheCLibrary) {
  EXPECT_EQ(ReadValueText(""), 0);
  EXPECT_EQ(ReadValueText("-"), 0);
  EXPECT_EQ(ReadValueText("-12x"), -12);
  EXPECT_EQ(ReadValueText("99999999999"), 2147483647);
  EXPECT_EQ(ReadValueText("-99999999999"), -2147483647 - 1);
}

TEST(ValueEditText, RateClampsOnlyNonEmptyText) {
  EXPECT_EQ(ClampRateText("30"), "50");
  EXPECT_EQ(ClampRateText("250"), "200");
  EXPECT_EQ(ClampRateText("120"), "120");
  EXPECT_EQ(ClampRateText(""), "");
  EXPECT_EQ(ClampRateText("050"), "050");  // within range: as typed
}

}  // namespace
