// The control bar's handlers: Play, Stop, Rewind and Repeat, the tempo and time-base steps, the
// time-base rewrite and the section, TB, key-change and tempo-change combos.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <algorithm>
#include <iterator>
#include <vector>

#include "app/core/AppPlayState.h"
#include "device/BoardMonitor.h"
#include "platform/io/FileIo.h"
#include "app/core/MainFrameTables.h"
#include "app/core/SettingKeys.h"
#include "app/core/TimebaseRewrite.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "uikit/ActionRegistry.h"
#include "uikit/DialogTemplate.h"
#include "app/ui/NumberEdit.h"
#include "app/ui/TimeEdit.h"
#include "song/document/KZ1Doc.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"

namespace {

constexpr int kBusyTransfer = 6;
constexpr uint32_t kMonitorPlaying = 1;
constexpr int kTimeBasesMs[] = {1, 2, 4, 5};

bool IsGeneration3(int chipMode) { return chipMode == 3 || chipMode == 5; }

}  // namespace

// --- Play, Stop, Rewind, Repeat ----------------------------------------------------------------

void CMainFrame::RunPlay() {
  IsVolumeBarChanged();
  CKZ1Doc* doc = m_app.GetDocument();
  if (doc) {
    if (doc->TestModifiedFlags(CKZ1Doc::kFlagUnsent) && !HasTimeRange()) OnRewind();
    if (GetOutputKind() == 1) {
      if (!PlayOnSerialBoard(*doc)) return;
    } else {
      {
        auto wait = platform::ui().ShowWaitCursor();
        RunStop();
      }
      CloseMidiThru();
      if (m_engine) {
        m_engine->SetLoopMode(GetSelectedSection());
        m_engine->Play();
      }
    }
  } else if (m_slots[kDirectPlay]) {
    PlayDirectFile();
  }
  FocusTransportButton(kStopCommand);
}

bool CMainFrame::PlayOnSerialBoard(CKZ1Doc& doc) {
  if (doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent)) {
    RunStop();
    auto busy = platform::ui().ShowBusyPicture(kBusyTransfer);
    setEnabled(false);
    const int sent = m_sendSongToBoard ? m_sendSongToBoard() : 0;
    setEnabled(true);
    if (!sent) return false;
    doc.SetModifiedFlags(CKZ1Doc::kFlagUnsent);
  }
  if (m_app.CheckBoardLink()) {
    if (m_boardMonitor) m_boardMonitor->SetParam(0);
    if (m_app.StartBoardPlayback() && m_boardMonitor) {
      m_boardMonitor->SetFlags(kMonitorPlaying);
      m_boardMonitor->SetPeriod(CBoardMonitor::kPlayPeriodMs);
    }
  }
  return true;
}

void CMainFrame::PlayDirectFile() {
  auto wait = platform::ui().ShowWaitCursor();
  RunStop();
  if (!appPlayState().directPlayImageSent.load()) {
    if (!HasTimeRange()) OnRewind();
    const auto read = platform::ReadWholeFile(m_slots[kDirectPlay]->Widget()->windowFilePath().toStdString());
    if (!read) return;
    const std::vector<uint8_t>& bytes = *read;
    if (IsGeneration3(m_app.GetChipMode()) && m_engine) {
      const auto size = static_cast<uint32_t>(bytes.size());
      const int sent = m_app.GetOutputProfile() == 4 ? m_engine->SendSongToBoard2(bytes.data(), size)
                                                     : m_engine->SendSongToBoard(bytes.data(), size);
      if (sent) appPlayState().directPlayImageSent.store(true);
    }
  }
  if (!appPlayState().directPlayImageSent.load() || !m_engine) return;
  CloseMidiThru();
  m_engine->SetLoopMode(GetSelectedSection());
  m_engine->PlayDirect();
}

void CMainFrame::CloseMidiThru() {
  CMidiThru& thru = m_app.GetMidiThru();
  thru.SetInDevice(-1);
  thru.SetOutDevice(-1);
  thru.Stop();
}

