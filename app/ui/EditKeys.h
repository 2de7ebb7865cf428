// Key handling shared by the value edits.
#pragma once

#include <QKeyEvent>
#include <QLineEdit>

namespace edit_keys {

/// The text the edit would hold after typing `typed` over its selection at the cursor.
inline QString TextAfterTyping(const QLineEdit& edit, const QString& typed) {
  QString text = edit.text();
  if (edit.hasSelectedText()) {
    text.replace(edit.selectionStart(), edit.selectedText().size(), typed);
  } else {
    text.insert(edit.cursorPosition(), typed);
  }
  return text;
}

/// A key that types a printable character (not a shortcut).
inline bool IsCharacter(const QKeyEvent& e) {
  if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString t = e.text();
  return t.size() == 1 && t[0].unicode() >= 0x20 && t[0].unicode() != 0x7F;
}

inline bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

inline bool IsEnter(const QKeyEvent& e) { return e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter; }

/// A Ctrl-letter combination: control characters, which the filtering edits drop.
inline bool IsControlLetter(const QKeyEvent& e) {
  return (e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z;
}

/// Ctrl+V and Shift+F10: no paste and no keyboard context menu in the time edits.
inline bool IsPasteOrMenuKey(const QKeyEvent& e) {
  return ((e.modifiers() & Qt::ControlModifier) && e.key() == Qt::Key_V) ||
         ((e.modifiers() & Qt::ShiftModifier) && e.key() == Qt::Key_F10) || e.key() == Qt::Key_Menu;
}

}  // namespace edit_keys
