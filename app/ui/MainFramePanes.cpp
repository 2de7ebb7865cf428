// The main window's status panes, report bar, blinking and the bar states that go with them.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/core/AppPlayState.h"
#include "device/BoardMonitor.h"
#include "app/core/MainFrameTables.h"
#include "app/core/SettingKeys.h"
#include "app/core/StatusPanes.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainFrameBars.h"
#include "app/ui/NumberEdit.h"
#include "app/ui/TimeEdit.h"
#include "app/ui/ValueEdit.h"
#include "song/document/KZ1Doc.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"

using namespace mainframe;

namespace {

void Enable(QWidget* w, bool on) {
  if (w) w->setEnabled(on);
}

void Show(QWidget* w, bool on) {
  if (w) w->setVisible(on);
}

}  // namespace

int CMainFrame::IsDeviceIdle() const {
  if (GetOutputKind() == 1) return m_boardMonitor && (m_boardMonitor->GetFlags() & 1) ? 0 : 1;
  return m_engine && m_engine->IsPlaying() ? 0 : 1;
}

void CMainFrame::UpdateStatusPanes() {
  CKZ1Doc* doc = m_app.GetDocument();
  const bool idle = IsDeviceIdle() != 0;
  const bool active = doc || m_slots[kDirectPlay];
  const int chipMode = m_app.GetChipMode();
  const int profile = m_app.GetOutputProfile();
  // Steps 2-4.
  for (int id : {1397, 1383, 1392, 1393, 1395, 1396, 1377}) {
    QWidget* w = BarControl(id);
    if (!w) continue;
    const bool needsSong = id == 1377 || id == 1395 || id == 1396;
    w->setEnabled(idle && active && (!needsSong || doc));
  }
  for (int slot : {kMixer4, kMixer16, kTextScore})
    if (ui::IToolWindow* w = m_slots[slot]) w->EnableControls(idle);
  if (m_fmmMode != 0) Enable(BarControl(1377), false);
  // Step 5.
  if (active) {
    if (doc) {
      if (auto* spin = ui::item<ui::UpDownControl>(m_controlBar, 1393)) {
        const QSignalBlocker block(spin);
        spin->setValue(doc->GetTempoIndex(doc->GetTempo()));
      }
      if (auto* edit = ui::item<QLineEdit>(m_controlBar, 1392))
        edit->setText(QString::number(static_cast<unsigned>(doc->GetTempoFromIndex(doc->GetTempoIndex(doc->GetTempo())))));
      if (m_timeBase) {
        m_timeBase->SetNumber(doc->GetTimeBaseKZ3());
        m_timeBase->setEnabled(idle);
      }
    }
    if (m_playTime) {
      m_playTime->ShowPlayPosition(appPlayState().playPositionMs.load());
      m_playTime->setEnabled(doc && ReadProfileSetting(profile_keys::kOutputFormat) != 0 && idle);
    }
  }
  // Step 6.
  if (chipMode == 3 || chipMode == 5) {
    Show(BarControl(1396), false);
    Enable(BarControl(1395), false);
    if (profile == 1 || profile == 7) {
      Enable(BarControl(1396), false);
      Enable(BarControl(1395), false);
      Show(BarControl(1377), false);
      Show(BarControl(2217), true);
      if (auto* tb = ui::item<QComboBox>(m_controlBar, 2217)) {
        if (doc) {
          tb->setEnabled(idle);
        } else if (tb->isEnabled()) {
          const int wanted = chipMode == 5 ? 1 : 0;
          tb->setCurrentIndex(wanted);
          tb->setEnabled(false);
        }
      }
    } else if (profile == 4) {
      Enable(BarControl(1377), false);
      Enable(BarControl(2152), false);
      Show(BarControl(2555), false);
      Show(BarControl(2556), false);
    } else if (profile == 6) {
      for (int id : {1396, 1395, 1377, 2152, 2556}) Enable(BarControl(id), false);
    }
  }
  // Step 7.
  UpdateVolumeBarState();
  // Step 8.
  if (!doc) StopBlinkTimer();
  // Step 9.
  const SongFigures figures = FiguresOf(doc);
  const int modeSetting = ReadProfileSetting(profile_keys::kModeSetting);
  for (int id : {kPaneTL, kPaneSTM}) SetPaneText(id, ui::Q(mainframe::PaneText(id, figures, modeSetting)));
  PaintBlinkPane2(0);
  m_adBlink = 0;
  SetPaneText(kPaneAD, ui::Q(mainframe::PaneText(kPaneAD, figures, modeSetting)));
  if (AverageBlinks(figures, profile)) {
    StartBlinkTimer();
    m_adBlink = 1;
  }
  PaintErrorPane(0);
  m_mdBlink = 0;
  SetPaneText(kPaneMD, ui::Q(mainframe::PaneText(kPaneMD, figures, modeSetting)));
  if (MaximumBlinks(figures, profile)) {
    StartBlinkTimer();
    m_mdBlink = 1;
  }
  for (int id : {kPaneMDP, kPaneMode, kPaneSZ}) SetPaneText(id, ui::Q(mainframe::PaneText(id, figures, modeSetting)));
}

