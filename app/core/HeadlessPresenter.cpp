// Shows user messages on standard error and takes each box's default answer.
#include "app/core/HeadlessPresenter.h"

#include "app/core/MessageStyle.h"

int HeadlessPresenter::Present(const std::string& text, unsigned style, int /*helpId*/) {
  Print(text);
  return DefaultAnswer(style);
}

void HeadlessPresenter::Note(const std::string& text) { Print(text); }

void HeadlessPresenter::Print(const std::string& text) {
  // Every line carries the prefix, so a reader of a shared log can tell whose lines they are.
  std::string out;
  size_t start = 0;
  do {
    const size_t end = text.find('\n', start);
    out += "Trillot: " + text.substr(start, end == std::string::npos ? std::string::npos : end - start) + '\n';
    start = end == std::string::npos ? text.size() : end + 1;
  } while (start < text.size());
  std::fputs(out.c_str(), m_out);
  std::fflush(m_out);
}
