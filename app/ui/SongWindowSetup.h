// Opening the song window and the mixers for the main frame: their tool-window classes, the
// host they reach the main frame and the application through, the region edit dialogs of the
// application's Edit commands and the song window's voice editor opener.
#pragma once

#include <QPointer>
#include <string>

#include "app/ui/MainFrame.h"

#include "uikit/CommandRouter.h"
#include "views/SongWindowHost.h"

class CTrillotApp;
class QWidget;

/// The song windows' host over the application and its main frame.
class MainFrameSongWindowHost : public ISongWindowHost, public ui::ICommandTarget {
 public:
  explicit MainFrameSongWindowHost(CTrillotApp& app) : m_app(app) {}
  MainFrameSongWindowHost(const MainFrameSongWindowHost& other) = default;

  /// The frame the windows belong to; its command route gets the Edit commands.
  void Attach(CMainFrame* frame);
  CMainFrame* Frame() const { return m_frame.data(); }
  CTrillotApp& App() const { return m_app; }

  CKZ1Doc* Document() const override;
  void UpdateSongWindows() override;
  int PlayPositionRefresh() const override;
  uint32_t CurrentPlayPosition() const override;
  int IsDeviceIdle() const override;
  QFont InterfaceFont() const override;
  ui::IFrameSlots* FrameSlots() const override;
  void UpdateVoiceWindows() override;
  void UpdateStatusPanes() override;
  void UpdateReportBar() override;
  ui::IToolWindow* FindToolWindow(const std::string& className) const override;
  ui::IToolWindow* OpenToolWindow(const std::string& className, int resourceId) override;
  void PostCommand(int commandId) override;
  IOutputEngine* BoardDevice() const override;
  /// File Close; the song's windows close with the song.
  void FileClose() override;
  void RestoreDefaultMenu() override {}
  uint32_t ChannelTable(int which, int channel) const override;

  // Transpose (32770), Duplicate/Move (32768), Erase (32769).
  bool OnCommand(int id) override;
  bool HandlesCommand(int id) const override;

 private:
  CTrillotApp& m_app;
  QPointer<CMainFrame> m_frame;
};

/// Registers "CChildFrame", the mixers and the song views they open with the tool-window
/// registry, and hands the application its Transpose and region edit dialogs; once per run.
void RegisterSongWindows(CTrillotApp& app);
/// The host of the registered windows; null before RegisterSongWindows.
MainFrameSongWindowHost* SongWindowHostOf();

/// The song window, both mixers and the dialogs as the screenshot run opens them.
QWidget* OpenSongWindowForScreenshot();
QWidget* OpenMixerForScreenshot(bool sixteen);
QWidget* RunRegionEditForScreenshot();
QWidget* RunTransposeForScreenshot();
QWidget* RunChannelStatusForScreenshot();
