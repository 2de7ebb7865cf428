// The main window's own commands: the tool windows, the voice transfers to the board, the bar
// toggles, undo, the FMM mode and dropped files, with their update rules.
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <set>

#include "app/core/FrameCommandRules.h"
#include "app/core/SettingKeys.h"
#include "app/core/StreamPcmWaveSend.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "uikit/DialogTemplate.h"
#include "song/NamedBlock.h"
#include "song/SongSetup.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "song/document/VoiceAssignTable.h"
#include "uikit/DropAcceptGuard.h"
#include "uikit/UiText.h"

namespace {

constexpr int kOk = 1;
constexpr int kBusyTransfer = 6;
constexpr int kMsgConfirmSendVoices = 7137;
constexpr int kMsgIllegalFileFormat = 7092;
constexpr int kMsgIllegalMfiFile = 7033;
constexpr int kDroppedOpenKind = 24;

/// The extensions a drop opens, with their access-log lines.
struct DropKind {
  const char* extension;
  int logId;
};
constexpr DropKind kDropKinds[] = {{".mmf", 7515}, {".spf", 7515}, {".mld", 7525}, {".kz1", 7515},
                                   {".mid", 7517}, {".K3N", 7526}, {".K5N", 7528}};

const DropKind* DropKindOf(const std::string& path) {
  if (path.size() < 4) return nullptr;
  const QString tail = QString::fromStdString(path.substr(path.size() - 4));
  for (const DropKind& kind : kDropKinds)
    if (tail.compare(QLatin1String(kind.extension), Qt::CaseInsensitive) == 0) return &kind;
  return nullptr;
}

bool IsNativeKind(const DropKind& kind) { return kind.logId == 7526 || kind.logId == 7528; }

}  // namespace

// --- Routing -------------------------------------------------------------------------------------

bool CMainFrame::HandlesFrameCommand(int id) const {
  switch (id) {
    case kPlayCommand: case kStopCommand: case kRewindCommand:
    case 32800: case 32798: case 32796: case 32805: case 32831: case 32797: case 40976: case 40974:
    case 32824: case 40983: case 40981: case 40984: case 40982: case 32804:
    case 40975: case 32825:
    case 57643: case 57644: case 59392: case 32795: case 40978: case 40985: case 32791:
      return true;
    default:
      return false;
  }
}

bool CMainFrame::RunFrameCommand(int id) {
  switch (id) {
    case kPlayCommand: RunPlay(); return true;
    case kStopCommand: RunStop(); return true;
    case kRewindCommand: OnRewind(); return true;
    case 32800: OnVoiceList(); return true;
    case 32798: OnVoiceAssignMap(); return true;
    case 32796: OnStreamPcmAssignMap(); return true;
    case 32805: OnEventDensity(); return true;
    case 32831: OnSTMSize(); return true;
    case 32797: OnMixer(); return true;
    case 40976: OnVelocityChange(); return true;
    case 40974:
    case 32824: OnSendAssignedVoiceMessage(); return true;
    case 40983:
    case 40981: OnImportFromVoiceList(); return true;
    case 40984:
    case 40982: OnExportToVoiceList(); return true;
    case 32804: OnEditInformation(); return true;
    case 40975: case 32825: OnSendStreamPcmWaveMessage(); return true;
    case 57643:
    case 57644: OnEditUndoRedo(); return true;
    case 59392:
    case 32795:
    case 40978:
    case 40985: ToggleBar(id); return true;
    case 32791: OnCommand32791(); return true;
    default: return false;
  }
}

