#include "uikit/CommandRouter.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>

#include "uikit/ActionRegistry.h"

namespace ui {

CommandRouter::CommandRouter(Route route, platform::IClock& clock) : m_route(std::move(route)), m_clock(clock) {}

CommandRouter::~CommandRouter() = default;

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
  if (m_lastIdle && now - *m_lastIdle < kIdleIntervalMs) {
    // Coalesced, never dropped: the put-off pass runs when the interval is over. It leaves the
    // time of the last pass as it was, so the wait that follows it passes at once and an event
    // handled in the same turn is shown too; then the loop stays asleep until something comes.
    if (!m_pending) {
      m_pending = std::make_unique<QTimer>();
      m_pending->setSingleShot(true);
      m_pending->setTimerType(Qt::PreciseTimer);
      QObject::connect(m_pending.get(), &QTimer::timeout, [this] { UpdateIdleActions(); });
    }
    if (!m_pending->isActive()) m_pending->start(static_cast<int>(kIdleIntervalMs - (now - *m_lastIdle)));
    return false;
  }
  if (m_pending) m_pending->stop();
  m_lastIdle = now;
  UpdateIdleActions();
  return true;
}

bool CommandRouter::HasPendingPass() const { return m_pending && m_pending->isActive(); }

void CommandRouter::UpdateIdleActions() {
  if (!m_registry) return;
  QList<QAction*> actions;
  for (int id : m_idleIds) {
    if (QAction* action = m_registry->Find(id)) actions.append(action);
  }
  UpdateActions(actions);
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
