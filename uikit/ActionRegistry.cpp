#include "uikit/ActionRegistry.h"

#include <QAction>

#include "uikit/UiText.h"

namespace ui {

std::span<const Accelerator> MainAccelerators() {
  static const Accelerator table[] = {
      {57600, Qt::CTRL | Qt::Key_N}, {57601, Qt::CTRL | Qt::Key_O}, {32772, Qt::CTRL | Qt::Key_L},
      {32775, Qt::CTRL | Qt::Key_R}, {57603, Qt::CTRL | Qt::Key_S}, {57643, Qt::CTRL | Qt::Key_Z},
      {57644, Qt::CTRL | Qt::Key_Y}, {57634, Qt::CTRL | Qt::Key_C}, {57637, Qt::CTRL | Qt::Key_V},
  };
  return table;
}

ActionRegistry::ActionRegistry(QObject* owner, std::function<void(int)> trigger,
                               std::span<const Accelerator> accelerators)
    : m_owner(owner), m_trigger(std::move(trigger)), m_accelerators(accelerators) {}

QAction* ActionRegistry::Find(int id) const {
  auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

QAction* ActionRegistry::Action(int id) {
  if (QAction* existing = Find(id)) return existing;
  auto* action = new QAction(m_owner);
  const QString prompt = T(id);
  const qsizetype cut = prompt.indexOf('\n');
  const QString status = cut < 0 ? prompt : prompt.left(cut);
  const QString tip = cut < 0 ? prompt : prompt.mid(cut + 1);
  action->setStatusTip(status);
  action->setToolTip(tip);
  action->setText(tip.isEmpty() ? QString::number(id) : tip);
  action->setData(id);
  for (const Accelerator& a : m_accelerators) {
    if (a.id == id) action->setShortcut(QKeySequence(a.keys));
  }
  // A disabled QAction neither triggers from its button nor from its shortcut.
  QObject::connect(action, &QAction::triggered, action, [this, id] {
    if (m_trigger) m_trigger(id);
  });
  m_actions.emplace(id, action);
  return action;
}

}  // namespace ui
