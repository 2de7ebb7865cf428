// How the controls' notifications map onto Qt signals. The firing rules matter: handlers count
// on them (a programmatic text change notifies, a programmatic selection does not).
#pragma once

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <functional>

namespace ui {

/// EN_CHANGE: every change of the text, setText included.
inline void OnEditChange(QLineEdit* edit, std::function<void()> handler) {
  QObject::connect(edit, &QLineEdit::textChanged, edit, [h = std::move(handler)] { h(); });
}

/// BN_CLICKED: the click, not the change of state.
inline void OnClicked(QAbstractButton* button, std::function<void()> handler) {
  QObject::connect(button, &QAbstractButton::clicked, button, [h = std::move(handler)] { h(); });
}

/// CBN_SELCHANGE: the user's choice only. Code that changes the selection and wants the handler
/// calls it itself.
inline void OnSelChange(QComboBox* combo, std::function<void()> handler) {
  QObject::connect(combo, &QComboBox::activated, combo, [h = std::move(handler)] { h(); });
}

/// WM_HSCROLL of a slider: the user's actions; block the slider's signals while code sets values.
inline void OnSliderScroll(QAbstractSlider* slider, std::function<void(int action)> handler) {
  QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [h = std::move(handler)](int a) { h(a); });
}

/// WM_NEXTDLGCTL: the focus moves to the control once the current message is done.
inline void PostNextDlgCtl(QWidget* target) {
  QTimer::singleShot(0, target, [target] { target->setFocus(Qt::OtherFocusReason); });
}

}  // namespace ui
