// The main window's player notifications, the refresh of the other windows, its tool-window
// slots, its own commands and the Space key.
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolBar>

#include "app/core/AppPlayState.h"
#include "app/core/MenuEdits.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DropAcceptGuard.h"
#include "uikit/QtNotifySink.h"
#include "uikit/UiText.h"

namespace {

constexpr int kMsgUnexpectedProblem = 7081;
constexpr int kAccessLogCommand = 40980;
constexpr int kCascadeCommand = 57650;
constexpr int kTileCommand = 57651;
constexpr int kExitCommand = 57665;
constexpr int kAccessLogResource = 2551;
constexpr int kDirectPlayResource = 1012;

/// Sets the refresh flag for one refresh and clears it after, whatever happens inside.
class RefreshScope {
 public:
  RefreshScope() { appPlayState().suppressPositionPosts.store(true); }
  ~RefreshScope() { appPlayState().suppressPositionPosts.store(false); }
  RefreshScope(const RefreshScope&) = delete;
  RefreshScope& operator=(const RefreshScope&) = delete;
};

}  // namespace

int CMainFrame::OnPlayerNotify(intptr_t wParam, intptr_t lParam) {
  CKZ1Doc* doc = m_app.GetDocument();
  if (m_app.HasBoardLink()) {
    if (wParam == 0) {
      // The board's handshake failed: the program ends as a failed start does.
      platform::ShowMessage(kMsgUnexpectedProblem);
      m_app.ExitProcess(2);
      return 1;
    }
    if (wParam == 1) {
      if (lParam != 0 && doc) {
        RefreshScope scope;
        appPlayState().playPositionMs.store(m_app.GetBoardPlaybackState());
        UpdateSongWindows();
        UpdateStatusPanes();
        repaint();
      } else {
        OnStop();
      }
    }
    return 1;
  }
  const bool songOrDirect = doc || m_slots[kDirectPlay];
  switch (wParam) {
    case 8: {
      if (!m_engine || !songOrDirect) {
        OnStop();
        return 1;
      }
      if (PlayPositionRefresh()) return 1;
      RefreshScope scope;
      const int chipMode = m_app.GetChipMode();
      const int profile = m_app.GetOutputProfile();
      if ((chipMode == 3 && profile != 4 && profile != 6) || chipMode == 5) {
        uint32_t position = 0;
        if (m_engine->ReadBoardInfo(&position, nullptr, nullptr, nullptr)) {
          if (doc) position += doc->GetSectionStartTime(0, 0) + static_cast<uint32_t>(doc->GetBoardValue());
          appPlayState().playPositionMs.store(position);
        }
      } else {
        appPlayState().playPositionMs.store(m_engine->GetPlayPosition());
      }
      UpdateSongWindows();
      UpdateStatusPanes();
      repaint();
      return 1;
    }
    case 9:
      if (appPlayState().repeat.load()) {
        if (doc && m_engine) {
          const uint32_t start = doc->GetSectionStartTime(GetSelectedSection(), 0);
          m_engine->SetStartTime(1, start + static_cast<uint32_t>(doc->GetBoardValue()));
        }
      } else {
        OnStop();
      }
      return 1;
    case 10:
      if (m_engine && songOrDirect && m_sink) m_sink->RemovePosted(platform::kWmPlaySecond);
      return 1;
    default: return 1;
  }
}

void CMainFrame::RefreshChannelTables() {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc) return;
  for (int k = 0; k < m_channelCount && k < 16; ++k) {
    m_bankMsb[k] = static_cast<uint32_t>(doc->GetChannelBankMsb(k)) & 0xFF;
    m_bankLsb[k] = static_cast<uint32_t>(doc->GetChannelBankLsb(k)) & 0xFF;
    m_program[k] = static_cast<uint32_t>(doc->GetChannelProgram(k)) & 0xFF;
  }
}

void CMainFrame::RefreshSlots(std::initializer_list<int> slotList) {
  for (int slot : slotList)
    if (ui::IToolWindow* w = m_slots[slot]) w->Refresh();
}

void CMainFrame::UpdateSongWindows() {
  RefreshChannelTables();
  RefreshSlots({kSongWindow, kPianoRoll, kEventList, kMixer4, kMixer16, kVoiceAssignMap, kStreamPcmAssignMap,
                kEventDensity, kStmSize, kAccessLog});
}

void CMainFrame::UpdateVoiceWindows() {
  RefreshChannelTables();
  RefreshSlots({kSongWindow, kPianoRoll, kVoiceList1, kVoiceList2, kVoiceList3, kMixer4, kMixer16, kVoiceAssignMap,
                kStreamPcmAssignMap});
}

void CMainFrame::CloseToolWindows() {
  OnStop();
  for (int slot : {kPianoRoll, kEventList, kTextScore, kVoiceAssignMap, kStreamPcmAssignMap, kEventDensity, kStmSize,
                   kDirectPlay, kSongWindow}) {
    if (ui::IToolWindow* w = m_slots[slot]) {
      w->CloseWindow();
      m_slots[slot] = nullptr;
    }
  }
  setWindowTitle(QStringLiteral("Trillot"));
}