void CMainFrame::SetPaneText(int paneId, const QString& text) {
  auto it = m_panes.find(paneId);
  if (it != m_panes.end()) it->second->SetText(text);
}

QString CMainFrame::PaneText(int paneId) const {
  if (paneId == kMessagePane) return statusBar()->currentMessage();
  auto it = m_panes.find(paneId);
  return it == m_panes.end() ? QString() : it->second->Text();
}

QRect CMainFrame::PaneRect(int paneId) const {
  auto it = m_panes.find(paneId);
  if (it == m_panes.end()) return {};
  return QRect(it->second->mapTo(statusBar(), QPoint(0, 0)), it->second->size());
}

int CMainFrame::PaneWidthOf(int paneId) const {
  auto it = m_panes.find(paneId);
  return it == m_panes.end() ? 0 : it->second->sizeHint().width();
}

void CMainFrame::StartBlinkTimer() {
  if (!m_blinkTimer->isActive()) m_blinkTimer->start();
}

void CMainFrame::StopBlinkTimer() { m_blinkTimer->stop(); }

bool CMainFrame::IsBlinkTimerRunning() const { return m_blinkTimer->isActive(); }

void CMainFrame::UpdateReportBar() {
  if (!m_reportBar) return;
  const ReportBarState s = ReportBarOf(FiguresOf(m_app.GetDocument()), m_app.GetOutputProfile(), m_app.GetMakerID());
  QLineEdit* second = m_reportBar->Line(2532);
  Show(second, s.secondLine);
  if (QLineEdit* first = m_reportBar->Line(2528)) first->setText(ui::Q(s.line1));
  if (s.blinks) {
    StartBlinkTimer();
    m_reportBlink = 1;
  } else {
    m_reportBlink = 0;
    m_reportBar->SetWarning(0);
  }
  if (s.secondLine && second) second->setText(ui::Q(s.line2));
}

int CMainFrame::UpdateVolumeBarState() {
  const bool idle = IsDeviceIdle() != 0;
  for (int id : {5001, 1384, 1385}) Enable(BarControl(id), idle);
  const int chipMode = m_app.GetChipMode();
  const int profile = m_app.GetOutputProfile();
  if (chipMode == 1) {
    Enable(BarControl(1389), true);
    Enable(BarControl(1390), true);
  } else if (chipMode == 2) {
    Enable(BarControl(1389), false);
    Enable(BarControl(1390), false);
  } else if (chipMode == 3 || chipMode == 5) {
    if (profile == 1 || profile == 7) {
      Enable(BarControl(1384), false);
      Enable(BarControl(1385), false);
    } else if (profile == 4 || profile == 6) {
      for (int id : {2302, 1384, 1385}) Show(BarControl(id), false);
    }
  }
  if (m_mvEdit) m_app.SetMasterVolume(std::clamp(m_mvEdit->GetValue(), 0, 127));
  return IsVolumeBarChanged();
}

int CMainFrame::IsVolumeBarChanged() const {
  if (!m_mvEdit || !m_spEdit || !m_hpEdit || !m_eqEdit) return 0;
  const int mv = m_mvEdit->GetValue();
  const int sp = m_spEdit->GetValue();
  const int hp = m_hpEdit->GetValue();
  const int eq = m_eqEdit->GetValue();
  const bool changed = mv != m_app.GetMasterVolume() || sp != m_app.GetSpVolume() || hp != m_app.GetHpVolume() ||
                       eq != m_app.GetEqLevel();
  m_app.SetMasterVolume(mv);
  m_app.SetSpVolume(sp);
  m_app.SetHpVolume(hp);
  m_app.SetEqLevel(eq);
  const int chipMode = m_app.GetChipMode();
  if (changed && (chipMode == 3 || chipMode == 5)) const_cast<CMainFrame*>(this)->LoadVolumeBar(0);
  return changed ? 1 : 0;
}

void CMainFrame::OnTimer() {
  if (m_mdBlink) PaintErrorPane(m_blinkPhase);
  if (m_adBlink) PaintBlinkPane2(m_blinkPhase);
  if (m_reportBlink) SetReportBarWarning(m_blinkPhase);
  m_blinkPhase = m_blinkPhase == 0 ? 1 : 0;
}

void CMainFrame::PaintPanes(std::initializer_list<int> panes, bool red) {
  for (int id : panes) {
    auto it = m_panes.find(id);
    if (it != m_panes.end()) it->second->SetRed(red);
  }
}

