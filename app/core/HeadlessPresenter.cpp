// Shows user messages on standard error and takes each box's default answer.
#include "app/core/HeadlessPresenter.h"

#include "app/core/MessageStyle.h"

int HeadlessPresenter::Present(const std::string& text, unsigned style, int /*helpId*/) {
  Print(text);
  return DefaultAnswer(style);
}

void HeadlessPresenter::Note(const std::string& text) { Print(text); }

void HeadlessPresenter::Print(const std::string& text) {
  std::string line = "Trillot: " + text;
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), m_out);
  std::fflush(m_out);
}
