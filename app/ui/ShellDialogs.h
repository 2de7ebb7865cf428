// The window side of the shell's dialogs: the application's dialog hooks and the route of the
// commands that run them.
#pragma once

class CTrillotApp;
class CMainFrame;
class IFileChooser;

/// Gives the application its About box, web-page opener, Preference, check and information
/// dialogs (owned by `frame`), and puts their commands on the frame's route. `chooser` answers
/// the Preference dialog's folder browser (null: its buttons do nothing).
void InstallShellDialogs(CTrillotApp& app, CMainFrame& frame, IFileChooser* chooser);
