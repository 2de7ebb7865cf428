// A signed integer edit within a range, checked on every change of its text.
#pragma once

#include <QLineEdit>

class CValueEdit : public QLineEdit {
 public:
  explicit CValueEdit(QWidget* parent = nullptr);

  /// 0 for an empty text, else the text read as a decimal integer.
  int GetValue() const;
  void SetValue(int value) { setText(QString::number(value)); }
  void SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
  }

 protected:
  /// Backspace, tab and "." pass; other characters only digits and "-". Ctrl+C, V, X and Z
  /// copy, paste, cut and undo.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  /// A text that fails goes back to the last good one, selected, with a beep.
  void CheckContent();

  QString m_saved;
  int m_lower = -100;
  int m_upper = 100;
  bool m_restoring = false;
};
