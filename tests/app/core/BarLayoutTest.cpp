// The saved layout of the main window's bars as text.
#include "app/core/BarLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(BarLayout, PlacesComeBackAsTheyWereWritten) {
  const std::vector<BarPlace> places = {{59392, BarPlace::kTop, 0, true},
                                        {2554, BarPlace::kTop, 1, false},
                                        {2529, BarPlace::kTop, 1, true},
                                        {2006, BarPlace::kBottom, 0, true}};
  const std::string text = FormatBarLayout(places);
  EXPECT_EQ(text, "59392:T:0:1;2554:T:1:0;2529:T:1:1;2006:B:0:1");
  const auto back = ParseBarLayout(text);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, places);
}

TEST(BarLayout, AnythingElseLeavesTheDefaultLayout) {
  const char* const refused[] = {"", "not a state at all", "AAAA/wAAAAD9AAAAAAAABk0AAAHe",  // an older form
                                 "2006:X:0:1", "2006:T:-1:1", "2006:T:0:2", "2006:T:0",
                                 "2006:TT:0:1", "x:T:0:1", "2006:T:0:1:5"};
  for (const char* text : refused) EXPECT_FALSE(ParseBarLayout(text).has_value()) << text;
}

}  // namespace
