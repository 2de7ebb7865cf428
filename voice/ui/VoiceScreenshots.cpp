#include "voice/ui/VoiceScreenshots.h"

#include "voice/ui/AAMView.h"
#include "voice/ui/DirectPlayFrm.h"
#include "voice/ui/VListFrm.h"
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

QWidget* OpenStreamPcmMapForScreenshot() {
  RegisterVoiceWindows();
  auto* frame = new CAAMFrm(nullptr);
  frame->resize(520, 300);
  return frame;
}

QWidget* OpenVoiceListForScreenshot(int chipMode) {
  RegisterVoiceWindows();
  if (chipMode == 1) return new CVListFrm(nullptr);
  if (chipMode == 2) return new CVListFrmKZ2(nullptr);
  auto* frame = new CVListFrmKZ3(nullptr);
  frame->resize(560, 400);
  return frame;
}
