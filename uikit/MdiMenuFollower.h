// Keeps the menu bar following the active MDI child's menu resource.
#pragma once

#include <functional>

#include <QMetaObject>

class QMdiArea;
class QMdiSubWindow;

namespace ui {

class MdiMenuFollower {
 public:
  /// `rebuild` fills the bar from a menu resource's model.
  MdiMenuFollower(QMdiArea* area, std::function<void(int menuResource)> rebuild, int defaultMenu = 1000);
  /// The area may outlive the follower and still activate children while it closes them.
  ~MdiMenuFollower();
  MdiMenuFollower(const MdiMenuFollower&) = delete;
  MdiMenuFollower& operator=(const MdiMenuFollower&) = delete;

  /// A child with a menu of its own rebuilds the bar from it; a child without keeps the bar;
  /// no child at all brings back the default menu.
  void OnActivated(QMdiSubWindow* window);
  int CurrentMenu() const { return m_current; }

 private:
  std::function<void(int)> m_rebuild;
  int m_defaultMenu;
  int m_current = 0;
  QMetaObject::Connection m_connection;
};

}  // namespace ui
