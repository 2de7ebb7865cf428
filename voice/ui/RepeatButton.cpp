#include "voice/ui/RepeatButton.h"

#include <QKeyEvent>
#include <QMouseEvent>

CRepeatButton::CRepeatButton(int id, const QString& caption, QWidget* parent) : QPushButton(caption, parent), m_id(id) {
  setAutoDefault(false);
  m_timer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, [this] { OnRepeatTimer(); });
}

int CRepeatButton::SetRepeat(int accelerate, int intervalMs) {
  m_accelerate = accelerate;
  m_interval = intervalMs;
  return 1;
}

void CRepeatButton::Step() {
  if (m_step) m_step(m_id);
}

void CRepeatButton::OnRepeatTimer() {
  if (!isDown()) {
    StopRepeat();
    return;
  }
  Step();
  // The owner may have disabled or hidden the button in its step.
  if (!isDown() || !isEnabled()) return;
  m_timer.start(m_schedule.NextWait());
}

void CRepeatButton::StopRepeat() { m_timer.stop(); }

void CRepeatButton::mousePressEvent(QMouseEvent* event) {
  QPushButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || !isDown()) return;
  m_schedule = voiceedit::RepeatSchedule(m_accelerate != 0, m_interval);
  m_timer.start(m_schedule.NextWait());
}

void CRepeatButton::mouseReleaseEvent(QMouseEvent* event) {
  StopRepeat();
  QPushButton::mouseReleaseEvent(event);
}

void CRepeatButton::keyPressEvent(QKeyEvent* event) {
  // Every key-down of the space bar is one step, auto-repeated ones included.
  if (event->key() == Qt::Key_Space) Step();
  QPushButton::keyPressEvent(event);
}
