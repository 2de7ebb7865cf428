// Where user messages are shown: a window in the program, standard error headless, a record in tests.
#pragma once

#include <string>

class IMessagePresenter {
 public:
  virtual ~IMessagePresenter() = default;
  /// Shows a modal box with the text and style (closing the start-up picture first) and
  /// returns the button pressed: 1 OK, 2 Cancel, 6 Yes, 7 No.
  virtual int Present(const std::string& text, unsigned style, int helpId) = 0;
  /// A message that batch conversion answers without a box. A window shows nothing; a headless
  /// run still prints it, so a failed batch run says why.
  virtual void Note(const std::string& /*text*/) {}
  virtual void Beep() {}
};
