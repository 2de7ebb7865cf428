#include "app/ui/VelocityChangeDlg.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/core/ValueEditText.h"
#include "app/ui/RateEdit.h"
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"
#include "views/SongViewHost.h"

namespace {

using ui::ControlKind;

const ui::DialogTemplate& VelocityTemplate() {
  static const ui::DialogTemplate t{CVelocityChangeDlg::kTemplateId,
                                    "T2493.caption",
                                    {
                                        {-1, ControlKind::Label, "T2493.2499", 0, 0},
                                        {CVelocityChangeDlg::kRateEdit, ControlKind::Custom, nullptr, 0, 1},
                                        {CVelocityChangeDlg::kRateSpin, ControlKind::UpDown, nullptr, 0, 2},
                                        {-1, ControlKind::Label, "T2493.2506", 1, 0},
                                        {CVelocityChangeDlg::kChannelCombo, ControlKind::Combo, nullptr, 1, 1, false, 1, 2},
                                        {1, ControlKind::Button, "T.ok", 2, 1},
                                        {2, ControlKind::Button, "T.cancel", 2, 2},
                                    }};
  return t;
}

}  // namespace

CVelocityChangeDlg::CVelocityChangeDlg(ISongViewHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
  setObjectName(QString::fromLatin1(kClassName));
  ui::TemplateBuilder::Build(this, VelocityTemplate(), [](const ui::ControlSpec& spec, QWidget* p) -> QWidget* {
    return spec.id == kRateEdit ? new CRateEdit(p) : nullptr;
  });
  m_rateEdit = ui::item<CRateEdit>(this, kRateEdit);
  m_channelList = ui::item<QComboBox>(this, kChannelCombo);
  m_ok = ui::item<QPushButton>(this, 1);
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, [this] { OnCancel(); });
  connect(m_rateEdit, &QLineEdit::textChanged, this, [this] { OnChangeRate(); });
  connect(m_channelList, &QComboBox::currentIndexChanged, this, [this] { OnSelchangeChannel(); });
  auto* spin = ui::item<ui::UpDownControl>(this, kRateSpin);
  // The spin holds no value of its own: both arrows stay live and each step goes to the rate.
  spin->setRange(-1, 1);
  spin->setValue(0);
  spin->SetDeltaPos([this](int, int delta, bool& refuse) {
    refuse = true;
    OnDeltaposSpin(delta);
  });
  m_rateEdit->installEventFilter(this);
  SetChannelMode(0);
  ResetValues();
}

void CVelocityChangeDlg::ResetValues() {
  m_rate = 100;
  m_channel = kAll;
  m_appliedChannel = kAll;
  m_appliedRate = 100;
  m_listMode = 0;
  ShowValues();
}

void CVelocityChangeDlg::SetChannelMode(int mode) {
  m_listMode = static_cast<uint8_t>(mode);
  const QSignalBlocker block(m_channelList);
  m_channelList->clear();
  for (int i = 1; i <= 16; ++i) m_channelList->addItem(QString::asprintf("%3d", i));
  m_stmIndex = -1;
  if (m_listMode != 2) {
    m_stmIndex = m_channelList->count();
    m_channelList->addItem(QStringLiteral("STM"));
  }
  m_allIndex = m_channelList->count();
  m_channelList->addItem(QStringLiteral("ALL"));
  // A choice the new list cannot show falls back to the whole song.
  if (IndexOfChannel(m_channel) < 0) m_channel = kAll;
  m_channelList->setCurrentIndex(IndexOfChannel(m_channel));
}

int CVelocityChangeDlg::IndexOfChannel(uint8_t channel) const {
  if (channel < 16) return channel < m_channelList->count() ? channel : -1;
  if (channel == kStreamPcm) return m_stmIndex;
  if (channel == kAll) return m_allIndex;
  return -1;
}

void CVelocityChangeDlg::ShowValues() {
  {
    const QSignalBlocker block(m_rateEdit);
    m_rateEdit->SetValue(m_rate);
  }
  const QSignalBlocker block(m_channelList);
  m_channelList->setCurrentIndex(IndexOfChannel(m_channel));
}

void CVelocityChangeDlg::OnChangeRate() {
  const QString text = m_rateEdit->text();
  if (!text.isEmpty()) m_rate = value_edit::ReadValueText(text.toStdString());
}

void CVelocityChangeDlg::OnSelchangeChannel() {
  const int index = m_channelList->currentIndex();
  if (index < 0 || index == m_allIndex) {
    m_channel = kAll;
  } else if (index == m_stmIndex) {
    m_channel = kStreamPcm;
  } else {
    m_channel = static_cast<uint8_t>(index);
  }
}

void CVelocityChangeDlg::OnDeltaposSpin(int delta) {
  if (delta > 0 && m_rate >= kRateMin && m_rate < kRateMax) {
    ++m_rate;
  } else if (delta < 0 && m_rate > kRateMin && m_rate <= kRateMax) {
    --m_rate;
  }
  ShowValues();
}

void CVelocityChangeDlg::OnOK() {
  ui::DataExchange dx(this, ui::DataExchange::Direction::FromControls, m_presenter);
  int rate = m_rate;
  if (!dx.IntValue(kRateEdit, rate)) return;
  OnSelchangeChannel();
  m_rate = std::clamp(rate, kRateMin, kRateMax);
  if (CKZ1Doc* doc = m_host.Document()) doc->ScaleVelocities(m_channel, m_rate);
  ShowValues();
  m_appliedRate = m_rate;
  m_appliedChannel = m_channel;
  platform::ui().UpdateVoiceWindows();
  m_host.UpdateSongWindows();
  hide();
}

void CVelocityChangeDlg::OnCancel() {
  m_rate = m_appliedRate;
  m_channel = m_appliedChannel;
  ShowValues();
  hide();
}

void CVelocityChangeDlg::OnEnter() {
  QWidget* focus = focusWidget();
  if (focus == m_ok) {
    OnOK();
  } else if (focus == m_rateEdit) {
    m_rate = std::clamp(m_rate, kRateMin, kRateMax);
    ShowValues();
    m_ok->setEnabled(true);
    focusNextChild();
  } else if (focus == m_channelList) {
    focusNextChild();
  } else {
    OnCancel();
  }
}

void CVelocityChangeDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    OnEnter();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool CVelocityChangeDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_rateEdit) {
    // OK waits while a rate is being typed; leaving the edit any way brings it back, so OK
    // is never left off once the edit is no longer in use.
    if (event->type() == QEvent::FocusIn) m_ok->setEnabled(false);
    if (event->type() == QEvent::FocusOut) m_ok->setEnabled(true);
  }
  return QDialog::eventFilter(watched, event);
}
