#include "app/ui/MainFrameVoiceShell.h"

#include <QObject>

#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/QtFileChooser.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "voice/ui/VListHooks.h"
#include "voice/ui/VoiceWindowHost.h"
#include "voice/ui/VoiceWindowRegistration.h"

int MainFrameVoiceShell::IsDeviceIdle() const { return m_frame.IsDeviceIdle(); }
void MainFrameVoiceShell::UpdateVoiceWindows() { m_frame.UpdateVoiceWindows(); }
void MainFrameVoiceShell::UpdateReportBar() { m_frame.UpdateReportBar(); }
void MainFrameVoiceShell::UpdateStatusPanes() { m_frame.UpdateStatusPanes(); }
// The frame's own handler, not the route: the route starts at the window that asks, which
// would take the command again.
void MainFrameVoiceShell::SendCommand(int commandId) { m_frame.OnCommand(commandId); }
uint8_t* MainFrameVoiceShell::GetClipEntry() { return m_frame.GetClipEntry(); }
bool MainFrameVoiceShell::HasClipEntry() const { return m_frame.HasClipEntry(); }
void MainFrameVoiceShell::SetClipEntryValid(bool valid) { m_frame.SetClipEntryValid(valid); }
CVoice2* MainFrameVoiceShell::GetClipboard() const { return m_frame.GetClipboard(); }
void MainFrameVoiceShell::SetClipboard(std::unique_ptr<CVoice2> voice) { m_frame.SetClipboard(std::move(voice)); }
CVoiceItem* MainFrameVoiceShell::GetClipVoiceItem() const { return m_frame.GetClipVoiceItem(); }
int MainFrameVoiceShell::GetClipVoiceKind() const { return m_frame.GetClipVoiceKind(); }
void MainFrameVoiceShell::SetClipVoiceItem(CVoiceItem* item, int kind) { m_frame.SetClipVoiceItem(item, kind); }

void InstallVoiceWindows(CMainFrame& frame, CTrillotApp& app) {
  RegisterVoiceWindows();
  auto* shell = new MainFrameVoiceShell(frame);
  auto* commands = new VoiceCommandTarget();
  frame.AddCommandTarget(commands);
  VoiceWindowHost::SetShell(shell);
  VoiceWindowHost::SetFrameSlots(&frame);
  VoiceWindowHost::SetFont(frame.InterfaceFont());
  VoiceWindowHost::SetEditShell(VoiceEditShell{&app, &frame});
  static QtFileChooser bankFiles;
  vlist_hooks::SetFileChooser(&bankFiles);
  // The shell goes with the frame; the windows fall back to the stand-in after that.
  QObject::connect(&frame, &QObject::destroyed, [shell, commands] {
    VoiceWindowHost::SetShell(nullptr);
    VoiceWindowHost::SetFrameSlots(nullptr);
    VoiceWindowHost::SetEditShell(VoiceEditShell{});
    vlist_hooks::SetFileChooser(nullptr);
    delete shell;
    delete commands;
  });
}
