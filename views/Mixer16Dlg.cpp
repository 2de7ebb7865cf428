#include "views/Mixer16Dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "app/core/OutputEngine.h"
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/PictureStore.h"
#include "uikit/TemplateBuilder.h"
#include "views/SongWindowHost.h"
#include "views/SongWindowPictures.h"

namespace {

using ui::ControlKind;

constexpr CMixerBase::ChannelIds kIds{1691, 1707, 1789, 1771, 1739, 1723, 1755};

const ui::DialogTemplate& Mixer16Template() {
  static const ui::DialogTemplate t = [] {
    ui::DialogTemplate d{2017, "T2017.caption", {}};
    const char* const rows[] = {"", "T2017.mute", "T2017.solo", "T2017.vol", "",
                                "T2017.bankMsb", "T2017.bankLsb", "T2017.prg"};
    for (int r = 0; r < 8; ++r)
      if (*rows[r]) d.controls.push_back({-1, ControlKind::Label, rows[r], r, 0});
    static const char* const kNames[16] = {"T2017.ch1",  "T2017.ch2",  "T2017.ch3",  "T2017.ch4",
                                           "T2017.ch5",  "T2017.ch6",  "T2017.ch7",  "T2017.ch8",
                                           "T2017.ch9",  "T2017.ch10", "T2017.ch11", "T2017.ch12",
                                           "T2017.ch13", "T2017.ch14", "T2017.ch15", "T2017.ch16"};
    for (int k = 0; k < 16; ++k) {
      d.controls.push_back({-1, ControlKind::Label, kNames[k], 0, k + 1});
      d.controls.push_back({kIds.mute + k, ControlKind::Check, nullptr, 1, k + 1});
      d.controls.push_back({kIds.solo + k, ControlKind::Check, nullptr, 2, k + 1});
      d.controls.push_back({kIds.volume + k, ControlKind::Edit, nullptr, 3, k + 1});
      d.controls.push_back({kIds.slider + k, ControlKind::Slider, nullptr, 4, k + 1});
      d.controls.push_back({kIds.bankMsb + k, ControlKind::Edit, nullptr, 5, k + 1});
      d.controls.push_back({kIds.bankLsb + k, ControlKind::Edit, nullptr, 6, k + 1});
      d.controls.push_back({kIds.program + k, ControlKind::Edit, nullptr, 7, k + 1});
    }
    d.controls.push_back({-1, ControlKind::Label, "T2017.digitalOut", 0, 17, false, 1, 2});
    d.controls.push_back({-1, ControlKind::Label, "T2017.l", 3, 17});
    d.controls.push_back({-1, ControlKind::Label, "T2017.r", 3, 18});
    d.controls.push_back({1787, ControlKind::Picture, nullptr, 4, 17});
    d.controls.push_back({1788, ControlKind::Picture, nullptr, 4, 18});
    d.controls.push_back({-1, ControlKind::Label, "T2017.fifo", 6, 17, false, 1, 2});
    d.controls.push_back({2189, ControlKind::Picture, nullptr, 7, 17, false, 1, 2});
    return d;
  }();
  return t;
}

}  // namespace

CMixer16Dlg::CMixer16Dlg(ISongWindowHost& host, QWidget* parent) : CMixerBase(host, kClassName, 16, kIds, parent) {
  RegisterSongWindowPictures();
  ui::TemplateBuilder::Build(this, Mixer16Template());
  m_allVolumesAtOnce = true;
  InitChannels();
  for (int k = 0; k < 16; ++k)
    connect(static_cast<QCheckBox*>(Control(kIds.solo, k)), &QCheckBox::clicked, this, [this] { OnSolo(); });
  for (int id : {kMeterL, kMeterR}) Meter(id)->setFixedSize(8, 110);
  ShowLevels();
  UpdateData(false);
}

QLabel* CMixer16Dlg::Meter(int id) const { return ui::item<QLabel>(this, id); }

