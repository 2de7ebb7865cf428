// Makes the voice tool windows known to the tool-window registry by class name.
#pragma once

#include "uikit/CommandRouter.h"

/// Registers "CVAMFrm", "CAAMFrm" and "CKZxDirectPlayFrm" and the pictures they draw, and sets the opener
/// of a slot's voice dialog (voice_hooks::SetSlotVoiceDialogOpener) and the song window's voice
/// dialog openers (SongWindowOpeners); safe to call again.
void RegisterVoiceWindows();

/// Runs the voice dialog of chip mode 1 on a song slot: 1 on OK.
int OpenGen1SlotDialog(int slot);

/// The voice commands on the main frame's route: "Voice Edit" (32799), the 2-operator dialog
/// on the library, in chip mode 1 only.
class VoiceCommandTarget : public ui::ICommandTarget {
 public:
  static constexpr int kVoiceEdit = 32799;
  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override { return id == kVoiceEdit; }
  /// CMainFrame::OnVoiceEdit: the dialog modally, then every voice window repaints.
  void OnVoiceEdit();
  /// CMainFrame::OnUpdateVoiceEdit: disabled in chip modes 2, 3 and 5.
  static bool IsVoiceEditEnabled();
};
