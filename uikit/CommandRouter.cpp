#include "uikit/CommandRouter.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "uikit/ActionRegistry.h"

namespace ui {

CommandRouter::CommandRouter(Route route, platform::IClock& clock) : m_route(std::move(route)), m_clock(clock) {}

bool CommandRouter::Dispatch(int id) {
  bool taken = false;
  for (ICommandTarget* target : m_route()) {
    if (target && target->OnCommand(id)) {
      taken = true;
      break;
    }
  }
  UpdateAll();
  return taken;
}

CmdUI CommandRouter::Update(int id) const {
  const std::vector<ICommandTarget*> route = m_route();
  for (ICommandTarget* target : route) {
    CmdUI state;
    if (target && target->OnUpdate(id, state)) return state;
  }
  CmdUI state;
  state.enabled = false;
  for (ICommandTarget* target : route) {
    if (target && target->HandlesCommand(id)) state.enabled = true;
  }
  return state;
}

void CommandRouter::UpdateActions(const QList<QAction*>& actions) const {
  for (QAction* action : actions) {
    bool ok = false;
    const int id = action->data().toInt(&ok);
    if (!ok || action->isSeparator() || action->menu()) continue;
    const CmdUI state = Update(id);
    action->setEnabled(state.enabled);
    if (state.checked) {
      action->setCheckable(true);
      action->setChecked(*state.checked);
    }
    if (state.text) action->setText(*state.text);
  }
}

void CommandRouter::UpdateAll() const {
  if (!m_registry) return;
  QList<QAction*> actions;
  for (const auto& [id, action] : m_registry->Actions()) actions.append(action);
  UpdateActions(actions);
}

bool CommandRouter::IdlePass() {
  const uint32_t now = m_clock.NowMs();
  if (m_lastIdle && now - *m_lastIdle < kIdleIntervalMs) return false;
  m_lastIdle = now;
  if (!m_registry) return true;
  QList<QAction*> actions;
  for (int id : m_idleIds) {
    if (QAction* action = m_registry->Find(id)) actions.append(action);
  }
  UpdateActions(actions);
  return true;
}

void CommandRouter::InstallIdleHook() {
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher, [this] { IdlePass(); });
  }
}

void CommandRouter::ConnectMenu(QMenu* menu) const {
  QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] { UpdateActions(menu->actions()); });
}

}  // namespace ui
