#include "app/ui/NumberEdit.h"

#include <algorithm>
#include <limits>

#include "app/core/ValueEditText.h"
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

std::optional<int> DocumentTimeBase() {
  const CKZ1Doc* doc = platform::registry().document;
  if (!doc) return std::nullopt;
  return doc->GetTimeBaseKZ3();
}

}  // namespace

CNumberEdit::CNumberEdit(QWidget* parent) : CommitOnEnterEdit(parent), m_source(DocumentTimeBase) {}

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
  if (QWidget* next = NextFocusControl()) next->setFocus(Qt::OtherFocusReason);
  else clearFocus();
  return 1;
}

bool CNumberEdit::AcceptsText(const std::string& text) const { return value_edit::AcceptsTimeBaseText(text); }

void CNumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Text typed without Enter is dropped.
  ShowDocumentTimeBase();
}
