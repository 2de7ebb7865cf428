// Command routing and the update passes that enable, check and label the command actions.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/sys/Clock.h"

class QAction;
class QMenu;
class QTimer;

namespace ui {

class ActionRegistry;

/// What an update handler says of one command: enabled unless it says otherwise.
struct CmdUI {
  bool enabled = true;
  std::optional<bool> checked;
  std::optional<QString> text;
};

/// A pane, frame or application object on the route of commands.
class ICommandTarget {
 public:
  virtual ~ICommandTarget() = default;
  /// Runs the command; false when this target does not take it, which passes it on.
  virtual bool OnCommand(int id) = 0;
  /// Fills the command's state; false declines, which passes the update on.
  virtual bool OnUpdate(int /*id*/, CmdUI& /*ui*/) { return false; }
  /// True when OnCommand would take the id; an id nobody takes is disabled.
  virtual bool HandlesCommand(int id) const = 0;
};

class CommandRouter {
 public:
  /// The targets in route order: the focused pane, the active child frame, its pane, the main
  /// frame, the application. Null entries are skipped.
  using Route = std::function<std::vector<ICommandTarget*>()>;

  static constexpr uint32_t kIdleIntervalMs = 150;

  explicit CommandRouter(Route route, platform::IClock& clock = platform::clock());
  ~CommandRouter();
  CommandRouter(const CommandRouter&) = delete;
  CommandRouter& operator=(const CommandRouter&) = delete;

  void SetRegistry(ActionRegistry* registry) { m_registry = registry; }
  /// Offers the command along the route; the first taker ends it. Then every action is updated.
  /// Code that dispatches an id itself is not checked against the action's state.
  bool Dispatch(int id);
  /// The command's state: the first update handler that answers, else enabled only when some
  /// target takes the command.
  CmdUI Update(int id) const;
  /// Applies the state of each action (its data is the command id).
  void UpdateActions(const QList<QAction*>& actions) const;
  void UpdateAll() const;

  /// Updates the ids of toolbars and dialog bars, at most every 150 ms; true when it ran. A
  /// pass that comes sooner is put off, not dropped: it runs once the 150 ms are over, so the
  /// last change of state is always shown.
  bool IdlePass();
  /// Whether a put-off pass waits for its time.
  bool HasPendingPass() const;
  void TrackOnIdle(int id) { m_idleIds.insert(id); }
  /// Runs the idle pass whenever the event loop is about to wait.
  void InstallIdleHook();
  /// Updates the menu's actions as it is about to show.
  void ConnectMenu(QMenu* menu) const;

 private:
  Route m_route;
  platform::IClock& m_clock;
  ActionRegistry* m_registry = nullptr;
  void UpdateIdleActions();

  std::set<int> m_idleIds;
  std::optional<uint32_t> m_lastIdle;
  /// Fires the pass that was put off; made when first needed.
  std::unique_ptr<QTimer> m_pending;
};

}  // namespace ui
