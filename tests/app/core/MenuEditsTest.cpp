// Tests of the menu edits for chip mode, output profile and web-page language.
#include "app/core/MenuEdits.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Op = MenuEdit::Op;

bool Has(const std::vector<MenuEdit>& edits, int menu, Op op, int id) {
  return std::any_of(edits.begin(), edits.end(), [&](const MenuEdit& e) { return e.menu == menu && e.op == op && e.id == id; });
}

std::vector<int> RemovedWebItems(const std::vector<MenuEdit>& edits, int menu) {
  std::vector<int> out;
  for (const MenuEdit& e : edits)
    if (e.menu == menu && e.op == Op::Remove && e.id >= 40977 && e.id <= 40992 && e.id != 40976) out.push_back(e.id);
  return out;
}

TEST(MenuEdits, ChipModeThreeProfileTwoInTableOrder) {
  std::vector<MenuEdit> e = BuildMenuEdits(3, 2, 1);
  ASSERT_GE(e.size(), 6u);
  EXPECT_EQ(e[0], (MenuEdit{kMainMenu, Op::Remove, 32773, ""}));
  EXPECT_EQ(e[1], (MenuEdit{kMainMenu, Op::Label, 32782, "Open KZ-3 Voice File (01)..."}));
  EXPECT_EQ(e[2], (MenuEdit{kMainMenu, Op::Label, 32781, "Open KZ-3 Voice File..."}));
  EXPECT_EQ(e[3], (MenuEdit{kMainMenu, Op::Label, 32783, "Save KZ-3 Voice File..."}));
  EXPECT_TRUE(Has(e, kSongMenu, Op::RemoveEditSeparator, 3));
  EXPECT_TRUE(Has(e, kSongMenu, Op::Remove, 57643));
  EXPECT_TRUE(Has(e, kMainMenu, Op::Remove, 57601));
  EXPECT_TRUE(Has(e, kSongMenu, Op::Remove, 32780));
  EXPECT_TRUE(Has(e, kMainMenu, Op::SeparatorBefore, 32782));
  EXPECT_EQ(e.back(), (MenuEdit{kSongMenu, Op::Remove, 40992, ""}));
  // The separator at 3 goes before the one at 0, so the first removal does not move the second.
  auto at3 = std::find(e.begin(), e.end(), MenuEdit{kSongMenu, Op::RemoveEditSeparator, 3, ""});
  auto at0 = std::find(e.begin(), e.end(), MenuEdit{kSongMenu, Op::RemoveEditSeparator, 0, ""});
  EXPECT_LT(at3, at0);
}

TEST(MenuEdits, LanguageKeepsOneWebItemInBothMenus) {
  struct Case {
    int language, kept;
  };
  for (const Case& c : {Case{1, 40979}, Case{2, 40977}, Case{3, 40991}, Case{4, 40992}, Case{0, 40979}}) {
    std::vector<MenuEdit> e = BuildMenuEdits(3, 2, c.language);
    for (int menu : {kMainMenu, kSongMenu}) {
      std::vector<int> removed = RemovedWebItems(e, menu);
      EXPECT_EQ(removed.size(), 3u) << c.language;
      EXPECT_EQ(std::count(removed.begin(), removed.end(), c.kept), 0) << c.language;
    }
  }
}

TEST(MenuEdits, ProfilesChangeTheSongMenu) {
  std::vector<MenuEdit> p1 = BuildMenuEdits(3, 1, 1);
  EXPECT_TRUE(Has(p1, kSongMenu, Op::Remove, 32831));
  EXPECT_FALSE(Has(p1, kSongMenu, Op::Remove, 32796));
  EXPECT_TRUE(Has(p1, kMainMenu, Op::Remove, 57601));

  std::vector<MenuEdit> p4 = BuildMenuEdits(3, 4, 1);
  EXPECT_FALSE(Has(p4, kMainMenu, Op::Remove, 57601));
  EXPECT_TRUE(Has(p4, kSongMenu, Op::Remove, 32830));
  EXPECT_TRUE(Has(p4, kSongMenu, Op::Remove, 40976));
  EXPECT_TRUE(Has(p4, kMainMenu, Op::SeparatorBefore, 32772));

  std::vector<MenuEdit> p6 = BuildMenuEdits(3, 6, 1);
  EXPECT_TRUE(Has(p6, kSongMenu, Op::Remove, 32796));
  EXPECT_TRUE(Has(p6, kSongMenu, Op::Remove, 32797));
  EXPECT_FALSE(Has(p6, kSongMenu, Op::Remove, 40976));
  EXPECT_FALSE(Has(p6, kMainMenu, Op::SeparatorBefore, 32772));

  std::vector<MenuEdit> p2 = BuildMenuEdits(3, 2, 1);
  EXPECT_FALSE(Has(p2, kSongMenu, Op::Remove, 32831));
}

TEST(MenuEdits, ChipModesOneAndTwoLabelTheirGeneration) {
  std::vector<MenuEdit> m1 = BuildMenuEdits(1, 2, 1);
  EXPECT_TRUE(Has(m1, kMainMenu, Op::Remove, 32832));
  EXPECT_EQ(m1[7], (MenuEdit{kMainMenu, Op::Label, 32781, "Open KZ-1 Voice File..."}));
  EXPECT_TRUE(RemovedWebItems(m1, kMainMenu).empty());
  std::vector<MenuEdit> m2 = BuildMenuEdits(2, 2, 1);
  EXPECT_TRUE(Has(m2, kSongMenu, Op::Remove, 32779));
  EXPECT_TRUE(std::any_of(m2.begin(), m2.end(), [](const MenuEdit& e) { return e.text == "Save KZ-2 Voice File..."; }));
}

}  // namespace