void CMixer16Dlg::DrawMeter(QLabel* meter, int value) {
  if (!meter) return;
  value = std::clamp(value, 0, 127);
  const QSize size = meter->size();
  QPixmap picture(size);
  QPainter p(&picture);
  const ui::PictureStore& store = ui::PictureStore::Instance();
  p.drawPixmap(QRect(QPoint(0, 0), size), store.Pixmap(1210));
  const int h = size.height() * value / 127;
  const int rows = 110 * value / 127;
  if (h > 0 && rows > 0)
    p.drawPixmap(QRect(0, size.height() - h, size.width(), h), store.Pixmap(1209), QRect(0, 110 - rows, 8, rows));
  p.end();
  meter->setPixmap(picture);
  meter->repaint();
}

void CMixer16Dlg::ShowLevels() {
  IOutputEngine* engine = m_host.BoardDevice();
  const bool playing = engine && engine->IsPlaying();
  DrawMeter(Meter(kMeterL), playing ? engine->GetReplyByte1() : 0);
  DrawMeter(Meter(kMeterR), playing ? engine->GetReplyByte0() : 0);
  m_indicator = playing && engine->GetReplyByte2() != 0 ? 2190 : 2191;
  if (auto* indicator = ui::item<QLabel>(this, kIndicator))
    indicator->setPixmap(ui::PictureStore::Instance().Pixmap(m_indicator));
}

void CMixer16Dlg::Refresh() {
  const CKZ1Doc* doc = m_host.Document();
  if (!doc) {
    UpdateData(false);
    return;
  }
  if (m_host.PlayPositionRefresh() != 1) {
    RefreshChannels(*doc);
    const int originPch = platform::settings().GetOriginPch() ? 1 : 0;
    for (int k = 0; k < 16; ++k) {
      const auto i = static_cast<size_t>(k);
      const bool present = doc->GetChannelValue(k) != 0;
      m_bankMsb[i] = present ? QString::number(static_cast<int>(m_host.ChannelTable(0, k))) : QString();
      m_bankLsb[i] = present ? QString::number(static_cast<int>(m_host.ChannelTable(1, k))) : QString();
      m_program[i] = present ? QString::number(static_cast<int>(m_host.ChannelTable(2, k)) + originPch) : QString();
      for (int id : {kIds.mute, kIds.solo, kIds.bankMsb, kIds.bankLsb, kIds.program, kIds.volume, kIds.slider})
        if (QWidget* w = Control(id, k)) w->setEnabled(present);
    }
  }
  ShowLevels();
  UpdateData(false);
}

void CMixer16Dlg::Apply() {
  if (CKZ1Doc* doc = m_host.Document()) {
    WriteMutes(*doc);
    for (int k = 0; k < 16; ++k) {
      const auto i = static_cast<size_t>(k);
      const int v = 127 - m_slider[i];
      // A typed number is the new volume; elsewhere a channel whose slider still shows its
      // number (an unset one shows 100) is left alone.
      const bool write = m_fromNumber ? m_volume[i] != m_shownVolume[i]
                                      : v != doc->GetChannelVolume(k) && v != m_volume[i];
      if (write) doc->SetChannelVolume(k, m_fromNumber ? m_volume[i] : v);
    }
    doc->SetModifiedFlags(0);
  }
  m_host.UpdateVoiceWindows();
  Refresh();
}

void CMixer16Dlg::EnableChannels(int enable) {
  const CKZ1Doc* doc = m_host.Document();
  for (int k = 0; k < 16; ++k) {
    const bool on = enable == 1 && (!doc || doc->GetChannelValue(k) != 0);
    for (int id : {kIds.mute, kIds.solo, kIds.bankMsb, kIds.bankLsb, kIds.program, kIds.volume, kIds.slider})
      if (QWidget* w = Control(id, k)) w->setEnabled(on);
  }
}

void CMixer16Dlg::OnSolo() {
  UpdateData(true);
  int count = 0;
  for (int s : m_solo) count += s ? 1 : 0;
  if (count > 1) {
    for (size_t i = 0; i < m_solo.size(); ++i)
      if (!m_mute[i]) m_solo[i] = 0;
  }
  for (size_t i = 0; i < m_mute.size(); ++i) m_mute[i] = count >= 1 ? (m_solo[i] ? 0 : 1) : 0;
  UpdateData(false);
  Apply();
}
