// The application's questions before the program ends.
#include "app/core/TrillotApp.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgSaveVoices = 7096;
constexpr int kVoiceSaveCommand = 32783;
constexpr int kYes = 6;

}  // namespace

int CTrillotApp::SaveAllModified() {
  if (m_queryCloseSong) {
    if (!m_queryCloseSong()) return 0;
  } else if (m_document && KeepSongAfterQuestion(*m_document)) {
    // Cancel, or a save that did not happen: the program stays open with the song.
    return 0;
  }
  if (m_voiceLibrary.IsModified() && platform::ShowMessage(kMsgSaveVoices) == kYes && m_mainFrame)
    m_mainFrame->SendCommand(kVoiceSaveCommand);
  return 1;
}
