// An up-down control whose owner may refuse a step before the position changes.
#pragma once

#include <QLineEdit>
#include <QPalette>
#include <QSpinBox>
#include <functional>

namespace ui {

class UpDownControl : public QSpinBox {
 public:
  /// UDN_DELTAPOS: the position before the step, the step, and a flag that refuses it.
  using DeltaPos = std::function<void(int pos, int delta, bool& refuse)>;

  // Only the arrows show: the number lives in the buddy edit, and a narrow spin would show a
  // clipped sliver of its own.
  explicit UpDownControl(QWidget* parent = nullptr) : QSpinBox(parent) {
    QPalette p = lineEdit()->palette();
    p.setColor(QPalette::Text, Qt::transparent);
    p.setColor(QPalette::HighlightedText, Qt::transparent);
    lineEdit()->setPalette(p);
    // As wide as its arrows; it sits on the edge of its edit.
    setFixedWidth(kArrowsWidth);
  }

  static constexpr int kArrowsWidth = 18;

  void SetDeltaPos(DeltaPos handler) { m_deltaPos = std::move(handler); }
  void stepBy(int steps) override;

 private:
  DeltaPos m_deltaPos;
};

}  // namespace ui
