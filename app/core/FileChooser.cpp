// The scripted file chooser.
#include "app/core/FileChooser.h"

FileAnswer ScriptedFileChooser::Choose(const FileRequest& request) {
  m_requests.push_back(request);
  if (m_answers.empty()) return {};
  FileAnswer answer = std::move(m_answers.front());
  m_answers.pop_front();
  return answer;
}
