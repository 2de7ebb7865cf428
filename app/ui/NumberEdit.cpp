#include "app/ui/NumberEdit.h"

#include <QContextMenuEvent>
#include <algorithm>
#include <limits>

#include "app/core/ValueEditText.h"
#include "app/ui/EditKeys.h"
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DialogTemplate.h"

namespace {

std::optional<int> DocumentTimeBase() {
  const CKZ1Doc* doc = platform::registry().document;
  if (!doc) return std::nullopt;
  return doc->GetTimeBaseKZ3();
}

}  // namespace

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent), m_source(DocumentTimeBase) {}

void CNumberEdit::ShowDocumentTimeBase() {
  if (const auto tb = m_source ? m_source() : std::nullopt) {
    setText(QString::fromStdString(value_edit::FormatTimeBase(*tb)));
  }
}

int CNumberEdit::SetNumber(int) {
  ShowDocumentTimeBase();
  return 1;
}

int CNumberEdit::Commit() {
  const auto value = value_edit::ParseTimeBaseText(text().toStdString());
  if (!value) return 0;
  if (*value >= 1) {
    const auto clamped = static_cast<uint32_t>(std::min<uint64_t>(*value, std::numeric_limits<uint32_t>::max()));
    if (!m_handler || m_handler(clamped) != 1) {
      selectAll();
      return 0;
    }
    const auto tb = m_source ? m_source() : std::nullopt;
    m_committed = tb ? static_cast<uint32_t>(*tb) : clamped;
    SetNumber(static_cast<int>(m_committed));
    m_saved = text();
  } else {
    setText(m_saved);
  }
  QWidget* next = m_nextFocusId != 0 ? ui::item<QWidget>(parentWidget(), m_nextFocusId) : nullptr;
  if (next) next->setFocus(Qt::OtherFocusReason);
  else clearFocus();
  return 1;
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (edit_keys::IsEnter(*event)) {
    Commit();
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
    if (!(edit_keys::IsDigit(c) || c == '.') || !value_edit::AcceptsTimeBaseText(after.toStdString())) return;
  }
  QLineEdit::keyPressEvent(event);
}

void CNumberEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  m_saved = text();
  setText(QString::fromStdString(value_edit::WithoutBlanks(text().toStdString())));
  selectAll();
}

void CNumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Text typed without Enter is dropped.
  ShowDocumentTimeBase();
}

void CNumberEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    setFocus(Qt::MouseFocusReason);
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void CNumberEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }
