// The scroll codes of vertical and horizontal scroll messages, and where Qt's bar actions map.
#pragma once

#include <QAbstractSlider>

namespace scroll {

enum Code {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kTop = 6,
  kBottom = 7,
  kEndScroll = 8,
};

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
