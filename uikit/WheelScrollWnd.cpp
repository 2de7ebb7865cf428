#include "uikit/WheelScrollWnd.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include "uikit/ScrollCodes.h"

void CWheelScrollWnd::SetVerticalBar(QScrollBar* bar, bool own) {
  m_bar = bar;
  m_ownBar = own;
  if (!bar) return;
  connect(bar, &QAbstractSlider::actionTriggered, this, [this](int action) {
    ScrollVert(scroll::CodeOfAction(action), m_bar->sliderPosition(), BarArgument());
  });
  connect(bar, &QAbstractSlider::sliderReleased, this, [this] {
    ScrollVert(scroll::kThumbPosition, m_bar->sliderPosition(), BarArgument());
    ScrollVert(scroll::kEndScroll, m_bar->sliderPosition(), BarArgument());
  });
}

void CWheelScrollWnd::wheelEvent(QWheelEvent* event) {
  const int lines = QApplication::wheelScrollLines();
  const int position = m_bar ? m_bar->value() : 0;
  const int delta = event->angleDelta().y();
  ScrollVert(scroll::kThumbTrack, delta <= 0 ? position + lines : position - lines, BarArgument());
  // The pane has scrolled: the turn does not go on to the parent as well.
  event->accept();
}
