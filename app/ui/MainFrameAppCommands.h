// The application's voice-bank and option commands on the main window's route of commands.
#pragma once

#include "uikit/CommandRouter.h"

class CMainFrame;
class CTrillotApp;

class AppVoiceOptionCommands final : public ui::ICommandTarget {
 public:
  AppVoiceOptionCommands(CTrillotApp& app, CMainFrame& frame) : m_app(app), m_frame(frame) {}
  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;

 private:
  CTrillotApp& m_app;
  CMainFrame& m_frame;
};