bool CMainFrame::UpdateFrameCommand(int id, ui::CmdUI& cmdUi) {
  switch (id) {
    // The voice map's menu reaches the same handlers, so their rules hold there too.
    case 32824: return UpdateFrameCommand(40974, cmdUi);
    case 40981: return UpdateFrameCommand(40983, cmdUi);
    case 40982: return UpdateFrameCommand(40984, cmdUi);
    case kPlayCommand:
    case kRewindCommand: OnUpdatePlay(cmdUi); return true;
    case kStopCommand: OnUpdateStop(cmdUi); return true;
    case 57643:
    case 57644: {
      CKZ1Doc* doc = m_app.GetDocument();
      cmdUi.enabled = doc && (id == 57643 ? doc->CanUndo() : doc->CanRedo());
      return true;
    }
    case 59392:
    case 32795:
    case 40978:
    case 40985: {
      QToolBar* bar = BarOfCommand(id);
      if (!bar) return false;  // the next handler on the route answers
      cmdUi.checked = !bar->isHidden();
      return true;
    }
    case 32791: cmdUi.checked = m_fmmMode != 0; return true;
    default: break;
  }
  if (!framecmd::HasRule(id)) return false;
  const int chipMode = m_app.GetChipMode();
  int slot = -1;
  switch (id) {
    case 32800: slot = chipMode == 1 ? kVoiceList1 : chipMode == 2 ? kVoiceList2 : kVoiceList3; break;
    case 32798: slot = kVoiceAssignMap; break;
    case 32796: slot = kStreamPcmAssignMap; break;
    case 32805: slot = kEventDensity; break;
    case 32831: slot = kStmSize; break;
    case 32797: slot = chipMode == 1 ? kMixer4 : kMixer16; break;
    case 40976: slot = kVelocityChange; break;
    default: break;
  }
  framecmd::State state;
  state.chipMode = chipMode;
  state.outputProfile = m_app.GetOutputProfile();
  state.modeSetting = ReadProfileSetting(profile_keys::kModeSetting);
  state.song = m_app.GetDocument() != nullptr;
  state.playing = IsDeviceIdle() == 0;
  if (slot >= 0 && m_slots[slot]) {
    const bool dialog = slot == kMixer4 || slot == kMixer16 || slot == kVelocityChange;
    state.windowOpen = dialog ? m_slots[slot]->IsWindowVisible() : true;
  }
  state.sendableVoices = HasSendableVoices();
  state.streamPcmWaves = HasStreamPcmWaves();
  const framecmd::Rule rule = framecmd::RuleFor(id, state);
  if (rule.enabled) cmdUi.enabled = *rule.enabled;
  if (rule.checked) cmdUi.checked = *rule.checked;
  return true;
}

// --- Tool windows --------------------------------------------------------------------------------

void CMainFrame::OnVoiceList() {
  switch (m_app.GetChipMode()) {
    case 1: OpenToolWindow(kVoiceList1, 1008); break;
    case 2: OpenToolWindow(kVoiceList2, 1008); break;
    case 3:
    case 5: OpenToolWindow(kVoiceList3, 1008); break;
    default: break;
  }
}

void CMainFrame::OnVoiceAssignMap() { OpenToolWindow(kVoiceAssignMap, 1005); }

void CMainFrame::OnStreamPcmAssignMap() { OpenToolWindow(kStreamPcmAssignMap, 1006); }

void CMainFrame::OnEventDensity() {
  const int p = m_app.GetOutputProfile();
  const bool limited = p == 1 || p == 2 || p == 3 || p == 6 || p == 8;
  OpenToolWindow(kEventDensity, 1016, m_slots[kEventDensity] || !limited ? 0 : 1000);
}

void CMainFrame::OnSTMSize() {
  if (m_slots[kStmSize]) {
    OpenToolWindow(kStmSize, 1017);
    return;
  }
  const int p = m_app.GetOutputProfile();
  if (p == 2 || p == 3 || p == 8) OpenToolWindow(kStmSize, 1017, 8000);
  if (p == 5) OpenToolWindow(kStmSize, 1017);
}

void CMainFrame::ToggleDialog(int slot) {
  if (ui::IToolWindow* w = m_slots[slot]) w->ShowWindow(!w->IsWindowVisible());
}

void CMainFrame::OnMixer() { ToggleDialog(m_app.GetChipMode() == 1 ? kMixer4 : kMixer16); }

void CMainFrame::OnVelocityChange() {
  const int chipMode = m_app.GetChipMode();
  if (m_app.GetDocument() && (chipMode == 3 || chipMode == 5)) ToggleDialog(kVelocityChange);
}

// --- Bars, undo, FMM -----------------------------------------------------------------------------

QToolBar* CMainFrame::BarOfCommand(int id) const {
  switch (id) {
    case 59392: return m_toolBar;
    case 32795: return m_controlBar;
    case 40978: return m_reportBarHost;
    case 40985: return m_volumeBar;
    default: return nullptr;
  }
}

void CMainFrame::ToggleBar(int commandId) {
  QToolBar* bar = BarOfCommand(commandId);
  if (!bar) return;
  if (bar->isFloating()) addToolBar(Qt::TopToolBarArea, bar);
  bar->setVisible(bar->isHidden());
}

void CMainFrame::OnEditUndoRedo() {
  if (CKZ1Doc* doc = m_app.GetDocument()) doc->UndoRedo();
}

void CMainFrame::ClearCuePoints() {
  if (auto* sections = ui::item<QComboBox>(m_controlBar, 1377); sections && sections->count() > 0)
    sections->setCurrentIndex(0);
  if (CKZ1Doc* doc = m_app.GetDocument()) {
    for (int k = 0; k < CKZ1Doc::kCueCount; ++k)
      if (doc->GetCuePoint(k) != CKZ1Doc::kNoCue) doc->SetCuePoint(k, CKZ1Doc::kNoCue, 0);
  }
}

