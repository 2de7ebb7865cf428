// A percentage edit held to 50..200 when it loses the focus.
#pragma once

#include "app/ui/KeyFilterEdit.h"

class CRateEdit : public CKeyFilterEdit {
 public:
  explicit CRateEdit(QWidget* parent = nullptr) : CKeyFilterEdit(parent) {}

 protected:
  /// Digits and backspace only; the edit's shortcuts (paste included) and context menu stay.
  void keyPressEvent(QKeyEvent* event) override;
  /// A value below 50 becomes "50", one above 200 "200"; an empty text stays.
  void focusOutEvent(QFocusEvent* event) override;
};
