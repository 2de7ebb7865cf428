#include "app/core/ShellDialogCommands.h"

#include <algorithm>

#include "app/core/PolyscanRules.h"
#include "app/core/TrillotApp.h"
#include "platform/host/HostServices.h"

namespace {

constexpr int kExitAfterUnexpectedProblem = 2;
constexpr int kVoicesMayBeOverwritten = 7097;
constexpr int kYes = 6;

bool IsMfiProfile(int profile) { return profile == 1 || profile == 6 || profile == 7; }

}  // namespace

// --- The application's dialog entry points --------------------------------------------------------

int CTrillotApp::RunPreferenceDialog() { return m_shellDialogs.preference ? m_shellDialogs.preference() : 0; }

int CTrillotApp::RunPolyscanDialog() { return m_shellDialogs.polyscan ? m_shellDialogs.polyscan() : 0; }

int CTrillotApp::RunInformationDialog() {
  if (!m_shellDialogs.information) return 0;
  return m_shellDialogs.information(IsMfiProfile(m_outputProfile));
}

// --- The commands ---------------------------------------------------------------------------------

const std::vector<int>& ShellDialogCommands::Ids() {
  static const std::vector<int> ids = {kAbout,       kWebJapanese, kWebGlobal, kWebKorean,
                                       kWebChinese, kPreference,  kPolyscan};
  return ids;
}

bool ShellDialogCommands::Handles(int id) const {
  const auto& ids = Ids();
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool ShellDialogCommands::Run(int id) {
  switch (id) {
    case kAbout: m_app.OnAppAbout(); return true;
    case kWebJapanese: m_app.OnWebJapanese(); return true;
    case kWebGlobal: m_app.OnWebGlobal(); return true;
    case kWebKorean: m_app.OnWebKorean(); return true;
    case kWebChinese: m_app.OnWebChinese(); return true;
    case kPreference: OnOptionPreferenceDialog(); return true;
    case kPolyscan: OnOptionVoiceCheckDialog(); return true;
    default: return false;
  }
}

bool ShellDialogCommands::Enabled(int id) const {
  switch (id) {
    case kAbout:
    case kPreference: return m_app.OnUpdateByMode();
    case kPolyscan: return platform::binder().IsAvailable(kPolyscanKind, kPolyscanDirection) != 0;
    default: return true;
  }
}

void ShellDialogCommands::OnOptionPreferenceDialog() {
  // The dialog may load the default voices again over the library's edits.
  if (m_app.GetVoiceLibrary().IsModified() && platform::ShowMessage(kVoicesMayBeOverwritten) == kYes &&
      m_app.GetChipMode() == 3) {
    m_app.OnVoiceSave();
  }
  int ok = 0;
  try {
    ok = m_app.RunPreferenceDialog();
  } catch (...) {
    platform::ShowMessage(kUnexpectedProblem);
    m_app.ExitProcess(kExitAfterUnexpectedProblem);
    return;
  }
  if (!ok) return;
  if (IMainFrame* frame = m_app.GetMainFrame()) {
    frame->UpdateStatusPanes();
    if (m_app.GetChipMode() == 3 || m_app.GetChipMode() == 5) frame->UpdateReportBar();
  }
}

void ShellDialogCommands::OnOptionVoiceCheckDialog() {
  const int chipMode = m_app.GetChipMode();
  if ((chipMode != 3 && chipMode != 5) || m_app.GetOutputProfile() == 4) return;
  m_app.RunPolyscanDialog();
}
