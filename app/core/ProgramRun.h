// The program's run from its arguments to its exit status, without a window.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/core/TrillotApp.h"

/// The exit status of a start: 3 when another instance runs, 2 when the start ended, 1 for a
/// run with an output name that wrote nothing, 0 for a clean start.
int ExitStatusOf(CTrillotApp::StartResult result, bool hasOutputPath);

class MainFrameHooks;

/// What the window side adds to a run.
struct RunOptions {
  /// Gives the hooks the window side's busy picture and wait cursor.
  std::function<void(MainFrameHooks&)> setUpHooks;
  /// Runs after a clean start without an output name, in place of the note that the main
  /// window is not built yet, and gives the exit status.
  std::function<int()> whenRunning;
};

/// Runs start-up and exit over the profile store, with messages on `err`; the exit status.
int RunTrillot(const std::vector<std::string>& args, std::FILE* err = stderr, const RunOptions& options = {});
