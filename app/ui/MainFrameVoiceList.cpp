// The main window's voice copies between the song and the voice library, and the song's
// contents information.
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "app/core/VoiceListTransfer.h"
#include "app/ui/MainFrame.h"
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kOk = 1;
constexpr int kMsgConfirmImport = 7138;
constexpr int kMsgConfirmExport = 7139;

}  // namespace

void CMainFrame::OnImportFromVoiceList() {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc || platform::ShowMessage(kMsgConfirmImport) != kOk) return;
  VoiceListTransfer transfer(*doc, m_app.GetVoiceLibrary(), m_app.GetOutputProfile(),
                             ReadProfileSetting(profile_keys::kModeSetting));
  transfer.ImportFromLibrary();
  UpdateVoiceWindows();
  UpdateReportBar();
}

void CMainFrame::OnExportToVoiceList() {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc || platform::ShowMessage(kMsgConfirmExport) != kOk) return;
  VoiceListTransfer transfer(*doc, m_app.GetVoiceLibrary(), m_app.GetOutputProfile(),
                             ReadProfileSetting(profile_keys::kModeSetting));
  transfer.ExportToLibrary();
  UpdateVoiceWindows();
  UpdateReportBar();
}

void CMainFrame::OnEditInformation() {
  const int chipMode = m_app.GetChipMode();
  if (!m_app.GetDocument() || (chipMode != 3 && chipMode != 5)) return;
  m_app.RunInformationDialog();
}
