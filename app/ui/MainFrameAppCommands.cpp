// The application's voice-bank and option commands on the main window's route of commands.
#include "app/ui/MainFrameAppCommands.h"

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"

namespace {

constexpr int kVoiceOpen = 32781;
constexpr int kVoiceSave = 32783;
constexpr int kVoiceConvertList = 32784;
constexpr int kVoiceImportList = 32832;
constexpr int kOptionPreference = 32792;
constexpr int kOptionReset = 32829;
constexpr int kOptionVoiceCheck = 32830;
constexpr int kImportNative = 32774;
constexpr int kExportNative = 32779;

}  // namespace

bool AppVoiceOptionCommands::HandlesCommand(int id) const {
  switch (id) {
    case kVoiceOpen: case kVoiceSave: case kVoiceConvertList: case kVoiceImportList: case kOptionReset:
      return true;
    default:
      return false;
  }
}

bool AppVoiceOptionCommands::OnCommand(int id) {
  switch (id) {
    case kVoiceOpen: m_app.OnVoiceOpen(); return true;
    case kVoiceSave: m_app.OnVoiceSave(); return true;
    case kVoiceConvertList: m_app.OnVoiceConvertList(); return true;
    case kVoiceImportList: m_app.OnVoiceImportList(); return true;
    case kOptionReset: m_app.OnOptionReset(); return true;
    default: return false;
  }
}

bool AppVoiceOptionCommands::OnUpdate(int id, ui::CmdUI& cmdUi) {
  switch (id) {
    case kVoiceOpen:
    case kVoiceSave:
    case kVoiceImportList: cmdUi.enabled = m_app.OnUpdateByMode(); return true;
    case kVoiceConvertList: return true;  // sets nothing: the item stays enabled
    case kOptionPreference: cmdUi.enabled = m_frame.IsDeviceIdle() != 0; return true;
    case kOptionVoiceCheck: cmdUi.enabled = m_app.OnUpdateOptionVoiceCheck(); return true;
    case kImportNative:
    case kExportNative: cmdUi.enabled = CTrillotApp::OnUpdateNativeFormat(); return true;
    default: return false;
  }
}
