// The main frame's part for the voice windows: its clipboard, idle test and refreshes.
#pragma once

#include "voice/models/VoiceWindowShell.h"

class CMainFrame;
class CTrillotApp;

class MainFrameVoiceShell final : public IVoiceWindowShell {
 public:
  explicit MainFrameVoiceShell(CMainFrame& frame) : m_frame(frame) {}
  int IsDeviceIdle() const override;
  void UpdateVoiceWindows() override;
  void UpdateReportBar() override;
  void UpdateStatusPanes() override;
  void SendCommand(int commandId) override;
  uint8_t* GetClipEntry() override;
  bool HasClipEntry() const override;
  void SetClipEntryValid(bool valid) override;
  CVoice2* GetClipboard() const override;
  void SetClipboard(std::unique_ptr<CVoice2> voice) override;
  CVoiceItem* GetClipVoiceItem() const override;
  int GetClipVoiceKind() const override;
  void SetClipVoiceItem(CVoiceItem* item, int kind) override;

 private:
  CMainFrame& m_frame;
};

/// Registers the voice windows and hands them the frame, its slots, font and the application;
/// the shell lives as long as the frame.
void InstallVoiceWindows(CMainFrame& frame, CTrillotApp& app);
