// Switches a window's acceptance of dropped files off for as long as the guard lives.
#pragma once

#include <QPointer>
#include <QWidget>

class CDropAcceptGuard {
 public:
  /// Does nothing for no window or one that does not accept drops.
  explicit CDropAcceptGuard(QWidget* window);
  /// Switches dropping on again, unless the window has gone meanwhile.
  ~CDropAcceptGuard();
  CDropAcceptGuard(const CDropAcceptGuard&) = delete;
  CDropAcceptGuard& operator=(const CDropAcceptGuard&) = delete;

  bool IsArmed() const { return m_armed; }

 private:
  bool m_armed = false;
  QPointer<QWidget> m_window;
};
