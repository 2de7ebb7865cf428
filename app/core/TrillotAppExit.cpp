// The application's questions before the program ends.
#include "app/core/TrillotApp.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgSaveDocument = 7091;
constexpr int kMsgSaveVoices = 7096;
constexpr int kSaveCommand = 57603;
constexpr int kVoiceSaveCommand = 32783;
constexpr int kYes = 6;
constexpr int kCancel = 2;

}  // namespace

int CTrillotApp::SaveAllModified() {
  if (m_queryCloseSong) {
    if (!m_queryCloseSong()) return 0;
  } else if (m_document && m_document->TestModifiedFlags(1)) {
    const int answer = platform::ShowMessage(kMsgSaveDocument);
    if (answer == kCancel) return 0;
    if (answer == kYes && m_mainFrame) m_mainFrame->SendCommand(kSaveCommand);
  }
  if (m_voiceLibrary.IsModified() && platform::ShowMessage(kMsgSaveVoices) == kYes && m_mainFrame)
    m_mainFrame->SendCommand(kVoiceSaveCommand);
  return 1;
}
