#include "views/ChannelStatusDlg.h"

#include <QCheckBox>
#include <QPushButton>

#include "song/document/KZ1Doc.h"
#include "uikit/TemplateBuilder.h"
#include "views/SongWindowHost.h"

namespace {

using ui::ControlKind;

const ui::DialogTemplate& ChannelStatusTemplate() {
  static const ui::DialogTemplate t = [] {
    ui::DialogTemplate d{2243, "T2243.caption", {}};
    d.controls.push_back({-1, ControlKind::Label, "T2243.led", 0, 1});
    d.controls.push_back({-1, ControlKind::Label, "T2243.vs", 0, 2});
    static const char* const kLabels[16] = {"T2243.ch1",  "T2243.ch2",  "T2243.ch3",  "T2243.ch4",
                                            "T2243.ch5",  "T2243.ch6",  "T2243.ch7",  "T2243.ch8",
                                            "T2243.ch9",  "T2243.ch10", "T2243.ch11", "T2243.ch12",
                                            "T2243.ch13", "T2243.ch14", "T2243.ch15", "T2243.ch16"};
    for (int k = 0; k < 16; ++k) {
      d.controls.push_back({-1, ControlKind::Label, kLabels[k], k + 1, 0});
      d.controls.push_back({CChannelStatusDlg::kFirstLed + k, ControlKind::Check, nullptr, k + 1, 1});
      d.controls.push_back({CChannelStatusDlg::kFirstVs + k, ControlKind::Check, nullptr, k + 1, 2});
    }
    d.controls.push_back({1, ControlKind::Button, "T.ok", 17, 1});
    d.controls.push_back({2, ControlKind::Button, "T.cancel", 17, 2});
    return d;
  }();
  return t;
}

}  // namespace

CChannelStatusDlg::CChannelStatusDlg(ISongWindowHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
  ui::TemplateBuilder::Build(this, ChannelStatusTemplate());
  auto* ok = ui::item<QPushButton>(this, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { accept(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, [this] { reject(); });
}

void CChannelStatusDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_initDone) OnInitDialog();
}

void CChannelStatusDlg::OnInitDialog() {
  m_initDone = true;
  const CKZ1Doc* doc = m_host.Document();
  for (int k = 0; k < 16; ++k) {
    auto* led = ui::item<QCheckBox>(this, kFirstLed + k);
    auto* vs = ui::item<QCheckBox>(this, kFirstVs + k);
    const bool used = doc && doc->GetChannelUsed(k) != 0;
    led->setChecked(doc && doc->GetChannelLED(k) != 0);
    vs->setChecked(doc && doc->GetChannelVS(k) != 0);
    led->setEnabled(used);
    vs->setEnabled(used);
  }
}

void CChannelStatusDlg::OnOK() {
  if (!m_initDone) OnInitDialog();
  bool written = false;
  if (CKZ1Doc* doc = m_host.Document()) {
    for (int k = 0; k < 16; ++k) {
      auto* led = ui::item<QCheckBox>(this, kFirstLed + k);
      auto* vs = ui::item<QCheckBox>(this, kFirstVs + k);
      if (led->isEnabled() && led->isChecked() != (doc->GetChannelLED(k) != 0)) {
        doc->SetChannelLED(k, led->isChecked() ? 1 : 0);
        doc->SetModifiedFlags(0);
        written = true;
      }
      if (vs->isEnabled() && vs->isChecked() != (doc->GetChannelVS(k) != 0)) {
        doc->SetChannelVS(k, vs->isChecked() ? 1 : 0);
        doc->SetModifiedFlags(0);
        written = true;
      }
    }
  }
  if (written) m_host.UpdateSongWindows();
  QDialog::accept();
}
