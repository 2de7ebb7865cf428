// The window-side hooks core code calls, answered by the application's main frame while it lives.
#pragma once

#include "platform/host/HostServices.h"

class CTrillotApp;

class MainFrameHooks final : public platform::IUiHooks {
 public:
  explicit MainFrameHooks(const CTrillotApp& app) : m_app(app) {}

  void UpdateSongWindows() override;
  void UpdateVoiceWindows() override;
  /// Queued as the framework's Undo command, so it runs after the edit that asked for it.
  void RequestUndo() override;
  /// From the creation of the main frame object until it is destroyed.
  bool HasMainWindow() const override;

 private:
  const CTrillotApp& m_app;
};
