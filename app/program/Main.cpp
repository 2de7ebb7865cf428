// The program Trillot.
#include <QApplication>
#include <QFont>
#include <QTimer>
#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/core/CommandLine.h"
#include "app/core/MainFrameHooks.h"
#include "app/core/ProgramRun.h"
#include "app/core/TrillotApp.h"
#include "app/ui/AppFileCommandTarget.h"
#include "app/ui/AnalysisTools.h"
#include "app/ui/BusyBitmapDlg.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainFrameReport.h"
#include "app/ui/MainFrameVoiceShell.h"
#include "app/ui/MainFrameWindows.h"
#include "app/ui/QtFileChooser.h"
#include "app/ui/ShellDialogs.h"
#include "app/ui/ScreenshotTable.h"
#include "platform/midi/MidiApiChoice.h"
#include "app/ui/SongWindowSetup.h"
#include "app/ui/SplashWnd.h"
#include "platform/strings/StringTable.h"
#include "uikit/InterfaceLanguage.h"
#include "uikit/QtMessagePresenter.h"
#include "uikit/QtNotifySink.h"
#include "uikit/WaitCursor.h"

namespace {

bool HasDisplay() {
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

/// Keeps Qt's own diagnostics off standard error, which holds the program's lines.
void QuietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

/// Once the event loop runs: the test hooks, which end the run through the frame's close.
void ScheduleTestHooks(CTrillotApp& app, int& status) {
  const char* report = NonEmptyEnv("TRILLOT_UI_REPORT");
  const char* screenshots = NonEmptyEnv("TRILLOT_SCREENSHOTS");
  if (!report && !screenshots) return;
  QTimer::singleShot(0, [&app, &status, report, screenshots] {
    auto* frame = dynamic_cast<CMainFrame*>(app.GetMainFrame());
    if (!frame) return;
    if (report && !WriteUiReport(*frame, QString::fromLocal8Bit(report))) status = 1;
    if (screenshots && RenderScreenshots(QString::fromLocal8Bit(screenshots)) != 0) status = 1;
    frame->close();
  });
}

}  // namespace

int main(int argc, char** argv) {
  // A song is read and converted as many small records: the heap grows in large steps, so that
  // it is not extended (and its new pages faulted in) a few kilobytes at a time.
  ::mallopt(M_TOP_PAD, 64 << 20);
  const std::vector<std::string> args(argv + 1, argv + argc);
  // The command line decides the platform before the QApplication exists.
  const bool batch = !ParseCommandLine(args).outputPath.empty();
  if (!HasDisplay()) {
    if (!batch) {
      const auto line = platform::strings().Find("mainframe.noDisplay");
      std::fprintf(stderr, "%s\n", line ? std::string(*line).c_str() : "Trillot: no display.");
      return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  // A conversion plays nothing: standard error keeps its own lines only.
  if (batch) platform::SetNoMidiSystemNotice(false);
  // Nobody reads Qt's own diagnostics in a batch run or on a platform without a screen.
  const QByteArray platformName = qgetenv("QT_QPA_PLATFORM");
  if (batch || platformName.startsWith("offscreen") || platformName.startsWith("minimal"))
    qInstallMessageHandler(QuietMessages);
  QApplication qapp(argc, argv);
  if (ui::IsHeadlessPlatform()) {
    QApplication::setFont(QFont("DejaVu Sans", 9));
    QApplication::setStyle("Fusion");
  }
  ui::ApplyInterfaceLanguage(qapp);
  RegisterToolWindowClasses();
  std::unique_ptr<IMessagePresenter> presenter = ui::MakeMessagePresenter(stderr);
  ui::QtNotifySink sink;
  int hookStatus = 0;
  RunOptions options;
  options.presenter = presenter.get();
  options.notify = &sink;
  options.setUpHooks = [](MainFrameHooks& hooks) {
    hooks.SetBusyPictureFactory([](int kind) { return std::make_unique<BusyPictureToken>(kind); });
    hooks.SetWaitCursorFactory([] { return std::make_unique<ui::WaitCursor>(); });
  };
  // In batch conversion without a screen every file dialog answers Cancel at once.
  QtFileChooser chooser;
  const bool dialogs = !(batch && ui::IsHeadlessPlatform());
  // The File commands follow the frame on the route; they outlive it.
  std::unique_ptr<AppFileCommandTarget> fileCommands;
  options.mainFrameFactory = [&sink, &chooser, &fileCommands, dialogs](
                                 CTrillotApp& app, MainFrameHooks& hooks) -> std::unique_ptr<IMainFrame> {
    if (dialogs) app.SetFileChooser(&chooser);
    // The start-up picture of the window program; a batch run has it switched off.
    CSplashWnd::PrepareStart(app.IsSplashEnabled(), app.GetChipMode(), app.GetOutputProfile());
    fileCommands = std::make_unique<AppFileCommandTarget>(app);
    RegisterAnalysisTools(app.GetAccessLog());
    RegisterSongWindows(app);
    auto frame = std::make_unique<CMainFrame>(app, &hooks);
    frame->AttachNotifySink(&sink);
    frame->AddCommandTarget(fileCommands.get());
    InstallVoiceWindows(*frame, app);
    InstallShellDialogs(app, *frame, ui::IsHeadlessPlatform() ? nullptr : &chooser);
    return frame;
  };
  options.whenRunning = [&hookStatus](CTrillotApp& app) {
    ScheduleTestHooks(app, hookStatus);
    const int status = QApplication::exec();
    return status != 0 ? status : hookStatus;
  };
  return RunTrillot(args, stderr, options);
}
