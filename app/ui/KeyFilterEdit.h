// An edit that shows a signed integer; the base of the rate edit.
#pragma once

#include <QLineEdit>

class CKeyFilterEdit : public QLineEdit {
 public:
  explicit CKeyFilterEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}
  /// Shows the value with "%d".
  void SetValue(int value) { setText(QString::number(value)); }
};
