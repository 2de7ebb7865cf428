// Tests of the note-name text.
#include "app/core/NoteName.h"

#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"

namespace {

TEST(NoteName, NamesAndOctavesByOrigin) {
  struct Case {
    int note;
    int origin;
    const char* text;
  };
  const Case cases[] = {
      {60, 0, "C  3"},  {60, 1, "C  4"},  {0, 0, "C  -2"}, {127, 0, "G  8"}, {61, 0, "C# 3"},
      {71, 0, "B  3"},  {128, 0, ""},     {-1, 0, ""},     {69, 2, "A  5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    EXPECT_EQ(GetNoteName(c.note, c.origin), c.text);
  }
}

TEST(NoteName, UsesTheApplicationsOriginNote) {
  platform::FakeHost host;
  host.settings.originNote = 1;
  EXPECT_EQ(GetNoteName(60), "C  4");
}

}  // namespace