int CMainFrame::SetFMMMode(int value) {
  if (value == m_fmmMode) return 1;
  m_fmmMode = value;
  WriteProfileSetting(profile_keys::kFMMMode, value);
  ClearCuePoints();
  UpdateSongWindows();
  UpdateStatusPanes();
  return 1;
}

void CMainFrame::OnCommand32791() {
  SetFMMMode(m_fmmMode ? 0 : 1);
  if (CKZ1Doc* doc = m_app.GetDocument()) {
    doc->RefreshChannelVoices(0);
    UpdateSongWindows();
    doc->SetModifiedFlags(0);
  }
  if (m_fmmMode) ClearCuePoints();
  UpdateSongWindows();
  UpdateStatusPanes();
}

// --- Voice transfers -----------------------------------------------------------------------------

bool CMainFrame::HasSendableVoices() const {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc) return false;
  bool notes = false;
  for (int k = 0; k < 16 && !notes; ++k) notes = doc->GetChannelValue(k) != 0;
  if (!notes) return false;
  const CVoiceAssignTable& table = doc->GetVoiceAssignTable();
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i)
    if (table.GetProgram(i) < 255) return true;
  return false;
}

bool CMainFrame::HasStreamPcmWaves() const { return stream_pcm::HasStreamPcmWaves(m_app.GetDocument()); }

void CMainFrame::OnSendAssignedVoiceMessage() {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc || !m_engine || platform::ShowMessage(kMsgConfirmSendVoices) != kOk) return;
  auto busy = platform::ui().ShowBusyPicture(kBusyTransfer);
  std::set<int> waveShapes;
  CVoiceAssignTable& table = doc->GetVoiceAssignTable();
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    if (table.GetProgram(i) >= 255) continue;
    const CVoiceItem* item = table.GetVoiceItem(i);
    if (!item) continue;
    if (!item->IsFixedBank()) m_engine->SendVoice(*item, 1);
    if (!item->IsPcm())
      for (int n = 1; n <= item->GetOperatorCount(); ++n) waveShapes.insert(item->GetOpWS(n));
  }
  for (int w : waveShapes) {
    const CNamedBlock* block = doc->GetWaveBlock(w);
    if (w < 0 || w > 31 || !block) continue;
    m_engine->SendBoardCommand0D(w);
    m_engine->SendBoardData0C(w, block->GetData(), block->GetSize());
  }
  doc->AddModifiedFlags(CKZ1Doc::kFlagUnsent);
}

// --- Voice clip ----------------------------------------------------------------------------------

void CMainFrame::PutVoiceClip(const uint8_t* record) {
  if (!record) return;
  std::memcpy(m_voiceClip.data(), record, kVoiceClipSize);
  m_voiceClipValid = true;
}

int CMainFrame::GetVoiceClip(uint8_t* record) const {
  if (!m_voiceClipValid || !record) return 0;
  std::memcpy(record, m_voiceClip.data(), kVoiceClipSize);
  return 1;
}

// --- Dropped files -------------------------------------------------------------------------------

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  event->acceptProposedAction();
  OnDropFiles(paths);
}

void CMainFrame::RefreshAll() {
  UpdateStatusPanes();
  UpdateReportBar();
  UpdateSongWindows();
  UpdateVoiceWindows();
}

void CMainFrame::OnDropFiles(const std::vector<std::string>& paths) {
  if (!acceptDrops() || IsDeviceIdle() == 0) return;
  CDropAcceptGuard guard(this);
  activateWindow();
  if (paths.size() != 1 || !m_app.QueryCloseSong()) return;
  const std::string& path = paths.front();
  const int chipMode = m_app.GetChipMode();
  const bool gen3 = chipMode == 3 || chipMode == 5;
  const DropKind* kind = DropKindOf(path);
  if (gen3 && !kind) {
    platform::ShowMessage(kMsgIllegalFileFormat);
    RefreshAll();
    return;
  }
  m_app.SetDocument(std::make_unique<CKZ1Doc>());
  const int mask = chipMode == 1 ? 15 : 0xFFFF;
  if (m_app.OpenSongFile(*m_app.GetDocument(), path, mask, kDroppedOpenKind)) {
    OpenSongWindow();
    RefreshAll();
    if (kind) platform::messages().AddAccessLog(kind->logId, path, {});
    return;
  }
  m_app.SetDocument(nullptr);
  const int profile = m_app.GetOutputProfile();
  if (kind && IsNativeKind(*kind)) {
    platform::ShowMessage(kMsgIllegalFileFormat);
  } else if (gen3) {
    platform::ShowMessage(profile == 1 || profile == 6 || profile == 7 ? kMsgIllegalMfiFile : kMsgIllegalFileFormat);
  }
  RefreshAll();
}
