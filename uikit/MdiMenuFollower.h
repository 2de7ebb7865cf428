// Keeps the menu bar following the active MDI child's menu resource.
#pragma once

#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace ui {

class MdiMenuFollower {
 public:
  /// `rebuild` fills the bar from a menu resource's model.
  MdiMenuFollower(QMdiArea* area, std::function<void(int menuResource)> rebuild, int defaultMenu = 1000);

  /// A child with a menu of its own rebuilds the bar from it; a child without keeps the bar;
  /// no child at all brings back the default menu.
  void OnActivated(QMdiSubWindow* window);
  int CurrentMenu() const { return m_current; }

 private:
  std::function<void(int)> m_rebuild;
  int m_defaultMenu;
  int m_current = 0;
};

}  // namespace ui
