// Records every message box and answers it from a script, for tests.
#include "app/core/RecordingPresenter.h"

#include "app/core/MessageStyle.h"

int RecordingPresenter::Present(const std::string& text, unsigned style, int helpId) {
  boxes.push_back({text, style, helpId});
  if (answers.empty()) return DefaultAnswer(style);
  int answer = answers.front();
  answers.pop_front();
  return answer;
}
