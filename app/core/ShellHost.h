// Installs the real program's host services for as long as it lives.
#pragma once

#include "app/core/AppBoardCommands.h"
#include "app/core/ConverterBinder.h"
#include "app/core/ConverterReportService.h"
#include "app/core/KZ1ExportService.h"
#include "app/core/MessagePresenter.h"
#include "app/core/UserMessages.h"
#include "platform/host/HostServices.h"

class CTrillotApp;

/// Core code reaches the application object as settings, the profile, the user messages, the
/// converter binder, the board commands of its main frame and its registry of the voice library
/// and song, the KZ-1 export and the converter reports through platform::host() while this object lives, and
/// worker and library threads reach the main window through the notification sink.
class ShellHost {
 public:
  /// `ui` may be null: every window hook then does nothing. `notify` is the main window's sink
  /// (it must outlive the host); null installs none, so every post is dropped as without a
  /// main window.
  ShellHost(CTrillotApp& app, platform::IProfile& profile, IMessagePresenter& presenter,
            platform::IUiHooks* ui = nullptr, platform::INotifySink* notify = nullptr);
  ShellHost(const ShellHost&) = delete;
  ShellHost& operator=(const ShellHost&) = delete;

  UserMessages& Messages() { return m_messages; }
  ConverterBinder& Binder() { return m_binder; }

 private:
  UserMessages m_messages;
  ConverterBinder m_binder;
  AppBoardCommands m_board;
  ConverterReportService m_reports;
  CKZ1ExportService m_kz1Export;
  platform::ScopedHost m_scope;
};
