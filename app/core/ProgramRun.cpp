// The program's run from its arguments to its exit status, without a window.
#include "app/core/ProgramRun.h"

#include "app/core/HeadlessPresenter.h"
#include "app/core/MainFrameHooks.h"
#include "app/core/ShellHost.h"
#include "platform/settings/IniProfileStore.h"

int ExitStatusOf(CTrillotApp::StartResult result, bool hasOutputPath) {
  using R = CTrillotApp::StartResult;
  switch (result) {
    case R::AlreadyRunning: return 3;
    case R::Ended:
    case R::EndedSilently: return 2;
    case R::BatchEnded: return 1;
    case R::Running: return hasOutputPath ? 1 : 0;
  }
  return 2;
}

int RunTrillot(const std::vector<std::string>& args, std::FILE* err, const RunOptions& options) {
  platform::IniProfileStore profile(platform::IniProfileStore::DefaultPath());
  HeadlessPresenter headless(err);
  IMessagePresenter& presenter = options.presenter ? *options.presenter : headless;
  CTrillotApp app;
  MainFrameHooks hooks(app);
  if (options.setUpHooks) options.setUpHooks(hooks);
  if (options.mainFrameFactory) {
    app.SetMainFrameFactory([&options, &app, &hooks] { return options.mainFrameFactory(app, hooks); });
  }
  // The sink goes in with the other services, once.
  ShellHost shell(app, profile, presenter, &hooks, options.notify);
  const CTrillotApp::StartResult result = app.InitInstance(args);
  int status = ExitStatusOf(result, app.HasOutputPath() != 0);
  if (result == CTrillotApp::StartResult::Running && !app.HasOutputPath()) {
    if (options.whenRunning) {
      status = options.whenRunning(app);
    } else {
      std::fprintf(err, "Trillot: started; the main window is not built yet, so the program ends here.\n");
    }
  }
  // As the framework does after a start: the main window goes first, then the exit.
  app.DestroyMainFrame();
  app.ExitInstance();
  return status;
}
