// A push button that steps its owner again and again while it is held down.
#pragma once

#include <QPushButton>
#include <QTimer>
#include <functional>

#include "voice/PianoGeometry.h"

class CRepeatButton : public QPushButton {
 public:
  /// The step message: the button's control id.
  using StepHandler = std::function<void(int id)>;

  CRepeatButton(int id, const QString& caption, QWidget* parent = nullptr);

  /// Stores the acceleration flag and the interval in milliseconds; 1.
  int SetRepeat(int accelerate, int intervalMs);
  void SetStepHandler(StepHandler handler) { m_step = std::move(handler); }
  int GetControlId() const { return m_id; }
  bool IsAccelerating() const { return m_accelerate != 0; }
  int GetInterval() const { return m_interval; }

  /// The wait before the next step while held; -1 when the button is not repeating.
  int PendingWait() const { return m_timer.isActive() ? m_timer.interval() : -1; }
  /// One round of the held button: a step, then the next wait (tests call it instead of waiting).
  void OnRepeatTimer();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Step();
  void StopRepeat();

  int m_id;
  int m_accelerate = 1;
  int m_interval = 200;
  StepHandler m_step;
  QTimer m_timer;
  voiceedit::RepeatSchedule m_schedule{true, 200};
};
