#include "voice/VoiceWindowHooks.h"

#include <utility>

namespace voice_hooks {
namespace {

SlotVoiceDialogOpener& SlotOpener() {
  static SlotVoiceDialogOpener opener;
  return opener;
}

}  // namespace

void SetSlotVoiceDialogOpener(SlotVoiceDialogOpener opener) { SlotOpener() = std::move(opener); }

int OpenSlotVoiceDialog(int slot, SlotDialog kind) { return SlotOpener() ? SlotOpener()(slot, kind) : 0; }

}  // namespace voice_hooks
