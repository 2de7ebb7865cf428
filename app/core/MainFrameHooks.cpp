// The window-side hooks core code calls, answered by the application's main frame while it lives.
#include "app/core/MainFrameHooks.h"

#include "app/core/TrillotApp.h"

void MainFrameHooks::UpdateSongWindows() {
  if (IMainFrame* frame = m_app.GetMainFrame()) frame->UpdateSongWindows();
}

void MainFrameHooks::UpdateVoiceWindows() {
  if (IMainFrame* frame = m_app.GetMainFrame()) frame->UpdateVoiceWindows();
}

void MainFrameHooks::UpdateStatusPanes() {
  if (IMainFrame* frame = m_app.GetMainFrame()) frame->UpdateStatusPanes();
}

void MainFrameHooks::UpdateReportBar() {
  if (IMainFrame* frame = m_app.GetMainFrame()) frame->UpdateReportBar();
}

void MainFrameHooks::RequestUndo() {
  constexpr int kUndoCommand = 57643;
  if (IMainFrame* frame = m_app.GetMainFrame()) frame->PostCommand(kUndoCommand);
}

bool MainFrameHooks::HasMainWindow() const { return m_app.GetMainFrame() != nullptr; }
