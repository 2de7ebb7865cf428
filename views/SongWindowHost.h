// What the song window and the mixers need of the main frame beyond the song views' host,
// and the openers of the voice dialogs that other windows' code supplies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "views/SongViewHost.h"

class CVoiceItem;
class IOutputEngine;

namespace ui {
class IToolWindow;
}

class ISongWindowHost : public ISongViewHost {
 public:
  /// CMainFrame::UpdateVoiceWindows.
  virtual void UpdateVoiceWindows() = 0;
  virtual void UpdateStatusPanes() = 0;
  virtual void UpdateReportBar() = 0;
  /// The open window of a main-frame slot by class name; null when none.
  virtual ui::IToolWindow* FindToolWindow(const std::string& className) const = 0;
  /// Activates the open window of the class, else creates it on its resource; null when the
  /// class cannot be made.
  virtual ui::IToolWindow* OpenToolWindow(const std::string& className, int resourceId) = 0;
  /// Posts a command to the main window.
  virtual void PostCommand(int commandId) = 0;
  /// CMainFrame::GetBoardDevice; null without an engine.
  virtual IOutputEngine* BoardDevice() const = 0;
  /// CTrillotApp::OnFileClose.
  virtual void FileClose() = 0;
  /// The main frame puts its default menu back.
  virtual void RestoreDefaultMenu() = 0;
  /// The main frame's per-channel bank MSB (0), bank LSB (1) and program (2) tables.
  virtual uint32_t ChannelTable(int which, int channel) const = 0;
};

/// The voice dialogs the song window opens, filled by the windows that own them; an empty
/// opener makes its click do nothing.
struct SongWindowOpeners {
  /// Chip mode 1: the 2-operator voice dialog on a voice slot; 1 on OK.
  std::function<int(int slot)> voiceEdit2Op;
  /// Chip mode 2: the generation-2 voice dialog on a voice slot; 1 on OK.
  std::function<int(int slot)> voiceEditKZ2;
  /// Chip modes 3 and 5: the voice editor sheet titled "Voice Edit" on `voice` (a copy of the
  /// slot's), edit source 2; 1 on OK with the edited voice written back into `voice`.
  std::function<int(CVoiceItem& voice)> voiceEditKZx;

  static SongWindowOpeners& Instance();
};
