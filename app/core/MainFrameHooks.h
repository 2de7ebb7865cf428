// The window-side hooks core code calls, answered by the application's main frame while it lives.
#pragma once

#include <functional>
#include <memory>

#include "platform/host/HostServices.h"

class CTrillotApp;

class MainFrameHooks final : public platform::IUiHooks {
 public:
  using BusyPictureFactory = std::function<std::unique_ptr<platform::IUiToken>(int kind)>;
  using WaitCursorFactory = std::function<std::unique_ptr<platform::IUiToken>()>;

  explicit MainFrameHooks(const CTrillotApp& app) : m_app(app) {}

  /// The window side's busy picture and wait cursor; without them both are nothing.
  void SetBusyPictureFactory(BusyPictureFactory factory) { m_busyPicture = std::move(factory); }
  void SetWaitCursorFactory(WaitCursorFactory factory) { m_waitCursor = std::move(factory); }
  std::unique_ptr<platform::IUiToken> ShowBusyPicture(int kind) override {
    return m_busyPicture ? m_busyPicture(kind) : nullptr;
  }
  std::unique_ptr<platform::IUiToken> ShowWaitCursor() override { return m_waitCursor ? m_waitCursor() : nullptr; }

  void UpdateSongWindows() override;
  void UpdateVoiceWindows() override;
  void UpdateStatusPanes() override;
  /// Queued as the framework's Undo command, so it runs after the edit that asked for it.
  void RequestUndo() override;
  /// From the creation of the main frame object until it is destroyed.
  bool HasMainWindow() const override;

 private:
  const CTrillotApp& m_app;
  BusyPictureFactory m_busyPicture;
  WaitCursorFactory m_waitCursor;
};
