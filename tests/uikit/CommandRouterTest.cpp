// Tests of command routing, the update passes and the actions they drive.
#include "uikit/CommandRouter.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <map>
#include <set>

#include "uikit/ActionRegistry.h"

namespace {

class FakeTarget : public ui::ICommandTarget {
 public:
  explicit FakeTarget(std::string name) : m_name(std::move(name)) {}
  std::set<int> takes;
  std::map<int, ui::CmdUI> updates;  // ids whose update this target answers
  std::vector<std::string>* log = nullptr;

  bool OnCommand(int id) override {
    if (!takes.count(id)) return false;
    if (log) log->push_back(m_name + ":" + std::to_string(id));
    return true;
  }
  bool OnUpdate(int id, ui::CmdUI& state) override {
    auto it = updates.find(id);
    if (it == updates.end()) return false;
    state = it->second;
    return true;
  }
  bool HandlesCommand(int id) const override { return takes.count(id) != 0; }

 private:
  std::string m_name;
};

struct RouterFixture : ::testing::Test {
  FakeTarget pane{"pane"}, child{"child"}, frame{"frame"}, app{"app"};
  std::vector<std::string> log;
  platform::ManualClock clock;
  QObject owner;
  ui::CommandRouter router{[this] { return std::vector<ui::ICommandTarget*>{&pane, &child, nullptr, &frame, &app}; },
                           clock};
  ui::ActionRegistry actions{&owner, [this](int id) { router.Dispatch(id); }};

  RouterFixture() {
    for (FakeTarget* t : {&pane, &child, &frame, &app}) t->log = &log;
    router.SetRegistry(&actions);
  }
};

TEST_F(RouterFixture, FirstTakerOnTheRouteWins) {
  child.takes = {100};
  frame.takes = {100, 200};
  app.takes = {200, 300};
  EXPECT_TRUE(router.Dispatch(100));
  EXPECT_TRUE(router.Dispatch(200));
  EXPECT_TRUE(router.Dispatch(300));
  EXPECT_FALSE(router.Dispatch(400));
  EXPECT_EQ(log, (std::vector<std::string>{"child:100", "frame:200", "app:300"}));
}

TEST_F(RouterFixture, DecliningUpdatePassesOnToTheNextTarget) {
  ui::CmdUI checked;
  checked.checked = true;
  checked.enabled = false;
  frame.updates[100] = checked;
  pane.takes = {100};  // takes the command but has no update handler: declines
  const ui::CmdUI state = router.Update(100);
  EXPECT_FALSE(state.enabled);
  EXPECT_EQ(state.checked, std::optional<bool>(true));
}

TEST_F(RouterFixture, IdNobodyTakesIsDisabledAndOneWithoutUpdateHandlerStaysEnabled) {
  app.takes = {32784};
  EXPECT_TRUE(router.Update(32784).enabled);
  EXPECT_FALSE(router.Update(32785).enabled);
}

TEST_F(RouterFixture, DisabledActionsButtonAndShortcutDoNothingWhileCodeDispatchRuns) {
  QWidget window;
  QAction* action = actions.Action(57600);  // Ctrl+N
  ASSERT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
  window.addAction(action);
  auto* button = new QToolButton(&window);
  button->setDefaultAction(action);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();

  router.UpdateAll();  // nobody takes 57600 yet
  ASSERT_FALSE(action->isEnabled());
  app.takes = {57600};  // a taker appears, but the action stays as the last pass left it
  QTest::mouseClick(button, Qt::LeftButton);
  QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(log.empty());

  EXPECT_TRUE(router.Dispatch(57600));
  EXPECT_EQ(log, (std::vector<std::string>{"app:57600"}));
  // The dispatch ran an update pass, which enabled the action: now the button fires.
  EXPECT_TRUE(action->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(RouterFixture, IdlePassRunsAtMostEvery150Ms) {
  QAction* action = actions.Action(1387);
  router.TrackOnIdle(1387);
  app.takes = {1387};
  clock.Set(1000);
  EXPECT_TRUE(router.IdlePass());
  EXPECT_TRUE(action->isEnabled());
  app.takes.clear();
  clock.Advance(149);
  EXPECT_FALSE(router.IdlePass());
  EXPECT_TRUE(action->isEnabled());
  clock.Advance(1);
  EXPECT_TRUE(router.IdlePass());
  EXPECT_FALSE(action->isEnabled());
}

TEST_F(RouterFixture, StateChangedRightAfterAPassIsShownOnceTheLoopSettles) {
  // The clock stands still: only the put-off pass can show the change.
  QAction* action = actions.Action(1387);
  router.TrackOnIdle(1387);
  app.takes = {1387};
  clock.Set(5000);
  ASSERT_TRUE(router.IdlePass());
  ASSERT_TRUE(action->isEnabled());
  app.takes.clear();  // the song went: Play has nobody to take it
  EXPECT_FALSE(router.IdlePass());
  EXPECT_FALSE(router.IdlePass());  // a second wait in the interval adds no second pass
  EXPECT_TRUE(router.HasPendingPass());
  EXPECT_TRUE(QTest::qWaitFor([action] { return !action->isEnabled(); }, 2000));
  EXPECT_FALSE(router.HasPendingPass());
}

TEST_F(RouterFixture, MenuAboutToShowUpdatesItsActions) {
  QMenu menu;
  router.ConnectMenu(&menu);
  QAction* action = actions.Action(32800);
  menu.addAction(action);
  ui::CmdUI state;
  state.checked = true;
  state.text = QStringLiteral("Voice List");
  frame.updates[32800] = state;
  emit menu.aboutToShow();
  EXPECT_TRUE(action->isChecked());
  EXPECT_EQ(action->text(), QStringLiteral("Voice List"));
}

TEST(ActionRegistry, OneActionPerIdWithTipsFromTheCommandString) {
  QObject owner;
  ui::ActionRegistry actions(&owner, {});
  QAction* a = actions.Action(7091);  // a text with a line break: prompt, then tip
  EXPECT_EQ(actions.Action(7091), a);
  EXPECT_EQ(a->statusTip(), QStringLiteral("Exist editing document."));
  EXPECT_EQ(a->toolTip(), QStringLiteral("- Save the document ?"));
  EXPECT_EQ(a->data().toInt(), 7091);
}

}  // namespace
