#include "uikit/MdiFrame.h"

namespace ui {

PlacementRect ToPlacementRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

QRect ToQRect(const PlacementRect& r) { return {r.left, r.top, r.Width(), r.Height()}; }

MdiFrame::MdiFrame(std::string stateName, int menuResource, IFrameSlots* frameSlots, QWidget* parent)
    : QMdiSubWindow(parent), m_stateName(std::move(stateName)), m_menuResource(menuResource), m_slots(frameSlots) {
  setAttribute(Qt::WA_DeleteOnClose);
  if (m_slots) m_slots->SetFrameSlot(m_stateName, this);
}

MdiFrame::~MdiFrame() {
  if (m_slots) m_slots->SetFrameSlot(m_stateName, nullptr);
}

void MdiFrame::CloseWindow() {
  if (m_slots) m_slots->SetFrameSlot(m_stateName, nullptr);
  m_slots = nullptr;
  hide();
  deleteLater();
}

WindowPlacement MdiFrame::Placement() const {
  WindowPlacement p;
  p.showCmd = isMaximized() ? 3 : isMinimized() ? 2 : isHidden() ? kShowHidden : 1;
  p.rcNormalPosition = ToPlacementRect(isMaximized() || isMinimized() ? normalGeometry() : geometry());
  return p;
}

int MdiFrame::SavePlacement() const { return SaveWindowPlacement(m_stateName, Placement()); }

void MdiFrame::RestorePlacement(int defLeft, int defTop, int defRight, int defBottom) {
  const WindowPlacement p = RestoreWindowPlacement(m_stateName, Placement(), ToPlacementRect(geometry()), defLeft,
                                                   defTop, defRight, defBottom);
  setGeometry(ToQRect(p.rcNormalPosition));
}

}  // namespace ui
