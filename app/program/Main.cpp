// The program Trillot.
#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/core/MainFrameHooks.h"
#include "app/core/ProgramRun.h"
#include "app/ui/BusyBitmapDlg.h"
#include "app/ui/ScreenshotTable.h"
#include "uikit/WaitCursor.h"

namespace {

bool HasDisplay() {
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

/// TRILLOT_SCREENSHOTS=<folder>: after a clean start the program renders every window of the
/// screenshot table into the folder and ends, with status 0 when every picture was written.
int RunForScreenshots(int argc, char** argv, const std::vector<std::string>& args, const char* folder) {
  if (!HasDisplay()) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setFont(QFont("DejaVu Sans", 9));
  QApplication::setStyle("Fusion");
  RunOptions options;
  options.setUpHooks = [](MainFrameHooks& hooks) {
    hooks.SetBusyPictureFactory([](int kind) { return std::make_unique<BusyPictureToken>(kind); });
    hooks.SetWaitCursorFactory([] { return std::make_unique<ui::WaitCursor>(); });
  };
  options.whenRunning = [folder] { return RenderScreenshots(QString::fromLocal8Bit(folder)); };
  return RunTrillot(args, stderr, options);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const char* screenshots = std::getenv("TRILLOT_SCREENSHOTS");
  if (screenshots && *screenshots) return RunForScreenshots(argc, argv, args, screenshots);
  return RunTrillot(args);
}
