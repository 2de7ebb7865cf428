// The tool windows the main frame makes by class name.
#pragma once

/// Registers the song views (event list, piano roll, text score) with the tool-window registry.
/// Safe to call more than once.
void RegisterToolWindowClasses();
