// The application's File commands on the window's command route, after the main frame.
#include "app/ui/AppFileCommandTarget.h"

#include "app/core/TrillotApp.h"

bool AppFileCommandTarget::OnCommand(int id) { return m_app.RunFileCommand(id); }

bool AppFileCommandTarget::OnUpdate(int id, ui::CmdUI& cmdUi) {
  if (!m_app.IsFileCommand(id)) return false;
  cmdUi.enabled = m_app.IsFileCommandEnabled(id);
  return true;
}

bool AppFileCommandTarget::HandlesCommand(int id) const { return m_app.IsFileCommand(id); }
