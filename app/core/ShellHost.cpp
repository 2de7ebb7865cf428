// Installs the real program's host services for as long as it lives.
#include "app/core/ShellHost.h"

#include "app/core/TrillotApp.h"
#include "platform/strings/StringTable.h"

ShellHost::ShellHost(CTrillotApp& app, platform::IProfile& profile, IMessagePresenter& presenter,
                     platform::IUiHooks* ui, platform::INotifySink* notify)
    : m_messages(app, presenter, platform::strings()),
      m_binder(),
      m_board(app),
      // A converted song's board data is ready.
      m_kz1Export([&app] { app.SetBoardFlag(1); }),
      m_scope(platform::HostServices{&app, &profile, &m_messages, &m_binder, ui, &m_board, &m_kz1Export,
                                     &app.GetRegistry(), &m_reports, notify}) {}
