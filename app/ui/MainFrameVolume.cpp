// The volume bar's handlers: the four level edits and their spins, the presets and "Set".
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <algorithm>

#include "app/core/TrillotApp.h"
#include "app/core/VolumeBarRules.h"
#include "app/ui/MainFrame.h"
#include "uikit/DialogTemplate.h"
#include "app/ui/ValueEdit.h"
#include "song/document/KZ1Doc.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"

void CMainFrame::WriteMasterVolumeIntoSong() {
  CKZ1Doc* doc = m_app.GetDocument();
  if (!doc) return;
  if (doc->SetMasterVolumeEvent(m_app.GetMasterVolume())) UpdateSongWindows();
  doc->SetModifiedFlags(0);
}

void CMainFrame::OnChangeMVEdit() {
  if (!m_mvEdit) return;
  const int value = m_mvEdit->GetValue();
  if ((value & 0xFFFF) != m_app.GetMasterVolume()) {
    m_app.SetMasterVolume(std::clamp(value, 0, volumebar::kMasterMax));
    WriteMasterVolumeIntoSong();
  }
  if (m_engine) m_engine->SendBoardCommand09(m_app.GetMasterVolume());
}

void CMainFrame::OnDeltaposMVSpin(int position, int delta, bool& refuse) {
  m_app.SetMasterVolume(std::clamp(position + delta, 0, volumebar::kMasterMax));
  WriteMasterVolumeIntoSong();
  refuse = false;
}

int CMainFrame::ReadLevelEdit(CValueEdit* edit) {
  const volumebar::LevelText level = volumebar::ReadLevelText(edit->text().toStdString());
  if (level.showMax) {
    // The edit takes the cap without running this handler a second time.
    const QSignalBlocker block(edit);
    edit->setText(QString::number(volumebar::kLevelMax));
  }
  return level.value;
}

void CMainFrame::OnChangeSPEdit() {
  if (!m_spEdit) return;
  m_app.SetSpVolume(ReadLevelEdit(m_spEdit));
  if (m_engine) m_engine->SendBoardParam03a(m_app.GetSpVolume());
}

void CMainFrame::OnChangeHPEdit() {
  if (!m_hpEdit) return;
  m_app.SetHpVolume(ReadLevelEdit(m_hpEdit));
  if (m_engine) m_engine->SendBoardParam03b(m_app.GetHpVolume(), m_app.GetHpVolume());
}

void CMainFrame::OnChangeEQEdit() {
  if (!m_eqEdit) return;
  m_app.SetEqLevel(ReadLevelEdit(m_eqEdit));
  if (m_engine) m_engine->SendBoardParam03c(m_app.GetEqLevel());
}

void CMainFrame::OnDeltaposSPSpin(int position, int delta, bool& refuse) {
  m_app.SetSpVolume(std::clamp(position + delta, 0, volumebar::kLevelMax));
  refuse = false;
}

void CMainFrame::OnDeltaposHPSpin(int position, int delta, bool& refuse) {
  m_app.SetHpVolume(std::clamp(position + delta, 0, volumebar::kLevelMax));
  refuse = false;
}

void CMainFrame::OnDeltaposEQSpin(int position, int delta, bool& refuse) {
  m_app.SetEqLevel(std::clamp(position + delta, 0, volumebar::kLevelMax));
  refuse = false;
}

void CMainFrame::OnSelchangeVolumePreset() {
  auto* presets = ui::item<QComboBox>(m_volumeBar, 5001);
  if (!presets || !m_mvEdit) return;
  const std::string name = presets->currentText().toStdString();
  const int profile = m_app.GetOutputProfile();
  const volumebar::Levels levels = volumebar::ReadPreset(name, profile);
  switch (volumebar::MasterRuleFor(profile)) {
    case volumebar::MasterRule::kHundredWithoutSong:
      if (!m_app.GetDocument()) {
        m_app.SetMasterVolume(volumebar::kDefaultMaster);
        m_mvEdit->SetValue(volumebar::kDefaultMaster);
      }
      break;
    case volumebar::MasterRule::kKeep: break;
    case volumebar::MasterRule::kFromPreset:
      m_app.SetMasterVolume(levels.mv);
      m_mvEdit->SetValue(m_app.GetMasterVolume());
      WriteMasterVolumeIntoSong();
      break;
  }
  m_app.SetSpVolume(levels.sp);
  m_app.SetHpVolume(levels.hp);
  m_app.SetEqLevel(levels.eq);
  // The edits' change handlers send the levels.
  m_spEdit->SetValue(m_app.GetSpVolume());
  m_hpEdit->SetValue(m_app.GetHpVolume());
  m_eqEdit->SetValue(m_app.GetEqLevel());
  ui::CmdUI state;
  OnUpdateVolumeSet(state);
  if (auto* set = ui::item<QPushButton>(m_volumeBar, 5000)) set->setEnabled(state.enabled);
}

void CMainFrame::OnVolumeSet() {
  auto* presets = ui::item<QComboBox>(m_volumeBar, 5001);
  if (!presets) return;
  volumebar::StorePreset(presets->currentText().toStdString(), m_app.GetOutputProfile(),
                         {m_app.GetMasterVolume(), m_app.GetSpVolume(), m_app.GetHpVolume(), m_app.GetEqLevel()});
}

void CMainFrame::OnUpdateVolumeSet(ui::CmdUI& cmdUi) const {
  if (auto* presets = ui::item<QComboBox>(m_volumeBar, 5001)) cmdUi.enabled = presets->currentIndex() != 0;
}

void CMainFrame::ConnectVolumeBar() {
  using Spin = void (CMainFrame::*)(int, int, bool&);
  using Change = void (CMainFrame::*)();
  const struct {
    int spinId;
    CValueEdit* edit;
    Spin spin;
    Change change;
  } rows[] = {{1385, m_mvEdit, &CMainFrame::OnDeltaposMVSpin, &CMainFrame::OnChangeMVEdit},
              {1390, m_spEdit, &CMainFrame::OnDeltaposSPSpin, &CMainFrame::OnChangeSPEdit},
              {1382, m_hpEdit, &CMainFrame::OnDeltaposHPSpin, &CMainFrame::OnChangeHPEdit},
              {1380, m_eqEdit, &CMainFrame::OnDeltaposEQSpin, &CMainFrame::OnChangeEQEdit}};
  for (const auto& row : rows) {
    auto* spin = ui::item<ui::UpDownControl>(m_volumeBar, row.spinId);
    CValueEdit* edit = row.edit;
    if (spin) {
      spin->SetDeltaPos([this, h = row.spin](int pos, int delta, bool& refuse) { (this->*h)(pos, delta, refuse); });
      // The spin's buddy shows each new position, which runs the edit's change handler.
      connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), edit, [edit](int v) { edit->SetValue(v); });
    }
    connect(edit, &QLineEdit::textChanged, this, [this, h = row.change] { (this->*h)(); });
  }
  if (auto* presets = ui::item<QComboBox>(m_volumeBar, 5001))
    connect(presets, QOverload<int>::of(&QComboBox::activated), this, [this] { OnSelchangeVolumePreset(); });
  if (auto* set = ui::item<QPushButton>(m_volumeBar, 5000))
    connect(set, &QPushButton::clicked, this, [this] { OnVolumeSet(); });
}
