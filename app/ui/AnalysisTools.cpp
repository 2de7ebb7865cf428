#include "app/ui/AnalysisTools.h"

#include "app/ui/VelocityChangeDlg.h"
#include "app/ui/WavePanDlg.h"
#include "uikit/ToolWindow.h"
#include "views/GraphWindows.h"
#include "views/SongViewHost.h"

void RegisterAnalysisTools(const AccessLog& log) {
  ISongViewHost& host = AppSongViewHost::Instance();
  RegisterGraphWindows(host, log);
  ui::ToolWindowRegistry::Instance().Register(
      CVelocityChangeDlg::kClassName, [&host](const ui::ToolWindowContext& c) -> ui::IToolWindow* {
        return new CVelocityChangeDlg(host, c.mainWindow);
      });
  InstallWavePanOpener();
}

QWidget* OpenToolWindowForScreenshot(const char* className, int resourceId, int setting) {
  ui::IToolWindow* w =
      ui::ToolWindowRegistry::Instance().Create(className, ui::ToolWindowContext{nullptr, nullptr, resourceId, setting});
  if (!w) return nullptr;
  if (setting != 0) w->SetOpenSetting(setting);
  return w->Widget();
}

QWidget* RunWavePanForScreenshot() {
  CWavePanDlg dialog;
  dialog.SetValues(CWavePanDlg::kModePanpot, 64);
  dialog.exec();
  return nullptr;
}
