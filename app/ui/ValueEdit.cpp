#include "app/ui/ValueEdit.h"

#include "app/core/ValueEditText.h"
#include "app/ui/EditKeys.h"
#include "platform/host/HostServices.h"

CValueEdit::CValueEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] { CheckContent(); });
}

int CValueEdit::GetValue() const { return text().isEmpty() ? 0 : value_edit::ReadValueText(text().toStdString()); }

void CValueEdit::CheckContent() {
  if (m_restoring) return;
  if (!value_edit::CheckValueText(text().toStdString(), m_lower, m_upper)) {
    m_restoring = true;
    setText(m_saved);
    m_restoring = false;
    selectAll();
    platform::messages().Beep();
  }
  m_saved = text();
}

void CValueEdit::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    switch (event->key()) {
      case Qt::Key_C: copy(); return;
      case Qt::Key_V: paste(); return;
      case Qt::Key_X: cut(); return;
      case Qt::Key_Z: undo(); return;
      default: break;
    }
  }
  if (edit_keys::IsCharacter(*event)) {
    const QChar c = event->text()[0];
    if (!(edit_keys::IsDigit(c) || c == '-' || c == '.')) return;
  }
  QLineEdit::keyPressEvent(event);
}
