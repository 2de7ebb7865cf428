// The text report of the main window that test runs ask for (TRILLOT_UI_REPORT).
#pragma once

#include <QString>

class CMainFrame;

/// The title, the start-up picture while it is up, the frame's geometry ("frame X Y W H"), every menu the frame can install by id
/// with label, shortcut, state and separators, the toolbar buttons, the panes with id, width and
/// text, and the bar controls with visible and enabled.
QString BuildUiReport(CMainFrame& frame);
/// Writes the report; false when the file cannot be written.
bool WriteUiReport(CMainFrame& frame, const QString& path);
