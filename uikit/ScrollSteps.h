// The scroll codes of scroll messages and the bar-unit step rule; no Qt, so geometry can use them.
#pragma once

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

/// The bar-unit position after a horizontal scroll code over 0..last: a line is one unit, a
/// page five; the thumb codes take the thumb's position.
inline int StepBarUnits(int pos, int code, int thumb, int last) {
  switch (code) {
    case kLineUp: return pos > 0 ? pos - 1 : 0;
    case kLineDown: return pos < last ? pos + 1 : pos;
    case kPageUp: return pos <= 4 ? 0 : pos - 5;
    case kPageDown: return pos >= last - 4 ? last : pos + 5;
    case kThumbPosition:
    case kThumbTrack: return thumb;
    case kTop: return 0;
    case kBottom: return last;
    default: return pos;
  }
}

}  // namespace scroll
