#include "app/ui/TimeEdit.h"

#include <QContextMenuEvent>
#include <algorithm>

#include "app/core/AppPlayState.h"
#include "app/core/OutputEngine.h"
#include "app/core/ValueEditText.h"
#include "app/ui/EditKeys.h"
#include "platform/host/HostServices.h"
#include "uikit/DialogTemplate.h"
#include "uikit/Notify.h"

namespace {

constexpr uint64_t kLastPosition = 5999999;  // 99 minutes 59.999 seconds
constexpr int kChannelCommandProfile = 4;

}  // namespace

int CTimeEdit::ShowPlayPosition(uint32_t) {
  setText(QString::fromStdString(value_edit::FormatPlayPosition(appPlayState().playPositionMs.load())));
  return 1;
}

int CTimeEdit::SetRange(uint32_t lower, uint32_t upper) {
  if (lower > upper) return 0;
  m_lower = lower;
  m_upper = upper;
  m_committedFlag = false;
  return 1;
}

uint32_t CTimeEdit::GetSpan() const {
  if (!m_committedFlag || m_lower > m_committedPos) return 0;
  return m_committedPos - m_lower;
}

int CTimeEdit::Clear() {
  m_committedPos = 0;
  m_committedFlag = false;
  m_saved.clear();
  return 1;
}

int CTimeEdit::Commit() {
  const auto parsed = value_edit::ParseTimeText(text().toStdString());
  if (!parsed) return 0;
  if (*parsed < m_lower || *parsed > m_upper) {
    selectAll();
    return 0;
  }
  const auto position = static_cast<uint32_t>(std::min(*parsed, kLastPosition));
  m_committedPos = position;
  appPlayState().playPositionMs = position;
  if (IOutputEngine* engine = m_device ? m_device() : nullptr) {
    if (platform::settings().GetOutputProfile() == kChannelCommandProfile) {
      engine->SendChannelValue1A(engine->GetLastValue(), position - m_lower);
    } else {
      engine->SendBoardValue0A(position - m_lower, 0);
    }
    engine->SetPlayPosition(position);
  }
  ShowPlayPosition(position);
  m_saved = text();
  // A next-focus id that names no control acts as none: the position is already applied.
  QWidget* next = m_nextFocusId != 0 ? ui::item<QWidget>(parentWidget(), m_nextFocusId) : nullptr;
  if (next) ui::PostNextDlgCtl(next);
  else clearFocus();
  m_committedFlag = true;
  return 1;
}

void CTimeEdit::keyPressEvent(QKeyEvent* event) {
  if (edit_keys::IsEnter(*event)) {
    Commit();
    QLineEdit::keyPressEvent(event);  // Enter goes on its normal way whatever the result
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
    if (!(edit_keys::IsDigit(c) || c == '.') || !value_edit::AcceptsTimeText(after.toStdString())) return;
  }
  QLineEdit::keyPressEvent(event);
}

void CTimeEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  m_saved = text();
  setText(QString::fromStdString(value_edit::WithoutBlanks(text().toStdString())));
  selectAll();
}

void CTimeEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  setText(m_saved);
}

void CTimeEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    setFocus(Qt::MouseFocusReason);
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void CTimeEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }
