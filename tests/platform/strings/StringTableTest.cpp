// Tests of the compiled English and Chinese string tables.
#include "platform/strings/StringTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/text/Format.h"

namespace platform {
namespace {

const StringTable& Chinese() { return StringTable::ForLanguage("zh_CN"); }

TEST(StringTable, BothLanguagesHaveTheSameEntries) {
  ASSERT_EQ(Chinese().Language(), "zh_CN");
  EXPECT_EQ(StringTable::English().Ids(), Chinese().Ids());
  EXPECT_EQ(StringTable::English().Keys(), Chinese().Keys());
}

TEST(StringTable, EveryMessageAndLogTitleHasATextInBothLanguages) {
  for (const StringTable* table : {&StringTable::English(), &Chinese()}) {
    for (int id = 7001; id <= 7172; ++id) EXPECT_TRUE(table->Find(id)) << table->Language() << " " << id;
    for (int id = 7500; id <= 7528; ++id) EXPECT_TRUE(table->Find(id)) << table->Language() << " " << id;
  }
}

TEST(StringTable, PlaceholdersMatchInOrderForEveryEntry) {
  for (int id : StringTable::English().Ids()) {
    SCOPED_TRACE(id);
    std::string_view en = *StringTable::English().Find(id);
    std::optional<std::string_view> zh = Chinese().Find(id);
    ASSERT_TRUE(zh);
    EXPECT_EQ(PrintfConversions(en), PrintfConversions(*zh));
    // Texts that the converter reports join must keep their closing line break.
    EXPECT_EQ(en.ends_with('\n'), zh->ends_with('\n'));
  }
}

TEST(StringTable, EnglishTextsAreTheProgramsOwnVerbatim) {
  struct Case {
    int id;
    const char* text;
  };
  const Case cases[] = {
      {7077, "Can not open application.\n- Application is already running."},
      {7080, "Automatically operated.\n- System has been changed to use COM%d"},
      {7091, "Exist editing document.\n- Save the document ?"},
      {7006, "Can not get convert report.\n- DLL: Unexpected problem is occured."},
      {7071, "Confirm operation.\n- Send Bank Voice Message ? (total 128 voice)\n  Bank MSB/LSB: %u / %u"},
      {7076, "Prease enter an integer so that \"To\" item value bigger than \"From\" item value."},
      {7114, "Automatically operated.\n- DLL: Note Message( Note Number is 115 to 127) not be outputted.\n"},
      {7143, "Can not close Voice Edit.\n- Please load wave file or check 'RM'."},
      {7167, "Bank MSB/LSB: %u / %u  Pch: %u  Note: %u\n"},
      {7504, "Save to VELK"},
      {7527, "FM Voice Edit : WS%d Load"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(StringTable::English().Find(c.id), std::optional<std::string_view>(c.text));
  }
}

TEST(StringTable, WebLanguageCodeDiffersByLanguage) {
  EXPECT_EQ(StringTable::English().Find(6500), std::optional<std::string_view>("US"));
  EXPECT_EQ(Chinese().Find(6500), std::optional<std::string_view>("CN"));
}

TEST(StringTable, UnknownEntriesGiveNothing) {
  EXPECT_FALSE(StringTable::English().Find(7173));
  EXPECT_FALSE(StringTable::English().Find(0));
  EXPECT_FALSE(StringTable::English().Find(-1));
  EXPECT_FALSE(StringTable::English().Find("no.such.key"));
}

TEST(StringTable, UnknownLanguageFallsBackToEnglish) {
  EXPECT_EQ(StringTable::ForLanguage("ko").Language(), "en");
}

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value) ::setenv(name, value, 1); else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (m_old) ::setenv(m_name, m_old->c_str(), 1); else ::unsetenv(m_name);
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(StringTable, UiLanguageFollowsTheEnvironment) {
  struct Case {
    const char* trillotLang;
    const char* lcAll;
    const char* lang;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, "zh_CN.UTF-8", "zh_CN"},
      {nullptr, nullptr, "de_DE.UTF-8", "en"},
      {nullptr, "zh_TW", "en_US", "zh_CN"},
      {nullptr, "C", "zh_CN", "en"},
      {"zh_CN", "en_US", "en_US", "zh_CN"},
      {"en", nullptr, "zh_CN", "en"},
      {nullptr, nullptr, nullptr, "en"},
  };
  ScopedEnv messages("LC_MESSAGES", nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.expected) + " from " + (c.lang ? c.lang : "-"));
    ScopedEnv a("TRILLOT_LANG", c.trillotLang);
    ScopedEnv b("LC_ALL", c.lcAll);
    ScopedEnv d("LANG", c.lang);
    EXPECT_EQ(UiLanguage(), c.expected);
  }
}

}  // namespace
}  // namespace platform
