// The main frame's operations that the application object calls during start-up and board work.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/MenuEdits.h"
#include "app/core/OutputEngine.h"
#include "app/core/WindowPlacement.h"

class IMainFrame {
 public:
  virtual ~IMainFrame() = default;

  /// Loads the frame from its resource (1000); false when it cannot.
  virtual bool LoadFrame(int resourceId) = 0;
  /// The window's current placement and rectangle, for restoring a stored one.
  virtual WindowPlacement GetPlacement() const = 0;
  virtual PlacementRect GetWindowRect() const = 0;
  virtual void SetPlacement(const WindowPlacement& placement) = 0;
  virtual void ShowWindow(int showCmd) = 0;
  virtual void UpdateWindow() = 0;
  virtual void DragAcceptFiles(bool accept) = 0;
  /// Destroys the window; the frame object goes with it.
  virtual void DestroyWindow() = 0;

  virtual void ApplyMenuEdits(const std::vector<MenuEdit>& edits) = 0;
  virtual void PostCommand(int commandId) = 0;
  /// Opens the song window (resource 1002) for the current song; false when it cannot.
  virtual bool OpenSongWindow() = 0;

  virtual void EnableBoardMonitor(bool enable) = 0;
  virtual void UpdateStatusPanes() = 0;
  virtual void UpdateReportBar() = 0;
  virtual void UpdateSongWindows() = 0;
  virtual void UpdateVoiceWindows() = 0;
  virtual bool GetTBOption() const = 0;
  /// The Stop command.
  virtual void OnStop() = 0;
  virtual void LoadVolumeBar(int toBoard) = 0;
  /// The output engine the frame owns.
  virtual IOutputEngine* GetBoardDevice() = 0;
  /// Runs a command at once, as the framework's send does (nothing without a window).
  virtual void SendCommand(int /*commandId*/) {}
  /// The voice editor's operator clipboard: one 7-byte operator record kept for the life of the
  /// frame. GetVoiceClip copies it out and returns 0 when it is empty.
  virtual void PutVoiceClip(const uint8_t* /*record*/) {}
  virtual int GetVoiceClip(uint8_t* /*record*/) const { return 0; }
  virtual bool HasVoiceClip() const { return false; }

  // What the File commands ask of the frame; a frame without windows has none of them.
  /// Stops playback and closes the song's tool windows and the direct-play window.
  virtual void CloseToolWindows() {}
  /// Closes the assignment maps and resets and hides the mixers and the velocity dialog.
  virtual void ResetEditorDialogs() {}
  /// Shows the song's path, else the direct-play file's, in the title.
  virtual void UpdateFrameTitle() {}
  virtual bool IsDirectPlayOpen() const { return false; }
  /// Opens the direct-play window on a file, marked as not yet sent to the board; false when
  /// it cannot.
  virtual bool OpenDirectPlay(const std::string& /*path*/) { return false; }
  /// True when the song window's menu holds the command.
  virtual bool SongMenuHasCommand(int /*commandId*/) const { return true; }
};

/// Builds the main frame object of step 9 (the window comes with LoadFrame).
using MainFrameFactory = std::function<std::unique_ptr<IMainFrame>()>;
