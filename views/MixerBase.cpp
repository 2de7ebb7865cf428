#include "views/MixerBase.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <cstdlib>

#include "app/core/WindowPlacement.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/DialogTemplate.h"
#include "uikit/MdiFrame.h"
#include "views/SongWindowHost.h"

CMixerBase::CMixerBase(ISongWindowHost& host, std::string className, int channels, const ChannelIds& ids,
                       QWidget* parent)
    : QDialog(parent), m_host(host), m_className(std::move(className)), m_ids(ids) {
  const auto n = static_cast<size_t>(channels);
  m_mute.assign(n, 0);
  m_solo.assign(n, 0);
  m_slider.assign(n, 27);
  m_volume.assign(n, 100);
  m_shownVolume.assign(n, 100);
  m_bankMsb.assign(n, {});
  m_bankLsb.assign(n, {});
  m_program.assign(n, {});
}

CMixerBase::~CMixerBase() {
  WindowPlacement p;
  p.showCmd = isVisible() ? 1 : kShowHidden;
  p.rcNormalPosition = ui::ToPlacementRect(geometry());
  SaveWindowPlacement(ClassName(), p);
}

QWidget* CMixerBase::Control(int firstId, int k) const { return ui::item<QWidget>(this, firstId + k); }

void CMixerBase::InitChannels() {
  WindowPlacement current;
  current.rcNormalPosition = ui::ToPlacementRect(geometry());
  const WindowPlacement p = RestoreWindowPlacement(ClassName(), current, current.rcNormalPosition, 0, 0, 0, 0);
  move(p.rcNormalPosition.left, p.rcNormalPosition.top);
  for (int k = 0; k < Channels(); ++k) {
    auto* slider = static_cast<QSlider*>(Control(m_ids.slider, k));
    slider->setOrientation(Qt::Vertical);
    slider->setRange(0, 127);
    // Position 0 is the top: the volume reads upside down.
    slider->setInvertedAppearance(true);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setTickInterval(8);
    slider->setMinimumHeight(110);
    connect(slider, &QSlider::valueChanged, this, [this] { OnSlider(); });
    auto* volume = static_cast<QLineEdit*>(Control(m_ids.volume, k));
    volume->setMaxLength(3);
    volume->setFixedWidth(34);
    connect(volume, &QLineEdit::editingFinished, this, [this, k] { OnVolumeNumber(m_allVolumesAtOnce ? -1 : k); });
    connect(static_cast<QCheckBox*>(Control(m_ids.mute, k)), &QCheckBox::clicked, this, [this] { OnMute(); });
    for (int id : {m_ids.bankMsb, m_ids.bankLsb, m_ids.program}) {
      auto* edit = static_cast<QLineEdit*>(Control(id, k));
      edit->setReadOnly(true);
      edit->setFixedWidth(34);
    }
  }
}

bool CMixerBase::UpdateData(bool save) {
  ui::DataExchange dx(this, save ? ui::DataExchange::Direction::FromControls : ui::DataExchange::Direction::ToControls,
                      m_presenter);
  for (int k = 0; k < Channels(); ++k) {
    const auto i = static_cast<size_t>(k);
    dx.Check(m_ids.mute + k, m_mute[i]);
    dx.Check(m_ids.solo + k, m_solo[i]);
    if (auto* slider = static_cast<QSlider*>(Control(m_ids.slider, k)); slider && save) {
      m_slider[i] = slider->value();
    } else if (slider) {
      const QSignalBlocker block(slider);
      slider->setValue(m_slider[i]);
    }
    dx.IntValue(m_ids.volume + k, m_volume[i]);
    if (m_checkVolumes) dx.MinMaxInt(m_ids.volume + k, m_volume[i], 0, 127);
    std::string msb = m_bankMsb[i].toStdString();
    std::string lsb = m_bankLsb[i].toStdString();
    std::string program = m_program[i].toStdString();
    dx.Text(m_ids.bankMsb + k, msb);
    dx.Text(m_ids.bankLsb + k, lsb);
    dx.Text(m_ids.program + k, program);
    if (save) {
      m_bankMsb[i] = QString::fromStdString(msb);
      m_bankLsb[i] = QString::fromStdString(lsb);
      m_program[i] = QString::fromStdString(program);
    } else {
      m_shownVolume[i] = m_volume[i];
    }
  }
  return dx.Ok();
}

void CMixerBase::ResetChannels() { std::fill(m_solo.begin(), m_solo.end(), 0); }

void CMixerBase::RefreshChannels(const CKZ1Doc& doc) {
  const int n = Channels();
  int muted = 0;
  for (int k = 0; k < n; ++k) {
    const auto i = static_cast<size_t>(k);
    m_mute[i] = doc.GetChannelMute(k) ? 1 : 0;
    if (m_mute[i]) m_solo[i] = 0;
    muted += m_mute[i];
  }
  if (muted != n - 1) ResetChannels();
  for (int k = 0; k < n; ++k) {
    const auto i = static_cast<size_t>(k);
    const int v = doc.GetChannelVolume(k);
    m_volume[i] = v == kUnsetVolume ? 100 : v;
    m_slider[i] = 127 - m_volume[i];
  }
}

void CMixerBase::WriteMutes(CKZ1Doc& doc) const {
  for (int k = 0; k < Channels(); ++k) doc.SetChannelMute(k, m_mute[static_cast<size_t>(k)]);
}

void CMixerBase::OnMute() {
  UpdateData(true);
  Apply();
}

void CMixerBase::OnSlider() {
  UpdateData(true);
  Apply();
}

void CMixerBase::OnVolumeNumber(int k) {
  for (int c = 0; c < Channels(); ++c) {
    if (k >= 0 && c != k) continue;
    const auto i = static_cast<size_t>(c);
    auto* edit = static_cast<QLineEdit*>(Control(m_ids.volume, c));
    // The text's leading integer, as the C library reads it; no number reads 0.
    const int number = std::clamp(std::atoi(edit->text().trimmed().toLatin1().constData()), 0, 127);
    m_volume[i] = number;
    m_slider[i] = 127 - number;
  }
  for (int c = 0; c < Channels(); ++c) {
    const auto i = static_cast<size_t>(c);
    m_mute[i] = static_cast<QCheckBox*>(Control(m_ids.mute, c))->isChecked() ? 1 : 0;
    m_solo[i] = static_cast<QCheckBox*>(Control(m_ids.solo, c))->isChecked() ? 1 : 0;
  }
  const std::vector<int> shown = m_shownVolume;
  UpdateData(false);
  // The number path compares with what was shown before this edit.
  m_shownVolume = shown;
  m_fromNumber = true;
  Apply();
  m_fromNumber = false;
}
