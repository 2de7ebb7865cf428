#include "voice/ui/VoiceScreenshots.h"

#include <cstring>

#include "platform/host/HostServices.h"
#include "song/GMNames.h"
#include "song/Voice2.h"
#include "song/VoiceLibrary.h"
#include "voice/ui/AAMView.h"
#include "voice/ui/DirectPlayFrm.h"
#include "voice/ui/VListFrm.h"
#include "voice/ui/VAMPane.h"
#include "voice/ui/VoiceEditDlg.h"
#include "voice/ui/VoiceEditDlgKZ2.h"
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

namespace {

// The program's library holds only the voices of its own chip mode; the lists of the older
// chips get a few named voices so that their pictures show what a user sees.
void NameSampleVoices(int chipMode) {
  CVoiceLibrary* library = platform::registry().voiceLibrary;
  if (!library || chipMode > 2) return;
  for (int program = 0; program < 12; ++program) {
    const char* name = GetGMProgramName(0, 0, static_cast<uint8_t>(program));
    if (!name) continue;
    if (chipMode == 1) {
      uint8_t* entry = library->GetVoiceTableEntry(0, program);
      if (entry[0] == 0) std::strncpy(reinterpret_cast<char*>(entry), name, 16);
      continue;
    }
    for (int bank = 0; bank < 2; ++bank) {
      CVoice2* voice = library->GetVoice2(bank, program);
      if (!voice || voice->GetName()[0] != 0) continue;
      CVoice2 named(*voice);
      named.SetNameText(name);
      library->SetVoice2(bank, program, named);
    }
  }
}

}  // namespace

QWidget* OpenVoiceListForScreenshot(int chipMode) {
  RegisterVoiceWindows();
  NameSampleVoices(chipMode);
  if (chipMode == 1) return new CVListFrm(nullptr);
  if (chipMode == 2) return new CVListFrmKZ2(nullptr);
  auto* frame = new CVListFrmKZ3(nullptr);
  frame->resize(560, 400);
  return frame;
}

QWidget* RunGen2VoiceEditForScreenshot() {
  RegisterVoiceWindows();
  CVoiceLibrary library;
  CVoice2 voice;
  voice.SetNameText("Brass 4Op");
  voice.SetLFO(1);
  voice.SetFB(3);
  voice.SetBO(1);
  voice.SetOperatorCount(4);
  voice.SetAlgorithm(4 | 2);
  for (int n = 1; n <= 4; ++n) {
    voice.SetOpMULTI(n, n);
    voice.SetOpAR(n, 15 - n);
    voice.SetOpDR(n, 4 + n);
    voice.SetOpSL(n, n);
    voice.SetOpTL(n, n == 4 ? 0 : 20 + 4 * n);
    voice.SetOpWS(n, n - 1);
  }
  library.SetVoice2(2, 3, voice);
  OpenGen2LibraryVoiceDialog(nullptr, library, 2, 3);
  return nullptr;
}
