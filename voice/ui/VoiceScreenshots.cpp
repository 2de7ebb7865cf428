#include "voice/ui/VoiceScreenshots.h"

#include "voice/ui/AAMView.h"
#include "voice/ui/DirectPlayFrm.h"
#include "voice/ui/VAMPane.h"
#include "voice/ui/VoiceEditDlg.h"
#include "voice/ui/VoiceWindowHost.h"
#include "voice/ui/VoiceWindowRegistration.h"

QWidget* OpenVoiceAssignMapForScreenshot(int outputProfile) {
  RegisterVoiceWindows();
  auto* frame = new CVAMFrm(nullptr);
  frame->resize(outputProfile == 4 ? 860 : 760, 300);
  frame->Pane()->SetModeForProfile(3, outputProfile);
  return frame;
}

QWidget* OpenDirectPlayForScreenshot() {
  RegisterVoiceWindows();
  auto* frame = new CKZxDirectPlayFrm(nullptr, {});
  frame->SetFilePath("demo.k3h");
  return frame;
}

QWidget* OpenStreamPcmMapForScreenshot() {
  RegisterVoiceWindows();
  auto* frame = new CAAMFrm(nullptr);
  frame->resize(520, 300);
  return frame;
}

QWidget* RunVoiceEdit2OpForScreenshot() {
  CVoiceEditDlg dialog(VoiceWindowHost::EditShell().app);
  dialog.SetVoice(0, 1);
  dialog.DoModal();
  return nullptr;
}
