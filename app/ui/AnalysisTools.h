// Registers the graph and access-log windows and the velocity dialog with the main frame's
// tool-window registry, installs the wave-pan opener, and opens them for the screenshot run.
#pragma once

class AccessLog;
class QWidget;

/// Before the main frame is made (it creates the velocity dialog in its constructor). The
/// windows read the process's song through the song-view host; `log` outlives them.
void RegisterAnalysisTools(const AccessLog& log);

/// A registered window alone, with its opening setting; null when its class is not registered.
QWidget* OpenToolWindowForScreenshot(const char* className, int resourceId, int setting);
/// Modal: runs the wave-pan dialog until the screenshot run closes it; null.
QWidget* RunWavePanForScreenshot();
