#include "views/SongViewHost.h"

#include <QApplication>

#include "platform/host/HostServices.h"

CKZ1Doc* AppSongViewHost::Document() const { return platform::registry().document; }

void AppSongViewHost::UpdateSongWindows() { platform::ui().UpdateSongWindows(); }

int AppSongViewHost::PlayPositionRefresh() const { return m_refreshing ? m_refreshing() : 0; }

uint32_t AppSongViewHost::CurrentPlayPosition() const { return m_positionMs ? m_positionMs() : 0; }

QFont AppSongViewHost::InterfaceFont() const { return m_hasFont ? m_font : QApplication::font(); }

AppSongViewHost& AppSongViewHost::Instance() {
  static AppSongViewHost host;
  return host;
}
