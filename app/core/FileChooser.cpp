// The installed file chooser and the scripted one.
#include "app/core/FileChooser.h"

namespace {

IFileChooser* g_installed = nullptr;

}  // namespace

FileAnswer ScriptedFileChooser::Choose(const FileRequest& request) {
  m_requests.push_back(request);
  if (m_answers.empty()) return {};
  FileAnswer answer = std::move(m_answers.front());
  m_answers.pop_front();
  return answer;
}

IFileChooser& InstalledFileChooser() {
  static HeadlessFileChooser headless;
  return g_installed ? *g_installed : headless;
}

void InstallFileChooser(IFileChooser* chooser) { g_installed = chooser; }
