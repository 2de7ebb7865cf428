// Where Qt's bar actions map among the scroll codes.
#pragma once

#include <QAbstractSlider>

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

}  // namespace scroll
