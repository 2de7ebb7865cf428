// Builds Qt menus from the menu model, one shared action per command id.
#pragma once

#include "app/core/MenuModel.h"

class QMenu;
class QMenuBar;

namespace ui {

class ActionRegistry;
class CommandRouter;

class MenuBuilder {
 public:
  MenuBuilder(ActionRegistry& actions, const CommandRouter* router = nullptr) : m_actions(actions), m_router(router) {}

  /// Empties the bar and fills it from the model. Every separator of the model is added; Qt
  /// hides leading and doubled ones.
  void Build(QMenuBar* bar, const MenuModel& model) const;
  /// Fills a popup (a context menu) from items.
  void Fill(QMenu* menu, const std::vector<MenuItem>& items) const;

 private:
  ActionRegistry& m_actions;
  const CommandRouter* m_router;
};

}  // namespace ui
