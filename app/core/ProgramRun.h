// The program's run from its arguments to its exit status, without a window.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/TrillotApp.h"

/// The exit status of a start: 3 when another instance runs, 2 when the start ended, 1 for a
/// run with an output name that wrote nothing, 0 for a clean start or a batch run that wrote
/// its output.
int ExitStatusOf(CTrillotApp::StartResult result, bool hasOutputPath, bool wroteOutput = false);

class MainFrameHooks;

class IMessagePresenter;
namespace platform {
class INotifySink;
}

/// What the window side adds to a run.
struct RunOptions {
  /// Gives the hooks the window side's busy picture and wait cursor.
  std::function<void(MainFrameHooks&)> setUpHooks;
  /// Makes the main frame of step 9; the headless one when not given.
  std::function<std::unique_ptr<IMainFrame>(CTrillotApp&, MainFrameHooks&)> mainFrameFactory;
  /// Shows the user messages; the headless presenter on the error stream when not given.
  IMessagePresenter* presenter = nullptr;
  /// Where worker posts go; none when not given.
  platform::INotifySink* notify = nullptr;
  /// Runs after a clean start without an output name (the window's event loop), and gives
  /// the exit status.
  std::function<int(CTrillotApp&)> whenRunning;
};

/// Runs start-up and exit over the profile store, with messages on `err`; the exit status. A
/// batch run that wrote nothing ends with "Nothing was written to" the output name.
int RunTrillot(const std::vector<std::string>& args, std::FILE* err = stderr, const RunOptions& options = {});
