// The text report of the main window that test runs ask for (TRILLOT_UI_REPORT).
#pragma once

#include <QString>

class CMainFrame;

/// The menus by id with label, shortcut, state and separators, the toolbar buttons, the panes
/// with id, width and text, the bar controls with visible and enabled, and the title.
QString BuildUiReport(CMainFrame& frame);
/// Writes the report; false when the file cannot be written.
bool WriteUiReport(CMainFrame& frame, const QString& path);
