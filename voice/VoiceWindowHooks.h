// Settable openers through which windows of other areas reach the voice dialogs, and through
// which the stream-PCM map reaches the wave panpot dialog of the graph area.
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

/// Runs the StreamPCM Wave Panpot dialog on a pan mode and value; 1 on OK with both updated.
using WavePanOpener = std::function<int(int& mode, int& pan)>;
void SetWavePanOpener(WavePanOpener opener);
/// 0 (nothing changed) when no opener is set.
int OpenWavePanDialog(int& mode, int& pan);

}  // namespace voice_hooks
