// The narrow code page over iconv: lead bytes, conversions, the environment switch.
#include "platform/text/CodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

/// Sets TRILLOT_ANSI_CODEPAGE for one test and restores what was there.
class ScopedCodePageEnv {
 public:
  explicit ScopedCodePageEnv(const char* name) {
    const char* old = std::getenv("TRILLOT_ANSI_CODEPAGE");
    if (old) m_old = old;
    m_had = old != nullptr;
    if (name)
      setenv("TRILLOT_ANSI_CODEPAGE", name, 1);
    else
      unsetenv("TRILLOT_ANSI_CODEPAGE");
  }
  ~ScopedCodePageEnv() {
    if (m_had)
      setenv("TRILLOT_ANSI_CODEPAGE", m_old.c_str(), 1);
    else
      unsetenv("TRILLOT_ANSI_CODEPAGE");
  }

 private:
  std::string m_old;
  bool m_had = false;
};

// "日本語" in CP932.
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";

TEST(CodePage, Cp932LeadBytesAreTheDoubleByteStarts) {
  platform::CodePage page("CP932");
  ASSERT_TRUE(page.IsValid());
  for (int b : {0x81, 0x9F, 0xE0, 0xEF}) {
    SCOPED_TRACE(b);
    EXPECT_TRUE(page.IsLeadByte(static_cast<uint8_t>(b)));
  }
  for (int b : {0x00, 0x41, 0x5C, 0x7F, 0xA1, 0xB1, 0xDF}) {
    SCOPED_TRACE(b);
    EXPECT_FALSE(page.IsLeadByte(static_cast<uint8_t>(b)));
  }
}

TEST(CodePage, JapaneseRoundTripsThroughUtf16) {
  platform::CodePage page("CP932");
  std::u16string units;
  ASSERT_TRUE(page.ToUtf16(kNihongo + "A\xB1", units));
  EXPECT_EQ(units, u"日本語Aｱ");
  std::string back;
  ASSERT_TRUE(page.FromUtf16(units, back));
  EXPECT_EQ(back, kNihongo + "A\xB1");
}

TEST(CodePage, TrailingLeadByteIsDroppedAndUnmappableBecomesQuestionMark) {
  platform::CodePage page("CP932");
  std::u16string units;
  ASSERT_TRUE(page.ToUtf16("ab\x93", units));
  EXPECT_EQ(units, u"ab");
  std::string narrow;
  ASSERT_TRUE(page.FromUtf16(u"a\u0900b", narrow));  // Devanagari has no CP932 form
  EXPECT_EQ(narrow, "a?b");
  ASSERT_TRUE(page.FromUtf16(std::u16string(u"x") + char16_t(0xD800) + u"y", narrow));
  EXPECT_EQ(narrow, "x?y");
}

TEST(CodePage, UnknownNameFailsEveryConversion) {
  platform::CodePage page("NO-SUCH-CODEPAGE");
  EXPECT_FALSE(page.IsValid());
  std::u16string units = u"keep";
  EXPECT_FALSE(page.ToUtf16("abc", units));
  EXPECT_TRUE(units.empty());
  std::string narrow = "keep";
  EXPECT_FALSE(page.FromUtf16(u"abc", narrow));
  EXPECT_TRUE(narrow.empty());
}

TEST(CodePage, CharBoundaryNeverSplitsADoubleByteCharacter) {
  platform::CodePage page("CP932");
  EXPECT_EQ(page.CharBoundary(kNihongo, 6), 6u);
  EXPECT_EQ(page.CharBoundary(kNihongo, 5), 4u);
  EXPECT_EQ(page.CharBoundary("a" + kNihongo, 2), 1u);
  EXPECT_EQ(page.CharBoundary("abc", 10), 3u);
}

TEST(CodePage, AnsiFollowsTheEnvironment) {
  {
    ScopedCodePageEnv env(nullptr);
    EXPECT_EQ(platform::CodePage::Ansi()->Name(), "CP932");
  }
  ScopedCodePageEnv env("CP936");
  auto page = platform::CodePage::Ansi();
  EXPECT_EQ(page->Name(), "CP936");
  std::u16string units;
  ASSERT_TRUE(page->ToUtf16("\xD6\xD0", units));
  EXPECT_EQ(units, u"中");
}

}  // namespace
