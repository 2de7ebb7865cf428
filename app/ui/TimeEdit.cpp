#include "app/ui/TimeEdit.h"

#include <algorithm>

#include "device/AppPlayState.h"
#include "app/core/OutputEngine.h"
#include "app/core/ValueEditText.h"
#include "platform/host/HostServices.h"
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
  if (QWidget* next = NextFocusControl()) ui::PostNextDlgCtl(next);
  else clearFocus();
  m_committedFlag = true;
  return 1;
}

bool CTimeEdit::AcceptsText(const std::string& text) const { return value_edit::AcceptsTimeText(text); }

void CTimeEdit::OnEnter(QKeyEvent* event) {
  Commit();
  QLineEdit::keyPressEvent(event);
}

void CTimeEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  setText(m_saved);
}