void CMainFrame::RunStop() {
  if (GetOutputKind() == 2) {
    if (m_engine) m_engine->Stop();
  } else if (m_app.ResetBoardLink() && m_boardMonitor) {
    m_boardMonitor->ClearFlags(kMonitorPlaying);
    m_boardMonitor->SetPeriod(CBoardMonitor::kIdlePeriodMs);
  }
  if (m_engine) {
    const int chipMode = m_app.GetChipMode();
    const int kind = m_engine->GetConnectionKind();
    if (chipMode == 3 && kind == 1) {
      CMidiThru& thru = m_app.GetMidiThru();
      thru.SetInDevice(ReadProfileSetting(profile_keys::kMIDIDeviceThruIn));
      thru.SetOutDevice(ReadProfileSetting(profile_keys::kMIDIDeviceThruOut));
      thru.Start();
    }
  }
  UpdateStatusPanes();
  FocusTransportButton(kPlayCommand);
}

void CMainFrame::OnRewind() {
  if (m_app.HasBoardLink()) m_app.RewindBoardPlayback();
  const int chipMode = m_app.GetChipMode();
  if (IsGeneration3(chipMode) && m_engine) {
    if (m_app.GetOutputProfile() == 4) {
      m_engine->SendChannelValue1A(m_engine->GetLastValue(), 0);
      m_engine->SendChannelValue13(m_engine->GetLastValue(), 0);
      m_engine->SetRewind(1);
    } else {
      m_engine->SendBoardValue0A(0, 0);
    }
  }
  ClearTimeRange();
  if (m_engine) {
    CKZ1Doc* doc = m_app.GetDocument();
    const uint32_t start =
        doc ? doc->GetSectionStartTime(GetSelectedSection(), 0) + static_cast<uint32_t>(doc->GetBoardValue()) : 0;
    m_engine->SetPlayPosition(start);
    appPlayState().playPositionMs.store(m_engine->GetPlayPosition());
  }
  for (int slot : {kSongWindow, kPianoRoll})
    if (ui::IToolWindow* w = m_slots[slot]) w->ScrollToStart();
  UpdateStatusPanes();
}

void CMainFrame::OnRepeat() {
  auto* button = ui::item<QPushButton>(m_controlBar, 1383);
  const bool repeat = button && button->isChecked();
  appPlayState().repeat.store(repeat);
  if (!m_engine) return;
  if (IsGeneration3(m_app.GetChipMode()) && m_app.GetOutputProfile() == 4) {
    for (int channel = 0; channel < 4; ++channel) m_engine->SendChannelValue12(channel, repeat ? 0 : 1);
  } else {
    m_engine->SetBoardSwitch(repeat ? 1 : 0);
  }
  const int kind = m_engine->GetConnectionKind();
  if (kind >= 2 && kind <= 4) OnRewind();
}

void CMainFrame::OnUpdatePlay(ui::CmdUI& cmdUi) const {
  const bool open = m_app.GetDocument() || m_slots[kDirectPlay];
  cmdUi.enabled = open && IsDeviceIdle() != 0;
}

void CMainFrame::OnUpdateStop(ui::CmdUI& cmdUi) const {
  const bool open = m_app.GetDocument() || m_slots[kDirectPlay];
  cmdUi.enabled = open && IsDeviceIdle() == 0;
}

void CMainFrame::FocusTransportButton(int id) {
  // The button follows its action, which the next update pass sets by the rules again.
  m_actions->Action(id)->setEnabled(true);
  if (auto* button = ui::item<QPushButton>(m_controlBar, id); button && isVisible())
    button->setFocus(Qt::OtherFocusReason);
}

// --- Tempo and time base -----------------------------------------------------------------------

void CMainFrame::OnDeltaposPhSpin(int position, int delta, bool& refuse) {
  CKZ1Doc* doc = m_app.GetDocument();
  const int tempo = doc ? doc->GetTempoFromIndex(position + delta) : 0;
  if (tempo == 0) {
    refuse = true;
    return;
  }
  if (auto* edit = ui::item<QLineEdit>(m_controlBar, 1392)) edit->setText(QString::number(static_cast<unsigned>(tempo)));
  doc->SetTempo(tempo);
  UpdateSongWindows();
  refuse = false;
}

