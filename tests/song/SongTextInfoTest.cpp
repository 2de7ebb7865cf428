// The song text record from "QXln" text events and the field copy.
#include "song/SongTextInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Exact(const std::string& s) { return {s.begin(), s.end()}; }

CSongTextInfo FromText(const std::string& s) {
  std::vector<uint8_t> bytes = Exact(s);  // exactly sized: the sanitizer sees any over-read
  return CSongTextInfo(bytes.data(), bytes.size());
}

TEST(SongTextInfo, ResetGivesJapaneseAndEmptyTexts) {
  CSongTextInfo info;
  EXPECT_EQ(info.GetLangByte(0), 'J');
  EXPECT_EQ(info.GetLangByte(1), 'P');
  for (int k = 1; k <= 6; ++k) EXPECT_STREQ(info.GetText(k), "");
  EXPECT_EQ(info.GetText(7), nullptr);
}

TEST(SongTextInfo, LanguageCodeAndFields) {
  CSongTextInfo withCode = FromText("QXln:JP:Title:Words:Music:Arr:Artist:Extra");
  EXPECT_EQ(withCode.GetLangByte(0), 'J');
  EXPECT_EQ(withCode.GetLangByte(1), 'P');
  EXPECT_STREQ(withCode.GetText1(), "Title");
  EXPECT_STREQ(withCode.GetText5(), "Artist");
  EXPECT_STREQ(withCode.GetText6(), "Extra");

  CSongTextInfo without = FromText("QXln::Title:Words");
  EXPECT_EQ(without.GetLangByte(0), 0);
  EXPECT_EQ(without.GetLangByte(1), 0);
  EXPECT_STREQ(without.GetText1(), "Title");
  EXPECT_STREQ(without.GetText2(), "Words");
  EXPECT_STREQ(without.GetText3(), "");
}

TEST(SongTextInfo, ShortTextsHaveNoLanguageAndNoOverRead) {
  for (const char* text : {"QXln", "QXln:", "QXln:J", "QXln:JP", "QXln:JPx"}) {
    SCOPED_TRACE(text);
    CSongTextInfo info = FromText(text);
    EXPECT_EQ(info.GetLangByte(0), 0);
    EXPECT_STREQ(info.GetText1(), std::string(text).size() > 6 ? std::string(text).substr(6).c_str() : "");
  }
}

TEST(SongTextInfo, FieldsAreCutTo255) {
  CSongTextInfo info = FromText("QXln::" + std::string(300, 'x') + ":b");
  EXPECT_EQ(std::string(info.GetText1()), std::string(255, 'x'));
  EXPECT_STREQ(info.GetText2(), "b");
  info.SetText(3, std::string(400, 'y'));
  EXPECT_EQ(std::string(info.GetText3()).size(), 255u);
}

TEST(SongTextInfo, OtherTextsThrow999) {
  for (const char* text : {"QXlm::a", "QX", ""}) {
    SCOPED_TRACE(text);
    try {
      FromText(text);
      FAIL() << "expected 999";
    } catch (int e) {
      EXPECT_EQ(e, 999);
    }
  }
  EXPECT_TRUE(IsQXlnText(reinterpret_cast<const uint8_t*>("QXln"), 4));
  EXPECT_FALSE(IsQXlnText(reinterpret_cast<const uint8_t*>("QXln"), 3));
}

TEST(SongTextInfo, CopyTextFieldTakesTheFieldAndItsSeparator) {
  char dst[8] = "zzzzzzz";
  EXPECT_EQ(CopyTextField(reinterpret_cast<const uint8_t*>("abc:def"), 7, dst, sizeof dst), 4u);
  EXPECT_STREQ(dst, "abc");
  EXPECT_EQ(CopyTextField(reinterpret_cast<const uint8_t*>("abcdefghij"), 10, dst, 4), 11u);
  EXPECT_STREQ(dst, "abc");
  EXPECT_EQ(CopyTextField(reinterpret_cast<const uint8_t*>("x"), 0, dst, sizeof dst), 0u);
}

}  // namespace
