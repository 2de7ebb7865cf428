#include "views/SongViewHost.h"

#include <QApplication>

#include "device/AppPlayState.h"
#include "platform/host/HostServices.h"

CKZ1Doc* AppSongViewHost::Document() const { return platform::registry().document; }

void AppSongViewHost::UpdateSongWindows() { platform::ui().UpdateSongWindows(); }

// Without the main frame's own answers, the process-wide refresh flag and position stand in.
int AppSongViewHost::PlayPositionRefresh() const { return m_refreshing ? m_refreshing() : ::PlayPositionRefresh(); }

uint32_t AppSongViewHost::CurrentPlayPosition() const { return m_positionMs ? m_positionMs() : ::CurrentPlayPosition(); }

QFont AppSongViewHost::InterfaceFont() const { return m_hasFont ? m_font : QApplication::font(); }

AppSongViewHost& AppSongViewHost::Instance() {
  static AppSongViewHost host;
  return host;
}
