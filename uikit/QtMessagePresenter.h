// User messages in a window: a modal box whose buttons and icon come from the style word.
#pragma once

#include <QString>
#include <cstdio>
#include <memory>

#include "app/core/MessagePresenter.h"

class QMessageBox;
class QWidget;

namespace ui {

class QtMessagePresenter final : public IMessagePresenter {
 public:
  explicit QtMessagePresenter(QWidget* parent = nullptr) : m_parent(parent) {}

  /// Closes the start-up picture and shows the box modally. From another thread the box is
  /// posted to the user-interface thread and the default answer returns at once: a worker
  /// must never wait for the user.
  int Present(const std::string& text, unsigned style, int helpId) override;
  void Beep() override;

  /// The box of a style: its buttons in the style's order, the first (or the style's) default.
  static std::unique_ptr<QMessageBox> BuildBox(const QString& text, unsigned style, QWidget* parent);
  /// The answer of a box's button (1 OK, 2 Cancel, 6 Yes, 7 No, ...).
  static int AnswerOf(int standardButton);

 private:
  QWidget* m_parent;
};

/// True under the offscreen or minimal platform, where nobody could answer a box.
bool IsHeadlessPlatform();

/// The window presenter on a display, else the headless one writing to `err`.
std::unique_ptr<IMessagePresenter> MakeMessagePresenter(std::FILE* err = stderr);

}  // namespace ui
