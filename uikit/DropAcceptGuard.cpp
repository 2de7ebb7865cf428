#include "uikit/DropAcceptGuard.h"

CDropAcceptGuard::CDropAcceptGuard(QWidget* window) {
  if (!window || !window->acceptDrops()) return;
  window->setAcceptDrops(false);
  m_window = window;
  m_armed = true;
}

CDropAcceptGuard::~CDropAcceptGuard() {
  if (m_armed && m_window) m_window->setAcceptDrops(true);
}
