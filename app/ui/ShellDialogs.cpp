#include "app/ui/ShellDialogs.h"

#include <QDesktopServices>
#include <QPointer>
#include <QUrl>

#include "app/core/ShellDialogCommands.h"
#include "app/core/TrillotApp.h"
#include "app/ui/AboutDlg.h"
#include "app/ui/InformationDlg.h"
#include "app/ui/MainFrame.h"
#include "app/ui/PolyscanDlg.h"
#include "app/ui/PreferenceDlg.h"
#include "app/ui/PreferenceDlgKZ3.h"
#include "uikit/CommandRouter.h"
#include "uikit/UiText.h"

namespace {

/// The commands on the frame's route; deleted with the frame.
class ShellCommandTarget final : public QObject, public ui::ICommandTarget {
 public:
  ShellCommandTarget(CTrillotApp& app, QObject* owner) : QObject(owner), m_commands(app) {}
  bool OnCommand(int id) override { return m_commands.Run(id); }
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override {
    if (!m_commands.Handles(id)) return false;
    cmdUi.enabled = m_commands.Enabled(id);
    return true;
  }
  bool HandlesCommand(int id) const override { return m_commands.Handles(id); }

 private:
  ShellDialogCommands m_commands;
};

}  // namespace

void InstallShellDialogs(CTrillotApp& app, CMainFrame& frame, IFileChooser* chooser) {
  QPointer<CMainFrame> owner(&frame);
  app.SetAboutBox([owner] {
    CAboutDlg about(owner);
    about.exec();
  });
  app.SetUrlOpener([](const std::string& url) { QDesktopServices::openUrl(QUrl(ui::Q(url))); });
  CTrillotApp::ShellDialogs dialogs;
  dialogs.preference = [&app, owner, chooser]() -> int {
    if (app.GetChipMode() == 1 || app.GetChipMode() == 2) {
      CPreferenceDlg preference(app, owner);
      return preference.exec() == QDialog::Accepted ? 1 : 0;
    }
    CPreferenceDlgKZ3 preference(app, chooser, owner);
    return preference.DoModal();
  };
  dialogs.polyscan = [owner]() -> int {
    CPolyscanDlg check(owner);
    check.exec();
    return 1;
  };
  dialogs.information = [owner](bool mfi) -> int {
    if (mfi) {
      CMFiInfoDlg info(owner);
      return info.DoModal() == QDialog::Accepted ? 1 : 0;
    }
    CInformationDlg info(owner);
    return info.DoModal() == QDialog::Accepted ? 1 : 0;
  };
  app.SetShellDialogs(std::move(dialogs));
  frame.AddCommandTarget(new ShellCommandTarget(app, &frame));
}
