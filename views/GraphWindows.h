// Registers the event-density, stream-size and access-log windows with the main frame's
// tool-window registry.
#pragma once

class AccessLog;
class ISongViewHost;

/// "CKZ3EventDensFrm", "CKZ3STMSizeFrm" and "CKZxAccessLogFrm": the windows read the song
/// through `host` and the lines of `log`; both must outlive every window made.
void RegisterGraphWindows(ISongViewHost& host, const AccessLog& log);
