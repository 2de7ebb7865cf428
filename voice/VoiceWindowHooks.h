// The settable opener through which windows of other areas reach the voice dialogs.
#pragma once

#include <functional>

namespace voice_hooks {

/// How a song window asks for a slot's voice dialog.
enum class SlotDialog {
  Gen1,        // the 2-operator dialog on the slot (the channel's "Region" click)
  ByChipMode,  // chip mode 1: the 2-operator dialog; chip mode 2: the generation-2 dialog
};

/// Runs the voice dialog on a document voice slot; 1 when it ended with OK, else 0.
using SlotVoiceDialogOpener = std::function<int(int slot, SlotDialog kind)>;
void SetSlotVoiceDialogOpener(SlotVoiceDialogOpener opener);
/// 0 when no opener is set (the voice windows are not part of this run).
int OpenSlotVoiceDialog(int slot, SlotDialog kind);

}  // namespace voice_hooks
