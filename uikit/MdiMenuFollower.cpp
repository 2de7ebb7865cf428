#include "uikit/MdiMenuFollower.h"

#include <QMdiArea>

#include "uikit/MdiFrame.h"

namespace ui {

MdiMenuFollower::MdiMenuFollower(QMdiArea* area, std::function<void(int)> rebuild, int defaultMenu)
    : m_rebuild(std::move(rebuild)), m_defaultMenu(defaultMenu), m_current(defaultMenu) {
  m_connection = QObject::connect(area, &QMdiArea::subWindowActivated, area,
                                  [this](QMdiSubWindow* w) { OnActivated(w); });
}

MdiMenuFollower::~MdiMenuFollower() { QObject::disconnect(m_connection); }

void MdiMenuFollower::OnActivated(QMdiSubWindow* window) {
  int wanted = m_defaultMenu;
  if (window) {
    auto* frame = dynamic_cast<MdiFrame*>(window);
    if (!frame || frame->menuResource() == 0) return;
    wanted = frame->menuResource();
  }
  if (wanted == m_current) return;
  m_current = wanted;
  m_rebuild(wanted);
}

}  // namespace ui
