#include "app/ui/RateEdit.h"

#include "app/core/ValueEditText.h"
#include "app/ui/EditKeys.h"

void CRateEdit::keyPressEvent(QKeyEvent* event) {
  if (edit_keys::IsCharacter(*event) && !edit_keys::IsDigit(event->text()[0])) return;
  QLineEdit::keyPressEvent(event);
}

void CRateEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  const QString clamped = QString::fromStdString(value_edit::ClampRateText(text().toStdString()));
  if (clamped != text()) setText(clamped);
}
