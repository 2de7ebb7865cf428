// The program's MDI main window: menus, toolbar, status panes, the control, report and volume
// bars, the tool-window slots, the player notifications and the voice clipboard.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/core/MainFrame.h"
#include "app/core/MenuModel.h"
#include "platform/host/HostServices.h"
#include "uikit/CommandRouter.h"
#include "uikit/MdiFrame.h"
#include "uikit/ToolWindow.h"

class CTrillotApp;
class MainFrameHooks;
class CTimeEdit;
class CNumberEdit;
class CValueEdit;
class CReportBar;
class CVoice2;
class CVoiceItem;
class CKZ1Doc;
class QDragEnterEvent;
class QDropEvent;
class QComboBox;
class QLabel;
class QMdiArea;
class QTimer;
class QToolBar;
class StatusPane;

namespace ui {
class ActionRegistry;
class MenuBuilder;
class MdiMenuFollower;
class QtNotifySink;
class UpDownControl;
}  // namespace ui

/// Makes the frame's output engine; the set-up engine without ports unless one is given.
using OutputEngineFactory = std::function<std::unique_ptr<IOutputEngine>()>;

class CBoardMonitor;

class CMainFrame final : public QMainWindow,
                         public IMainFrame,
                         public ui::ICommandTarget,
                         public ui::IFrameSlots,
                         public platform::IUiHooks {
 public:
  /// The tool-window slots, in the order the state is saved.
  enum Slot {
    kSongWindow, kPianoRoll, kEventList, kTextScore, kVoiceList1, kVoiceList2, kVoiceList3, kVoiceAssignMap,
    kStreamPcmAssignMap, kEventDensity, kStmSize, kDirectPlay, kMixer4, kMixer16, kVelocityChange, kAccessLog,
    kSlotCount
  };
  /// The class name of each slot's window.
  static const std::array<const char*, kSlotCount>& SlotClassNames();

  /// `hooks`, when given, forwards the window hooks to the frame while it lives.
  explicit CMainFrame(CTrillotApp& app, MainFrameHooks* hooks = nullptr, OutputEngineFactory engineFactory = {});
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // --- Creation and layout ------------------------------------------------------------------
  /// Sets the channel count, the time-base spin range and the volume limits; always 1.
  int ApplyChipMode(int chipMode);
  /// Builds the bars and panes; 0, or -1 when a toolbar picture or a subclassed edit is missing.
  int OnCreate();
  /// Nonzero: the framework's preparation, no change of style.
  int PreCreateWindow() { return 1; }
  /// Space toggles play unless the focus is on "Rp"; true when the key was consumed.
  bool PreTranslateMessage(QObject* watched, QEvent* event);
  /// The title: the song's path, else the direct-play file, else the program's name alone.
  void OnUpdateFrameTitle();
  /// Saves the state, then asks the application to save; false when the user kept it open.
  bool OnClose();
  /// 1 or 2 from "Setting"/"OutputType".
  static int GetOutputKind();
  void SetMidiOutDevice(int index);
  void SetMasterVolumeSpin(int value) override;
  int SetOptionByte1(uint8_t value);
  int SetOptionByte2(uint8_t value);
  uint8_t GetOptionByte1() const { return m_optionByte1; }
  uint8_t GetOptionByte2() const { return m_optionByte2; }
  void ClearTimeRange() override;
  uint32_t GetTimeRangeSpan() const override;
  void SetTimeRange(uint32_t startMs, uint32_t endMs) override;
  bool HasTimeRange() const override;
  void StopPlayback() { OnStop(); }
  /// 1, or 0 at the first failed write.
  int SaveWindowState();
  void SaveToolBarState();
  void LoadToolBarState();
  int GetChannelCount() const { return m_channelCount; }
  void SpLimits(uint8_t out[3]) const;

  // --- Status panes, report bar, blinking ---------------------------------------------------
  void UpdateStatusPanes() override;
  void UpdateReportBar() override;
  int UpdateVolumeBarState();
  int IsVolumeBarChanged() const override;
  /// One tick of the 500 ms blink timer.
  void OnTimer();
  int PaintErrorPane(int red);
  int PaintBlinkPane2(int red);
  int SetReportBarWarning(int red);
  int GetBlinkFlag1() const { return m_mdBlink; }
  void SetBlinkFlag1(int v) { m_mdBlink = v; }
  int GetBlinkFlag2() const { return m_adBlink; }
  void SetBlinkFlag2(int v) { m_adBlink = v; }
  int GetReportBlink() const { return m_reportBlink; }
  void SetReportBlink(int v) { m_reportBlink = v; }
  int GetBlinkPhase() const { return m_blinkPhase; }
  bool IsBlinkTimerRunning() const;
  /// A pane's rectangle in the status bar; empty when the indicator set lacks it.
  QRect PaneRect(int paneId) const;
  /// The width a pane takes (0 for the message pane, which takes what is left).
  int PaneWidthOf(int paneId) const;

  // --- Notifications and refresh ------------------------------------------------------------
  /// The worker threads' messages, by wParam; always 1.
  int OnPlayerNotify(intptr_t wParam, intptr_t lParam);
  void UpdateSongWindows() override;
  void UpdateVoiceWindows() override;
  void CloseToolWindows() override;
  void ResetEditorDialogs() override;
  void UpdateFrameTitle() override { OnUpdateFrameTitle(); }
  bool IsDirectPlayOpen() const override { return m_slots[kDirectPlay] != nullptr; }
  bool OpenDirectPlay(const std::string& path) override;
  bool SongMenuHasCommand(int commandId) const override;
  void OnFileAccessLog();
  void OnUpdateFileAccessLog(ui::CmdUI& cmdUi) const;
  /// The bank MSB, bank LSB and program of each channel's voice, filled by the refreshes.
  const std::array<uint32_t, 16>& ChannelBankMsb() const { return m_bankMsb; }
  const std::array<uint32_t, 16>& ChannelBankLsb() const { return m_bankLsb; }
  const std::array<uint32_t, 16>& ChannelProgram() const { return m_program; }

  // --- Tool windows -------------------------------------------------------------------------
  ui::IToolWindow* GetSlot(int slot) const { return slot >= 0 && slot < kSlotCount ? m_slots[slot] : nullptr; }
  void SetSlot(int slot, ui::IToolWindow* window);
  void SetFrameSlot(const std::string& stateName, ui::MdiFrame* frame) override;
  /// Opens a registered class (activating the window in its slot when there is one); the
  /// window, or null when its class is not registered.
  ui::IToolWindow* OpenToolWindow(int slot, int resourceId, int setting = 0);
  QMdiArea* MdiArea() const { return m_mdiArea; }
  /// The interface font of the tool windows.
  QFont InterfaceFont() const;

  // --- Queries other windows call -----------------------------------------------------------
  int IsDeviceIdle() const;
  int GetSelectedSection() const override;
  bool GetTBOption() const override;
  int GetKeyChange() const override;
  int GetTempoChange() const override;
  void LoadVolumeBar(int direction) override;
  int ApplyMasterVolume() const;
  std::string GetVolumePresetName() const override;
  int GetFMMMode() const { return m_fmmMode; }
  int SetFMMMode(int value);
  bool IsQXCueEnabled() const override { return m_fmmMode != 0; }

  // --- Transport and control bar (MainFrameTransport.cpp) ------------------------------------
  static constexpr int kPlayCommand = 1387;
  static constexpr int kStopCommand = 1391;
  static constexpr int kRewindCommand = 1388;
  void OnRewind();
  void OnRepeat();
  /// Play and Rewind (1387, 1388), and Stop (1391).
  void OnUpdatePlay(ui::CmdUI& cmdUi) const;
  void OnUpdateStop(ui::CmdUI& cmdUi) const;
  /// The up-down notifications: the position before the step and the step; `refuse` vetoes it.
  void OnDeltaposPhSpin(int position, int delta, bool& refuse);
  void OnDeltaposTBSpin(int position, int delta, bool& refuse);
  /// The time-base change of chip modes 3 and 5; 0 without a song, else 1.
  int OnCtrlBarTimebase(int n);
  void OnSelchangeCombo1377();
  void OnSelchangeTBCombo();
  void OnSelchangeKCCombo();
  void OnSelchangeTCCombo();
  /// How Play sends the song to a serial board; 1 when sent. Without one nothing can be sent.
  void SetSongSender(std::function<int()> send) { m_sendSongToBoard = std::move(send); }

  // --- Volume bar (MainFrameVolume.cpp) -----------------------------------------------------
  void OnDeltaposMVSpin(int position, int delta, bool& refuse);
  void OnDeltaposSPSpin(int position, int delta, bool& refuse);
  void OnDeltaposHPSpin(int position, int delta, bool& refuse);
  void OnDeltaposEQSpin(int position, int delta, bool& refuse);
  void OnChangeMVEdit();
  void OnChangeSPEdit();
  void OnChangeHPEdit();
  void OnChangeEQEdit();
  void OnSelchangeVolumePreset();
  void OnVolumeSet();
  void OnUpdateVolumeSet(ui::CmdUI& cmdUi) const;

  // --- Tool-window, voice-transfer, bar, undo, FMM and drop commands (MainFrameCommands.cpp) -
  void OnVoiceList();
  void OnVoiceAssignMap();
  void OnStreamPcmAssignMap();
  void OnEventDensity();
  void OnSTMSize();
  void OnMixer();
  void OnVelocityChange();
  void OnEditUndoRedo();
  /// Toggles a bar (59392 toolbar, 32795 control bar, 40978 report bar, 40985 volume bar).
  void ToggleBar(int commandId);
  void OnCommand32791();
  void OnSendAssignedVoiceMessage();
  void OnSendStreamPcmWaveMessage();

  // --- Voices between the song and the library, contents information (MainFrameVoiceList.cpp)
  /// After 7138: the library's voices over the song's user voices; then the voice windows and
  /// the report bar are refreshed.
  void OnImportFromVoiceList();
  /// After 7139: the song's user voices into the library; then the same refresh.
  void OnExportToVoiceList();
  /// The contents-information dialog of the output profile, with a song in chip modes 3 and 5.
  void OnEditInformation();
  /// A drop of files on the main window.
  void OnDropFiles(const std::vector<std::string>& paths);
  bool HasSendableVoices() const;
  bool HasStreamPcmWaves() const;
  /// The voice editor's operator clip: one 7-byte record.
  static constexpr int kVoiceClipSize = 7;
  void PutVoiceClip(const uint8_t* record) override;
  int GetVoiceClip(uint8_t* record) const override;
  bool HasVoiceClip() const override { return m_voiceClipValid; }

  // --- Voice clipboard ----------------------------------------------------------------------
  static constexpr int kClipEntrySize = 33;
  uint8_t* GetClipEntry() { return m_clipEntry.data(); }
  bool HasClipEntry() const { return m_clipEntryValid; }
  void SetClipEntryValid(bool valid) { m_clipEntryValid = valid; }
  CVoice2* GetClipboard() const { return m_clipVoice2.get(); }
  void SetClipboard(std::unique_ptr<CVoice2> voice);
  CVoiceItem* GetClipVoiceItem() const { return m_clipItem.get(); }
  int GetClipVoiceKind() const { return m_clipKind; }
  /// Replaces the voice item and its kind; the item replaced is deleted.
  void SetClipVoiceItem(CVoiceItem* item, int kind);

  // --- Commands -----------------------------------------------------------------------------
  ui::CommandRouter& Router() { return *m_router; }
  ui::ActionRegistry& Actions() { return *m_actions; }
  bool OnCommand(int id) override;
  bool OnUpdate(int id, ui::CmdUI& cmdUi) override;
  bool HandlesCommand(int id) const override;
  /// The menu model of a resource after the start-up's edits.
  const MenuModel& Menu(int resource) const;
  QToolBar* ToolBar() const { return m_toolBar; }
  QToolBar* ControlBar() const { return m_controlBar; }
  QToolBar* ReportBar() const { return m_reportBarHost; }
  QToolBar* VolumeBar() const { return m_volumeBar; }
  CReportBar* ReportBarWidget() const { return m_reportBar; }
  CTimeEdit* PlayTimeDisplay() const { return m_playTime; }
  /// The status bar's panes by id, left to right (0 the message pane).
  const std::vector<int>& Indicators() const { return m_indicators; }
  QString PaneText(int paneId) const;
  /// The sink's posts reach OnPlayerNotify from now until the frame goes.
  void AttachNotifySink(ui::QtNotifySink* sink);
  /// A target after the frame on the route of commands (the application's commands).
  void AddCommandTarget(ui::ICommandTarget* target) { m_appTargets.push_back(target); }

  // --- IMainFrame ---------------------------------------------------------------------------
  bool LoadFrame(int resourceId) override;
  WindowPlacement GetPlacement() const override;
  PlacementRect GetWindowRect() const override;
  void SetPlacement(const WindowPlacement& placement) override;
  /// A rectangle moved and cut to lie within the available geometry of its screen.
  static QRect FitToScreen(const QRect& wanted);
  void ShowWindow(int showCmd) override;
  void UpdateWindow() override;
  void DragAcceptFiles(bool accept) override { setAcceptDrops(accept); }
  void DestroyWindow() override;
  void ApplyMenuEdits(const std::vector<MenuEdit>& edits) override;
  void PostCommand(int commandId) override;
  bool OpenSongWindow() override;
  /// Creates the serial board's monitor (handshakes every 300000 ms) when there is none, or
  /// terminates and deletes it.
  void EnableBoardMonitor(bool enable) override;
  CBoardMonitor* GetBoardMonitor() const { return m_boardMonitor.get(); }
  void OnStop() override;
  void OnPlay();
  void SendCommand(int commandId) override { m_router->Dispatch(commandId); }
  IOutputEngine* GetBoardDevice() override { return m_engine.get(); }

  // --- Window hooks -------------------------------------------------------------------------
  void FillSectionCombo() override;
  void AccessLogChanged() override;
  void ChipModeChanged(int chipMode) override;
  void SetVelocityChannelMode(int mode) override;
  void RebuildStreamSizeGraph() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildToolBar();
  bool BuildStatusBar();
  bool BuildControlBar();
  bool BuildVolumeBar();
  void BuildReportBar();
  void CreateToolDialogs();
  void RebuildMenuBar(int resource);
  /// The menus 1008, 1013 and 1014 from the main menu as it stands.
  void BuildToolMenus();
  void SetPaneText(int paneId, const QString& text);
  void StartBlinkTimer();
  void StopBlinkTimer();
  void PaintPanes(std::initializer_list<int> panes, bool red);
  void RefreshChannelTables();
  void RefreshSlots(std::initializer_list<int> slotList);
  void DockFloatingBarsAtTop();
  QWidget* BarControl(int id) const;
  // Transport and bars.
  void RunPlay();
  void RunStop();
  bool PlayOnSerialBoard(CKZ1Doc& doc);
  void PlayDirectFile();
  void CloseMidiThru();
  void FocusTransportButton(int id);
  void ConnectControlBar();
  void ConnectVolumeBar();
  void WriteMasterVolumeIntoSong();
  int ReadLevelEdit(CValueEdit* edit);
  // Frame commands.
  bool HandlesFrameCommand(int id) const;
  bool RunFrameCommand(int id);
  bool UpdateFrameCommand(int id, ui::CmdUI& cmdUi);
  QToolBar* BarOfCommand(int id) const;
  void ToggleDialog(int slot);
  void ClearCuePoints();
  void RefreshAll();
  CTrillotApp& m_app;

  CTimeEdit* m_playTime = nullptr;
  CNumberEdit* m_timeBase = nullptr;
  CValueEdit* m_mvEdit = nullptr;
  CValueEdit* m_spEdit = nullptr;
  CValueEdit* m_hpEdit = nullptr;
  CValueEdit* m_eqEdit = nullptr;
  uint8_t m_spLimits[3] = {0, 0, 0};
  uint8_t m_eqLimits[3] = {0, 0, 0};
  uint8_t m_hpLimits[3] = {0, 0, 0};
  int m_channelCount = 16;
  int m_timeBaseSpinMax = 0xFFFF;
  QToolBar* m_controlBar = nullptr;
  QToolBar* m_reportBarHost = nullptr;
  CReportBar* m_reportBar = nullptr;
  QToolBar* m_volumeBar = nullptr;
  std::unique_ptr<CBoardMonitor> m_boardMonitor;
  std::array<uint8_t, kClipEntrySize> m_clipEntry{};
  bool m_clipEntryValid = false;
  std::unique_ptr<CVoice2> m_clipVoice2;
  std::unique_ptr<CVoiceItem> m_clipItem;
  int m_clipKind = 0;
  int m_fmmMode = 0;
  std::unique_ptr<IOutputEngine> m_engine;
  int m_mdBlink = 0;
  int m_adBlink = 0;
  QTimer* m_blinkTimer = nullptr;
  int m_reportBlink = 0;
  int m_blinkPhase = 0;
  std::array<ui::IToolWindow*, kSlotCount> m_slots{};
  std::array<uint32_t, 16> m_bankMsb{};
  std::array<uint32_t, 16> m_bankLsb{};
  std::array<uint32_t, 16> m_program{};
  uint8_t m_optionByte1 = 0;
  uint8_t m_optionByte2 = 0;
  bool m_created = false;
  bool m_closing = false;

  QToolBar* m_toolBar = nullptr;
  QMdiArea* m_mdiArea = nullptr;
  std::vector<int> m_indicators;
  std::map<int, StatusPane*> m_panes;
  std::map<int, MenuModel> m_menus;
  std::unique_ptr<ui::ActionRegistry> m_actions;
  std::unique_ptr<ui::CommandRouter> m_router;
  std::unique_ptr<ui::MenuBuilder> m_menuBuilder;
  std::unique_ptr<ui::MdiMenuFollower> m_menuFollower;
  ui::QtNotifySink* m_sink = nullptr;
  QObject* m_eventFilter = nullptr;
  MainFrameHooks* m_hooks = nullptr;
  std::vector<ui::ICommandTarget*> m_appTargets;
  std::unique_ptr<ui::ICommandTarget> m_appCommands;
  std::function<int()> m_sendSongToBoard;
  std::array<uint8_t, kVoiceClipSize> m_voiceClip{};
  bool m_voiceClipValid = false;
};
