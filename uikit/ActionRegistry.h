// One QAction per command id, shared by every menu, toolbar and shortcut that fires it.
#pragma once

#include <QKeySequence>
#include <functional>
#include <map>
#include <span>

class QAction;
class QObject;

namespace ui {

struct Accelerator {
  int id;
  QKeyCombination keys;
};

/// The main frame's accelerator table (resource 1000); it also serves the song windows.
std::span<const Accelerator> MainAccelerators();

class ActionRegistry {
 public:
  /// `owner` parents the actions; `trigger` runs when an action fires (the router's dispatch).
  ActionRegistry(QObject* owner, std::function<void(int)> trigger,
                 std::span<const Accelerator> accelerators = MainAccelerators());

  /// The command's action, made on first use: status tip and tool tip from the command's
  /// string ("prompt\ntip"), the shortcut from the accelerator table.
  QAction* Action(int id);
  /// The action when it exists, else null.
  QAction* Find(int id) const;
  const std::map<int, QAction*>& Actions() const { return m_actions; }

 private:
  QObject* m_owner;
  std::function<void(int)> m_trigger;
  std::span<const Accelerator> m_accelerators;
  std::map<int, QAction*> m_actions;
};

}  // namespace ui
