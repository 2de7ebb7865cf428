// The program's run from its arguments to its exit status, without a window.
#include "app/core/ProgramRun.h"

#include "app/core/HeadlessPresenter.h"
#include "app/core/MainFrameHooks.h"
#include "app/core/ShellHost.h"
#include "platform/settings/IniProfileStore.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"

int ExitStatusOf(CTrillotApp::StartResult result, bool hasOutputPath, bool wroteOutput) {
  using R = CTrillotApp::StartResult;
  switch (result) {
    case R::AlreadyRunning: return 3;
    case R::Ended:
    case R::EndedSilently: return 2;
    case R::BatchEnded: return wroteOutput ? 0 : 1;
    case R::Running: return hasOutputPath ? 1 : 0;
  }
  return 2;
}

namespace {

std::string Line(const char* key, const char* fallback, const std::string& name) {
  const auto text = platform::strings().Find(key);
  return platform::Format(text ? *text : std::string_view(fallback), name);
}

/// The last lines of a batch run that wrote nothing: what could not be opened, then the output.
void ReportNothingWritten(const CTrillotApp& app, IMessagePresenter& presenter) {
  if (app.HasBatchOpenFailed()) {
    presenter.Note(Line("batch.cannotOpen", "Can not open %s.", app.GetCommandLineFile()));
  }
  presenter.Note(Line("batch.nothingWritten", "Nothing was written to %s.", app.GetOutputPath()));
}

}  // namespace

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
  // The start writes a run of settings (a batch run all of its own): they go to disk together.
  profile.SetDeferred(true);
  const CTrillotApp::StartResult result = app.InitInstance(args);
  if (result != CTrillotApp::StartResult::BatchEnded) profile.SetDeferred(false);
  int status = ExitStatusOf(result, app.HasOutputPath() != 0, app.HasWrittenOutput());
  if (result == CTrillotApp::StartResult::BatchEnded && status != 0) ReportNothingWritten(app, presenter);
  if (result == CTrillotApp::StartResult::Running && !app.HasOutputPath()) {
    if (options.whenRunning) {
      status = options.whenRunning(app);
    } else {
      std::fprintf(err, "Trillot: started; the main window is not built yet, so the program ends here.\n");
    }
  }
  // As the framework does after a start: the main window goes first, then the exit.
  profile.SetDeferred(true);
  app.DestroyMainFrame();
  app.ExitInstance();
  profile.SetDeferred(false);
  return status;
}
