#include "uikit/UpDownControl.h"

namespace ui {

void UpDownControl::stepBy(int steps) {
  bool refuse = false;
  if (m_deltaPos) m_deltaPos(value(), steps * singleStep(), refuse);
  if (!refuse) QSpinBox::stepBy(steps);
}

}  // namespace ui
