#include "voice/ui/VoiceScreenshots.h"

#include "voice/ui/DirectPlayFrm.h"
#include "voice/ui/VAMPane.h"
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
