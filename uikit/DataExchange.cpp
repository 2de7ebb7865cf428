#include "uikit/DataExchange.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "app/core/MessagePresenter.h"
#include "app/core/MessageStyle.h"
#include "platform/text/Format.h"
#include "uikit/DialogTemplate.h"
#include "uikit/UiText.h"

namespace ui {

DataExchange::DataExchange(QWidget* root, Direction direction, IMessagePresenter& presenter)
    : m_root(root), m_direction(direction), m_presenter(presenter) {}

QWidget* DataExchange::Control(int id) const { return item<QWidget>(m_root, id); }

bool DataExchange::Fail(int id, const std::string& text) {
  m_ok = false;
  m_presenter.Present(text, message_box::kOk | message_box::kIconExclamation, 0);
  if (QWidget* w = Control(id)) {
    w->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) spin->selectAll();
  }
  return false;
}

bool DataExchange::Text(int id, std::string& value) {
  if (!m_ok) return false;
  QWidget* w = Control(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (Saving()) value = S(edit->text());
    else edit->setText(Q(value));
    return true;
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (Saving()) value = S(combo->currentText());
    else combo->setCurrentText(Q(value));
    return true;
  }
  return w != nullptr;
}

bool DataExchange::IntValue(int id, int& value) {
  if (!m_ok) return false;
  QWidget* w = Control(id);
  if (auto* spin = qobject_cast<QSpinBox*>(w)) {
    if (Saving()) value = spin->value();
    else spin->setValue(value);
    return true;
  }
  auto* edit = qobject_cast<QLineEdit*>(w);
  if (!edit) return w != nullptr;
  if (!Saving()) {
    edit->setText(QString::number(value));
    return true;
  }
  bool ok = false;
  const int read = edit->text().trimmed().toInt(&ok);
  if (!ok) return Fail(id, S(T("fw.notInteger")));
  value = read;
  return true;
}

bool DataExchange::Check(int id, int& value) {
  if (!m_ok) return false;
  auto* button = qobject_cast<QAbstractButton*>(Control(id));
  if (!button) return false;
  if (Saving()) value = button->isChecked() ? 1 : 0;
  else button->setChecked(value != 0);
  return true;
}

bool DataExchange::Radio(std::initializer_list<int> ids, int& value) {
  if (!m_ok) return false;
  int index = 0;
  if (Saving()) value = -1;
  for (int id : ids) {
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) {
      if (Saving() && button->isChecked()) value = index;
      if (!Saving()) button->setChecked(index == value);
    }
    ++index;
  }
  return true;
}

bool DataExchange::ComboIndex(int id, int& value) {
  if (!m_ok) return false;
  auto* combo = qobject_cast<QComboBox*>(Control(id));
  if (!combo) return false;
  if (Saving()) value = combo->currentIndex();
  else combo->setCurrentIndex(value);
  return true;
}

bool DataExchange::Slider(int id, int& value) {
  if (!m_ok) return false;
  auto* slider = qobject_cast<QAbstractSlider*>(Control(id));
  if (!slider) return false;
  if (Saving()) value = slider->value();
  else slider->setValue(value);
  return true;
}

bool DataExchange::MinMaxInt(int id, int value, int min, int max) {
  if (!m_ok) return false;
  if (!Saving() || (value >= min && value <= max)) return true;
  return Fail(id, platform::Format(S(T("fw.rangeInt")), min, max));
}

}  // namespace ui
