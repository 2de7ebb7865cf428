// Where Qt's bar actions map among the scroll codes.
#pragma once

#include <QAbstractSlider>
#include <QKeyEvent>

#include "uikit/ScrollSteps.h"

namespace scroll {

/// The code of a QAbstractSlider action (QAbstractSlider::SliderAction); kEndScroll for none.
inline int CodeOfAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return kLineUp;
    case QAbstractSlider::SliderSingleStepAdd: return kLineDown;
    case QAbstractSlider::SliderPageStepSub: return kPageUp;
    case QAbstractSlider::SliderPageStepAdd: return kPageDown;
    case QAbstractSlider::SliderToMinimum: return kTop;
    case QAbstractSlider::SliderToMaximum: return kBottom;
    case QAbstractSlider::SliderMove: return kThumbTrack;
    default: return kEndScroll;
  }
}

/// The map panes' keys: Page Up/Down, Ctrl+Home/End and the up and down arrows scroll
/// vertically, Home/End and the left and right arrows horizontally. `vert` and `horz` take a
/// scroll code; false for any other key.
template <typename Vert, typename Horz>
bool ScrollByKey(const QKeyEvent& event, Vert vert, Horz horz) {
  const bool ctrl = event.modifiers() & Qt::ControlModifier;
  switch (event.key()) {
    case Qt::Key_PageUp: vert(kPageUp); return true;
    case Qt::Key_PageDown: vert(kPageDown); return true;
    case Qt::Key_Home: ctrl ? vert(kTop) : horz(kTop); return true;
    case Qt::Key_End: ctrl ? vert(kBottom) : horz(kBottom); return true;
    case Qt::Key_Left: horz(kLineUp); return true;
    case Qt::Key_Right: horz(kLineDown); return true;
    case Qt::Key_Up: vert(kLineUp); return true;
    case Qt::Key_Down: vert(kLineDown); return true;
    default: return false;
  }
}

}  // namespace scroll
