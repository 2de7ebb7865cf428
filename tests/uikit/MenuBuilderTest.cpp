// Tests of menus built from the menu model.
#include "uikit/MenuBuilder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "uikit/ActionRegistry.h"

namespace {

MenuModel Sample() {
  return {1000,
          {MenuItem::Popup("&File", {MenuItem::Separator(), MenuItem::Command(57600, "&New\tCtrl+N"),
                                     MenuItem::Separator(), MenuItem::Separator(),
                                     MenuItem::Command(57601, "&Open...\tCtrl+O")}),
           MenuItem::Popup("&Edit", {MenuItem::Command(57643, "&Undo\tCtrl+Z"),
                                     MenuItem::Popup("&More", {MenuItem::Command(57600, "&New")})})}};
}

TEST(MenuBuilder, KeepsEverySeparatorAndSharesOneActionPerId) {
  QObject owner;
  ui::ActionRegistry actions(&owner, {});
  QMenuBar bar;
  ui::MenuBuilder(actions).Build(&bar, Sample());
  ASSERT_EQ(bar.actions().size(), 2);
  QMenu* file = bar.actions()[0]->menu();
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->separatorsCollapsible());
  EXPECT_EQ(file->actions().size(), 5);
  EXPECT_TRUE(file->actions()[0]->isSeparator());
  EXPECT_EQ(file->actions()[1], actions.Find(57600));
  EXPECT_EQ(file->actions()[1]->text(), QStringLiteral("&New"));
  QMenu* more = bar.actions()[1]->menu()->actions()[1]->menu();
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(more->actions()[0], actions.Find(57600));
  EXPECT_EQ(actions.Actions().size(), 3u);
}

TEST(MenuBuilder, RebuildingReplacesTheBar) {
  QObject owner;
  ui::ActionRegistry actions(&owner, {});
  QMenuBar bar;
  ui::MenuBuilder builder(actions);
  builder.Build(&bar, Sample());
  builder.Build(&bar, {1002, {MenuItem::Popup("&Song", {MenuItem::Command(1387, "&Play")})}});
  ASSERT_EQ(bar.actions().size(), 1);
  EXPECT_EQ(bar.actions()[0]->text(), QStringLiteral("&Song"));
}

TEST(MenuModel, FindsCommandsAnywhereInTheTree) {
  const MenuModel model = Sample();
  EXPECT_NE(model.FindCommand(57643), nullptr);
  EXPECT_EQ(model.FindCommand(1), nullptr);
  EXPECT_EQ(model.CommandIds(), (std::vector<int>{57600, 57601, 57643, 57600}));
}

}  // namespace
