// Tests of the INI text model shared by the profile store and the ini reader.
#include "platform/settings/IniDocument.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(IniDocument, SerializedTextParsesBackToTheSameValues) {
  IniDocument doc;
  doc.Set("WindowPosition\\CMainFrame", "left", "10");
  doc.Set("Setting", "OutputType", "1");
  doc.Set("WindowPosition\\CMainFrame", "top", "-20");
  IniDocument::Parsed parsed = IniDocument::Parse(doc.Serialize());
  EXPECT_EQ(parsed.faults, 0);
  EXPECT_EQ(parsed.document.Serialize(), doc.Serialize());
  ASSERT_NE(parsed.document.Find("windowposition\\cmainframe", "TOP"), nullptr);
  EXPECT_EQ(*parsed.document.Find("windowposition\\cmainframe", "TOP"), "-20");
}

TEST(IniDocument, CountsLinesThatAreNotKeysOrSections) {
  IniDocument::Parsed parsed = IniDocument::Parse("x=1\n[A]\nno equals\n=empty key\n[B\nk=v\n[C]\nk=v\n");
  EXPECT_EQ(parsed.faults, 5);
  EXPECT_EQ(parsed.document.Find("B", "k"), nullptr);
  ASSERT_NE(parsed.document.Find("C", "k"), nullptr);
}

}  // namespace
}  // namespace platform
