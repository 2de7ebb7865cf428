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

  /// The main window's own answers to the hooks below, while it lives (null: none).
  void SetWindowHooks(platform::IUiHooks* window) { m_window = window; }

  void UpdateSongWindows() override;
  void UpdateVoiceWindows() override;
  void UpdateStatusPanes() override;
  void FillSectionCombo() override {
    if (m_window) m_window->FillSectionCombo();
  }
  int GetSelectedSection() const override { return m_window ? m_window->GetSelectedSection() : 0; }
  void SetTimeRange(uint32_t startMs, uint32_t endMs) override {
    if (m_window) m_window->SetTimeRange(startMs, endMs);
  }
  void SetMasterVolumeSpin(int value) override {
    if (m_window) m_window->SetMasterVolumeSpin(value);
  }
  int IsVolumeBarChanged() const override { return m_window ? m_window->IsVolumeBarChanged() : 0; }
  std::string GetVolumePresetName() const override {
    return m_window ? m_window->GetVolumePresetName() : std::string("Default");
  }
  void SetDocumentModified() override {
    if (m_window) m_window->SetDocumentModified();
  }
  void AccessLogChanged() override {
    if (m_window) m_window->AccessLogChanged();
  }
  void ChipModeChanged(int chipMode) override {
    if (m_window) m_window->ChipModeChanged(chipMode);
  }
  bool IsQXCueEnabled() const override { return m_window && m_window->IsQXCueEnabled(); }
  void SetVelocityChannelMode(int mode) override {
    if (m_window) m_window->SetVelocityChannelMode(mode);
  }
  void RebuildStreamSizeGraph() override {
    if (m_window) m_window->RebuildStreamSizeGraph();
  }
  void UpdateReportBar() override;
  bool HasTimeRange() const override { return m_window && m_window->HasTimeRange(); }
  uint32_t GetTimeRangeSpan() const override { return m_window ? m_window->GetTimeRangeSpan() : 0; }
  void ClearTimeRange() override {
    if (m_window) m_window->ClearTimeRange();
  }
  int GetKeyChange() const override { return m_window ? m_window->GetKeyChange() : 12; }
  int GetTempoChange() const override { return m_window ? m_window->GetTempoChange() : 100; }
  /// Queued as the framework's Undo command, so it runs after the edit that asked for it.
  void RequestUndo() override;
  /// From the creation of the main frame object until it is destroyed.
  bool HasMainWindow() const override;

 private:
  const CTrillotApp& m_app;
  BusyPictureFactory m_busyPicture;
  WaitCursorFactory m_waitCursor;
  platform::IUiHooks* m_window = nullptr;
};
