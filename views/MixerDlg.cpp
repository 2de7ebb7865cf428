#include "views/MixerDlg.h"

#include <QCheckBox>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/TemplateBuilder.h"
#include "views/SongWindowHost.h"

namespace {

using ui::ControlKind;

constexpr CMixerBase::ChannelIds kIds{1813, 1826, 1821, 1830, 1809, 1805, 1817};

const ui::DialogTemplate& MixerTemplate() {
  static const ui::DialogTemplate t = [] {
    ui::DialogTemplate d{2016, "T2016.caption", {}};
    const char* const rows[] = {"T2016.ch", "T2016.mute", "T2016.solo", "T2016.vol", "",
                                "T2016.bankMsb", "T2016.bankLsb", "T2016.prg"};
    for (int r = 0; r < 8; ++r)
      if (*rows[r]) d.controls.push_back({-1, ControlKind::Label, rows[r], r, 0});
    static const char* const kNumbers[4] = {"T2016.1", "T2016.2", "T2016.3", "T2016.4"};
    for (int k = 0; k < 4; ++k) {
      d.controls.push_back({-1, ControlKind::Label, kNumbers[k], 0, k + 1});
      d.controls.push_back({kIds.mute + k, ControlKind::Check, nullptr, 1, k + 1});
      d.controls.push_back({kIds.solo + k, ControlKind::Check, nullptr, 2, k + 1});
      d.controls.push_back({kIds.volume + k, ControlKind::Edit, nullptr, 3, k + 1});
      d.controls.push_back({kIds.slider + k, ControlKind::Slider, nullptr, 4, k + 1});
      d.controls.push_back({kIds.bankMsb + k, ControlKind::Edit, nullptr, 5, k + 1});
      d.controls.push_back({kIds.bankLsb + k, ControlKind::Edit, nullptr, 6, k + 1});
      d.controls.push_back({kIds.program + k, ControlKind::Edit, nullptr, 7, k + 1});
    }
    return d;
  }();
  return t;
}

}  // namespace

CMixerDlg::CMixerDlg(ISongWindowHost& host, QWidget* parent) : CMixerBase(host, kClassName, 4, kIds, parent) {
  ui::TemplateBuilder::Build(this, MixerTemplate());
  m_checkVolumes = true;
  InitChannels();
  for (int k = 0; k < 4; ++k)
    connect(static_cast<QCheckBox*>(Control(kIds.solo, k)), &QCheckBox::clicked, this, [this, k] { OnSolo(k); });
  UpdateData(false);
}

void CMixerDlg::Refresh() {
  const CKZ1Doc* doc = m_host.Document();
  if (!doc) return;
  RefreshChannels(*doc);
  for (int k = 0; k < 4; ++k) {
    const auto i = static_cast<size_t>(k);
    m_bankMsb[i] = QString::number(m_host.ChannelTable(0, k));
    m_bankLsb[i] = QString::number(m_host.ChannelTable(1, k));
    m_program[i] = QString::number(m_host.ChannelTable(2, k));
  }
  UpdateData(false);
}

void CMixerDlg::Apply() {
  if (CKZ1Doc* doc = m_host.Document()) {
    WriteMutes(*doc);
    for (int k = 0; k < 4; ++k) doc->SetChannelVolume(k, 127 - m_slider[static_cast<size_t>(k)]);
    doc->SetModifiedFlags(0);
  }
  m_host.UpdateVoiceWindows();
  Refresh();
}

void CMixerDlg::EnableChannels(int enable) {
  for (int k = 0; k < 4; ++k)
    for (int id : {kIds.mute, kIds.solo, kIds.volume, kIds.slider})
      if (QWidget* w = Control(id, k)) w->setEnabled(enable != 0);
}

void CMixerDlg::OnSolo(int c) {
  UpdateData(true);
  for (int k = 0; k < 4; ++k)
    if (k != c) m_solo[static_cast<size_t>(k)] = 0;
  m_mute[static_cast<size_t>(c)] = 0;
  const int others = m_solo[static_cast<size_t>(c)] ? 1 : 0;
  for (int k = 0; k < 4; ++k)
    if (k != c) m_mute[static_cast<size_t>(k)] = others;
  UpdateData(false);
  Apply();
}

void CMixerDlg::OnOK() { OnVolumeNumber(-1); }