int CMainFrame::PaintErrorPane(int red) {
  CKZ1Doc* doc = m_app.GetDocument();
  if (m_panes.count(kPaneMD)) {
    const SongFigures f = FiguresOf(doc);
    if (!doc) m_mdBlink = 0;
    if (f.densityError) m_mdBlink = 0;
    const int mode = ReadProfileSetting(profile_keys::kModeSetting);
    SetPaneText(kPaneMD, ui::Q(mainframe::PaneText(kPaneMD, f, mode)));
    SetPaneText(kPaneMDP, ui::Q(mainframe::PaneText(kPaneMDP, f, mode)));
  }
  PaintPanes({kPaneMD, kPaneMDP}, red != 0 && m_mdBlink != 0);
  return 1;
}

int CMainFrame::PaintBlinkPane2(int red) {
  CKZ1Doc* doc = m_app.GetDocument();
  if (m_panes.count(kPaneAD)) {
    const SongFigures f = FiguresOf(doc);
    if (!doc || f.densityError) m_adBlink = 0;
    SetPaneText(kPaneAD, ui::Q(mainframe::PaneText(kPaneAD, f, ReadProfileSetting(profile_keys::kModeSetting))));
  }
  PaintPanes({kPaneAD}, red != 0 && m_adBlink != 0);
  return 1;
}

int CMainFrame::SetReportBarWarning(int red) {
  if (m_reportBar) m_reportBar->SetWarning(red);
  UpdateReportBar();
  return 1;
}

int CMainFrame::GetSelectedSection() const {
  const int profile = m_app.GetOutputProfile();
  if (profile == 1 || profile == 7) return 0;
  auto* combo = ui::item<QComboBox>(m_controlBar, 1377);
  if (!combo || combo->currentIndex() < 0) return 0;
  return SectionCodeOf(combo->currentText().toStdString());
}

bool CMainFrame::GetTBOption() const {
  const int profile = m_app.GetOutputProfile();
  auto* combo = ui::item<QComboBox>(m_controlBar, 2217);
  return combo && combo->currentIndex() == 1 && (profile == 1 || profile == 7) && !m_slots[kDirectPlay];
}

int CMainFrame::GetKeyChange() const {
  auto* combo = ui::item<QComboBox>(m_controlBar, 2152);
  if (!combo || !combo->isEnabled() || combo->currentIndex() < 0) return 12;
  return 24 - combo->currentIndex();
}

int CMainFrame::GetTempoChange() const {
  auto* combo = ui::item<QComboBox>(m_controlBar, 2556);
  if (!combo || !combo->isEnabled() || combo->currentIndex() < 0) return 100;
  return combo->currentIndex() + 70;
}

void CMainFrame::LoadVolumeBar(int direction) {
  if (!m_mvEdit) return;
  if (direction == 1) {
    m_app.SetMasterVolume(m_app.GetDocument() ? m_app.GetMasterVolume() : (ApplyMasterVolume() & 0xFF));
  }
  m_mvEdit->SetValue(m_app.GetMasterVolume());
  m_spEdit->SetValue(m_app.GetSpVolume());
  m_hpEdit->SetValue(m_app.GetHpVolume());
  m_eqEdit->SetValue(m_app.GetEqLevel());
}

int CMainFrame::ApplyMasterVolume() const {
  const int profile = m_app.GetOutputProfile();
  if (profile == 1 || profile == 4 || profile == 6 || profile == 7) return 100;
  const int stored = ReadProfileSetting(profile_keys::kMasterVolume);
  return (stored & 0xFF) == 128 ? 100 : stored;
}

std::string CMainFrame::GetVolumePresetName() const {
  auto* combo = ui::item<QComboBox>(m_volumeBar, 5001);
  return combo ? combo->currentText().toStdString() : std::string("Default");
}

void CMainFrame::FillSectionCombo() {
  const int profile = m_app.GetOutputProfile();
  CKZ1Doc* doc = m_app.GetDocument();
  if (profile != 1 && profile != 7) {
    auto* combo = ui::item<QComboBox>(m_controlBar, 1377);
    if (!combo || !doc) return;
    const QString kept = combo->currentText();
    combo->clear();
    combo->addItem(ui::Q(Sections()[0].name));
    for (size_t i = 1; i < Sections().size(); ++i)
      if (doc->GetCuePoint(Sections()[i].code) != CKZ1Doc::kNoCue) combo->addItem(ui::Q(Sections()[i].name));
    const int index = combo->findText(kept, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index < 0 ? 0 : index);
    return;
  }
  auto* tb = ui::item<QComboBox>(m_controlBar, 2217);
  if (!tb) return;
  tb->clear();
  tb->addItems({ui::T("T2006.tbOverall"), ui::T("T2006.tbPartial")});
  tb->setCurrentIndex(m_app.GetChipMode() == 5 ? 1 : 0);
  const int chipMode = m_app.GetChipMode();
  if (m_created && (chipMode == 3 || chipMode == 5)) OnSelchangeTBCombo();
}
