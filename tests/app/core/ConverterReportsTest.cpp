// Tests of the converter result and note reporters.
#include "app/core/ConverterReports.h"

#include <gtest/gtest.h>

#include "app/CnvParam.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/strings/StringTable.h"

namespace {

std::string TextOf(std::initializer_list<int> ids) {
  std::string text;
  for (int id : ids) text += platform::strings().Find(id).value_or("");
  return text;
}

TEST(ConverterReports, ConvertResultMessages) {
  struct Case {
    const char* name;
    int kind;
    uint32_t result;
    uint32_t flags;
    int id;
  };
  const Case cases[] = {
      {"bit 18 wins", 8, 0x80000000, 0x02040000, 7100},
      {"bit 27", 8, 0x80000000, 0x0A000000, 7099},
      {"bit 25", 8, 0x80000000, 0x02000000, 7098},
      {"no bits", 8, 0x80000000, 0, 7101},
      {"destination", 8, 0x80000001, 0, 7102},
      {"format", 8, 0x80000002, 0, 7103},
      {"parameter", 8, 0x80000004, 0, 7104},
      {"event", 8, 0x80000008, 0, 7105},
      {"temporary buffer", 8, 0x80000010, 0, 7106},
      {"ram", 8, 0x80000020, 0, 7108},
      {"smf type kind 0", 0, 0x80000040, 0, 7109},
      {"smf type kind 4", 4, 0x80000040, 0, 7109},
      {"smf type kind 7", 7, 0x80000040, 0, 7109},
      {"contents type kind 1", 1, 0x80000040, 0, 7110},
      {"contents type kind 5", 5, 0x80000040, 0, 7110},
      {"contents type kind 8", 8, 0x80000040, 0, 7110},
      {"contents type kind 17", 17, 0x80000040, 0, 7110},
      {"contents type kind 18", 18, 0x80000040, 0, 7110},
      {"type for kind 9", 9, 0x80000040, 0, 0},
      {"too short", 8, 0x80000080, 0, 7111},
      {"no chunk", 8, 0x80000100, 0, 7147},
      {"other code", 8, 0x80000003, 0, 0},
      {"success", 8, 1234, 0x02040000, 0},
      {"binder failure", 8, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ConvertResultMessageId(c.kind, c.result, c.flags), c.id);
    platform::FakeHost host;
    host.messages.answers = {1};
    EXPECT_EQ(ReportConvertResult(c.kind, c.result, c.flags), c.id == 0 ? 0 : 1);
    EXPECT_EQ(host.messages.ShownIds(), c.id == 0 ? std::vector<int>{} : std::vector<int>{c.id});
  }
}

TEST(ConverterReports, NoteIdsByKindAndBits) {
  struct Case {
    const char* name;
    int kind;
    uint32_t flags;
    std::vector<int> ids;
  };
  const Case cases[] = {
      {"smf voice and tie", 7, 0x09000000, {7112, 7151}},
      {"smf ignores bits 17, 19, 20, 26 and 28-30", 7, 0x741A0000, {}},
      {"velk chunk and dropped notes", 8, 0x05000000, {7113, 7114}},
      {"trsig 1", 8, 0x10000000, {7121, 7115}},
      {"trsig 2", 17, 0x20000000, {7121, 7116}},
      {"trsig 3", 18, 0x30000000, {7121, 7117}},
      {"trsig 4", 8, 0x40000000, {7121, 7118}},
      {"trsig 5", 8, 0x50000000, {7121, 7119}},
      {"trsig 6 and fs", 8, 0x60020000, {7121, 7120, 7122}},
      {"trsig 7 adds nothing", 8, 0x70000000, {}},
      {"velk order", 8, 0x051A0000 | 0x10000000, {7113, 7114, 7121, 7115, 7122, 7151, 7123}},
      {"kind 20 mono only", 20, 0xFFFFFFFF, {7123}},
      {"kind 20 without the bit", 20, 0x01000000, {}},
      {"other kind", 9, 0xFFFFFFFF, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ConverterNoteIds(c.kind, c.flags), c.ids);
  }
}

TEST(ConverterReports, NotesShowInOneWarningBox) {
  platform::FakeHost host;
  EXPECT_EQ(ReportConverterNotes(8, 0x60020000), 1);
  ASSERT_EQ(host.messages.shown.size(), 1u);
  EXPECT_EQ(host.messages.shown[0].text, TextOf({7121, 7120, 7122}));
  EXPECT_EQ(host.messages.shown[0].style, 48u);
}

TEST(ConverterReports, DroppedNotesAskOkOrCancel) {
  platform::FakeHost host;
  host.messages.answers = {2};
  EXPECT_EQ(ReportConverterNotes(8, 0x04000000), 2);
  ASSERT_EQ(host.messages.shown.size(), 1u);
  EXPECT_EQ(host.messages.shown[0].style, 49u);
}

TEST(ConverterReports, NothingToNoteShowsNothingAndReturnsOne) {
  platform::FakeHost host;
  EXPECT_EQ(ReportConverterNotes(8, 0x70000000), 1);
  EXPECT_EQ(ReportConverterNotes(7, 0x04020000), 1);
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST(ConverterReports, BatchConversionShowsNoBoxAndAnswersOk) {
  platform::FakeHost host;
  host.settings.batchMode = true;
  // Even the box that would ask OK or Cancel takes its default: the image is kept.
  EXPECT_EQ(ReportConverterNotes(8, 0x04000000), 1);
  EXPECT_EQ(ReportConverterNotes(8, 0x01000000), 1);
  EXPECT_TRUE(host.messages.shown.empty());
  EXPECT_EQ(ReportConverterNotes(8, 0), 1);
}

TEST(ConverterReports, ShortNotes) {
  struct Case {
    uint32_t result;
    std::vector<int> ids;
    int returned;
  };
  const Case cases[] = {
      {0x221, {7112, 7122, 7049}, 1}, {0x001, {7112}, 1}, {0x200, {7049}, 1},
      {0x100, {}, 1},                 {0, {}, 1},         {0x80000221, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    EXPECT_EQ(ConverterShortNoteIds(c.result), c.ids);
    platform::FakeHost host;
    EXPECT_EQ(ReportConverterNotesShort(c.result), c.returned);
    ASSERT_EQ(host.messages.shown.size(), c.ids.empty() ? 0u : 1u);
    if (!c.ids.empty()) {
      std::string text;
      for (int id : c.ids) text += TextOf({id});
      EXPECT_EQ(host.messages.shown[0].text, text);
      EXPECT_EQ(host.messages.shown[0].style, 48u);
    }
  }
  platform::FakeHost batch;
  batch.settings.batchMode = true;
  EXPECT_EQ(ReportConverterNotesShort(0x221), 1);
  EXPECT_TRUE(batch.messages.shown.empty());
}

TEST(ConverterReports, MobilePlaybackNotesShowEveryBoxEvenAfterCancel) {
  platform::FakeHost host;
  host.messages.answers = {2, 1, 1};
  EXPECT_EQ(ReportMobilePlaybackNotes(0x1C0), 0);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7124, 7125, 7126}));

  platform::FakeHost ok;
  EXPECT_EQ(ReportMobilePlaybackNotes(0x080), 1);
  EXPECT_EQ(ok.messages.ShownIds(), std::vector<int>{7125});

  platform::FakeHost failed;
  EXPECT_EQ(ReportMobilePlaybackNotes(0x800001C0), 1);
  EXPECT_TRUE(failed.messages.shown.empty());
  EXPECT_EQ(MobilePlaybackNoteIds(0x03F), std::vector<int>{});
}

}  // namespace
