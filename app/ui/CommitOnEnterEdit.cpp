#include "app/ui/CommitOnEnterEdit.h"

#include <QContextMenuEvent>

#include "app/core/ValueEditText.h"
#include "app/ui/EditKeys.h"
#include "uikit/DialogTemplate.h"

QWidget* CommitOnEnterEdit::NextFocusControl() const {
  return m_nextFocusId != 0 ? ui::item<QWidget>(parentWidget(), m_nextFocusId) : nullptr;
}

void CommitOnEnterEdit::keyPressEvent(QKeyEvent* event) {
  if (edit_keys::IsEnter(*event)) {
    OnEnter(event);
    return;
  }
  if (edit_keys::IsPasteOrMenuKey(*event)) {
    setFocus(Qt::OtherFocusReason);
    return;
  }
  if (edit_keys::IsControlLetter(*event)) return;
  if (edit_keys::IsCharacter(*event)) {
    const QChar c = event->text()[0];
    const QString after = edit_keys::TextAfterTyping(*this, event->text());
    if (!(edit_keys::IsDigit(c) || c == '.') || !AcceptsText(after.toStdString())) return;
  }
  QLineEdit::keyPressEvent(event);
}

void CommitOnEnterEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  m_saved = text();
  setText(QString::fromStdString(value_edit::WithoutBlanks(text().toStdString())));
  selectAll();
}

void CommitOnEnterEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    setFocus(Qt::MouseFocusReason);
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void CommitOnEnterEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }
