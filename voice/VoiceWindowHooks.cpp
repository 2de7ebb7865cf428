#include "voice/VoiceWindowHooks.h"

#include <utility>

namespace voice_hooks {
namespace {

SlotVoiceDialogOpener& SlotOpener() {
  static SlotVoiceDialogOpener opener;
  return opener;
}

WavePanOpener& PanOpener() {
  static WavePanOpener opener;
  return opener;
}

}  // namespace

void SetSlotVoiceDialogOpener(SlotVoiceDialogOpener opener) { SlotOpener() = std::move(opener); }

int OpenSlotVoiceDialog(int slot, SlotDialog kind) { return SlotOpener() ? SlotOpener()(slot, kind) : 0; }

void SetWavePanOpener(WavePanOpener opener) { PanOpener() = std::move(opener); }

int OpenWavePanDialog(int& mode, int& pan) { return PanOpener() ? PanOpener()(mode, pan) : 0; }

}  // namespace voice_hooks
