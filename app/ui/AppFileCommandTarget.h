// The application's File commands on the window's command route, after the main frame.
#pragma once

#include "uikit/CommandRouter.h"

class CTrillotApp;

class AppFileCommandTarget final : public ui::ICommandTarget {
 public:
  explicit AppFileCommandTarget(CTrillotApp& app) : m_app(app) {}

  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;

 private:
  CTrillotApp& m_app;
};
