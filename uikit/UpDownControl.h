// An up-down control whose owner may refuse a step before the position changes.
#pragma once

#include <QSpinBox>
#include <functional>

namespace ui {

class UpDownControl : public QSpinBox {
 public:
  /// UDN_DELTAPOS: the position before the step, the step, and a flag that refuses it.
  using DeltaPos = std::function<void(int pos, int delta, bool& refuse)>;

  explicit UpDownControl(QWidget* parent = nullptr) : QSpinBox(parent) {}

  void SetDeltaPos(DeltaPos handler) { m_deltaPos = std::move(handler); }
  void stepBy(int steps) override;

 private:
  DeltaPos m_deltaPos;
};

}  // namespace ui