void CMainFrame::OnDeltaposTBSpin(int position, int delta, bool& refuse) {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc) return;
  const int chipMode = m_app.GetChipMode();
  if (chipMode == 1 || chipMode == 2) {
    const int p = position + delta;
    if (p < 0 || p > 3 || !doc->SetTimeBaseMs(kTimeBasesMs[p]) || doc->GetTimeBase() != kTimeBasesMs[p]) {
      refuse = true;
      return;
    }
    const int index = doc->GetTempoIndex(doc->GetTempo());
    if (auto* spin = ui::item<ui::UpDownControl>(m_controlBar, 1393)) {
      const QSignalBlocker block(spin);
      spin->setValue(index);
    }
    if (auto* edit = ui::item<QLineEdit>(m_controlBar, 1392))
      edit->setText(QString::number(static_cast<unsigned>(doc->GetTempoFromIndex(index))));
    UpdateSongWindows();
    refuse = false;
    return;
  }
  if (!IsGeneration3(chipMode)) return;
  const int t = doc->GetTimeBaseKZ3();
  if (delta > 0) OnCtrlBarTimebase(t + delta);
  if (delta < 0) OnCtrlBarTimebase(std::max(t + delta, 1));
}

int CMainFrame::OnCtrlBarTimebase(int n) {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!timebase::ChangeSongTimebase(doc, n)) return 0;
  UpdateSongWindows();
  UpdateStatusPanes();
  return 1;
}

// --- Combos --------------------------------------------------------------------------------------

void CMainFrame::OnSelchangeCombo1377() {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc) return;
  const int profile = m_app.GetOutputProfile();
  const int k = GetSelectedSection();
  if (m_engine && (profile == 2 || profile == 3 || profile == 4 || profile == 5 || profile == 8)) {
    for (int section : {0, k}) {
      m_engine->SendBoardValue06(doc->GetCueSectionStart(section, 1));
      m_engine->SendBoardValue07(doc->GetCueSectionTime(section, 1));
    }
  }
  SetTimeRange(doc->GetCueSectionStart(k, 1), doc->GetCueSectionTime(k, 1));
  if (ReadProfileSetting(profile_keys::kOutputFormat) <= 5 && m_engine) {
    m_engine->SendBoardValue0A(0, 0);
    m_engine->SetPlayPosition(doc->GetCueSectionStart(k, 0) + static_cast<uint32_t>(doc->GetBoardValue()));
  }
  OnRewind();
}

void CMainFrame::OnSelchangeTBCombo() {
  m_app.GetProfileParam();
  if (CKZ1Doc* doc = m_app.GetDocument()) doc->AddModifiedFlags(CKZ1Doc::kFlagUnsent);
}

void CMainFrame::OnSelchangeKCCombo() {
  if (m_engine) m_engine->SendBoardParam03_11(GetKeyChange());
}

void CMainFrame::OnSelchangeTCCombo() {
  if (m_engine) m_engine->SendBoardParam03_10(GetTempoChange());
}

void CMainFrame::ConnectControlBar() {
  for (int command : {kRewindCommand, kStopCommand, kPlayCommand}) {
    auto* button = ui::item<QPushButton>(m_controlBar, command);
    QAction* action = m_actions->Action(command);
    // The buttons follow their commands' state, as the bar's update handlers set it.
    connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    const bool enabled = m_router->Update(command).enabled;
    action->setEnabled(enabled);
    button->setEnabled(enabled);
    m_router->TrackOnIdle(command);
  }
  if (auto* repeat = ui::item<QPushButton>(m_controlBar, 1383))
    connect(repeat, &QPushButton::clicked, this, [this] { OnRepeat(); });
  if (auto* tempo = ui::item<ui::UpDownControl>(m_controlBar, 1393))
    tempo->SetDeltaPos([this](int pos, int delta, bool& refuse) { OnDeltaposPhSpin(pos, delta, refuse); });
  if (auto* tb = ui::item<ui::UpDownControl>(m_controlBar, 1396))
    tb->SetDeltaPos([this](int pos, int delta, bool& refuse) { OnDeltaposTBSpin(pos, delta, refuse); });
  m_timeBase->SetHandler([this](uint32_t n) { return OnCtrlBarTimebase(static_cast<int>(std::min<uint32_t>(n, 0x7FFFFFFF))); });
  const std::pair<int, void (CMainFrame::*)()> combos[] = {{1377, &CMainFrame::OnSelchangeCombo1377},
                                                            {2217, &CMainFrame::OnSelchangeTBCombo},
                                                            {2152, &CMainFrame::OnSelchangeKCCombo},
                                                            {2556, &CMainFrame::OnSelchangeTCCombo}};
  for (auto [id, handler] : combos) {
    // Only the user's choice is a selection change; the program's own fills are not.
    if (auto* combo = ui::item<QComboBox>(m_controlBar, id))
      connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, h = handler] { (this->*h)(); });
  }
}