bool CMainFrame::OpenDirectPlay(const std::string& path) {
  ui::IToolWindow* w = OpenToolWindow(kDirectPlay, kDirectPlayResource);
  if (w) w->Widget()->setWindowFilePath(ui::Q(path));
  OnUpdateFrameTitle();
  return w != nullptr;
}

bool CMainFrame::SongMenuHasCommand(int commandId) const {
  auto it = m_menus.find(kSongMenu);
  return it != m_menus.end() && it->second.FindCommand(commandId) != nullptr;
}

void CMainFrame::ResetEditorDialogs() {
  for (int slot : {kVoiceAssignMap, kStreamPcmAssignMap}) {
    if (ui::IToolWindow* w = m_slots[slot]) {
      w->CloseWindow();
      m_slots[slot] = nullptr;
    }
  }
  for (int slot : {kMixer4, kMixer16, kVelocityChange}) {
    if (ui::IToolWindow* w = m_slots[slot]) {
      w->Reset();
      w->ShowWindow(false);
    }
  }
}

void CMainFrame::OnFileAccessLog() {
  if (ui::IToolWindow* log = m_slots[kAccessLog]) {
    log->CloseWindow();
    m_slots[kAccessLog] = nullptr;
    return;
  }
  OpenToolWindow(kAccessLog, kAccessLogResource);
}

void CMainFrame::OnUpdateFileAccessLog(ui::CmdUI& cmdUi) const { cmdUi.checked = m_slots[kAccessLog] != nullptr; }

void CMainFrame::SetSlot(int slot, ui::IToolWindow* window) {
  if (slot >= 0 && slot < kSlotCount) m_slots[slot] = window;
}

void CMainFrame::SetFrameSlot(const std::string& stateName, ui::MdiFrame* frame) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (stateName != SlotClassNames()[slot]) continue;
    if (frame || m_slots[slot] == nullptr || dynamic_cast<ui::MdiFrame*>(m_slots[slot])) m_slots[slot] = frame;
    return;
  }
}

ui::IToolWindow* CMainFrame::OpenToolWindow(int slot, int resourceId, int setting) {
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  if (ui::IToolWindow* open = m_slots[slot]) {
    open->ShowWindow(true);
    if (auto* sub = dynamic_cast<QMdiSubWindow*>(open->Widget()); sub && m_mdiArea) m_mdiArea->setActiveSubWindow(sub);
    return open;
  }
  ui::ToolWindowContext context{this, this, resourceId, setting};
  ui::IToolWindow* w = ui::ToolWindowRegistry::Instance().Create(SlotClassNames()[slot], context);
  if (!w) return nullptr;
  if (!m_slots[slot]) m_slots[slot] = w;
  if (setting != 0) w->SetOpenSetting(setting);
  if (auto* sub = dynamic_cast<QMdiSubWindow*>(w->Widget()); sub && m_mdiArea) {
    m_mdiArea->addSubWindow(sub);
    sub->show();
  } else {
    w->ShowWindow(true);
  }
  return w;
}

bool CMainFrame::PreTranslateMessage(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || QApplication::activeModalWidget()) return false;
  // Only keys of the main window, its bars (floating ones too) and its children count.
  for (QWidget* w = widget; w != this; w = w->parentWidget()) {
    if (!w || (w->isWindow() && !qobject_cast<QToolBar*>(w))) return false;
  }
  if (widget->objectName() == QStringLiteral("c1383")) return false;
  CDropAcceptGuard guard(this);
  if (m_engine && m_engine->IsPlaying()) {
    OnStop();
  } else {
    OnPlay();
  }
  return true;
}

bool CMainFrame::HandlesCommand(int id) const {
  return HandlesFrameCommand(id) || id == kAccessLogCommand || id == kCascadeCommand || id == kTileCommand || id == kExitCommand;
}

bool CMainFrame::OnCommand(int id) {
  switch (id) {
    case kAccessLogCommand: OnFileAccessLog(); return true;
    case kCascadeCommand: m_mdiArea->cascadeSubWindows(); return true;
    case kTileCommand: m_mdiArea->tileSubWindows(); return true;
    case kExitCommand: close(); return true;
    default: return RunFrameCommand(id);
  }
}

bool CMainFrame::OnUpdate(int id, ui::CmdUI& cmdUi) {
  if (id != kAccessLogCommand) return UpdateFrameCommand(id, cmdUi);
  OnUpdateFileAccessLog(cmdUi);
  return true;
}

void CMainFrame::AccessLogChanged() {
  if (ui::IToolWindow* log = m_slots[kAccessLog]) log->ScrollToEnd();
}

void CMainFrame::ChipModeChanged(int chipMode) {
  ApplyChipMode(chipMode);
  for (ui::IToolWindow* w : m_slots)
    if (w) w->SetChipMode(chipMode);
}

void CMainFrame::SetVelocityChannelMode(int mode) {
  if (ui::IToolWindow* w = m_slots[kVelocityChange]) w->SetChannelMode(mode);
}

void CMainFrame::RebuildStreamSizeGraph() {
  if (ui::IToolWindow* w = m_slots[kStmSize]) w->RebuildGraph();
}
