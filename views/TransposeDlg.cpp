#include "views/TransposeDlg.h"

#include <QComboBox>
#include <QPushButton>
#include <cstdlib>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/TemplateBuilder.h"
#include "views/SongWindowHost.h"

namespace {

using ui::ControlKind;

constexpr int kMsgToAfterFrom = 7076;

const char* const kShifts[29] = {"3 Octave Up", "2 Octave Up", "1 Octave Up", "+11", "+10", "+9", "+8", "+7",
                                 "+6", "+5", "+4", "+3", "+2", "+1", "No Shift", "-1", "-2", "-3", "-4", "-5",
                                 "-6", "-7", "-8", "-9", "-10", "-11", "1 Octave Down", "2 Octave Down",
                                 "3 Octave Down"};
constexpr int kNoShiftIndex = 14;

const ui::DialogTemplate& TransposeTemplate() {
  static const ui::DialogTemplate t{2007,
                                    "T2007.caption",
                                    {
                                        {-1, ControlKind::Label, "T2007.channel", 0, 0},
                                        {1930, ControlKind::Combo, nullptr, 0, 1, false, 1, 2},
                                        {-1, ControlKind::Label, "T2007.value", 0, 3},
                                        {1931, ControlKind::Combo, nullptr, 0, 4, false, 1, 3},
                                        {-1, ControlKind::Label, "T2007.from", 1, 0},
                                        {1404, ControlKind::Edit, nullptr, 1, 1},
                                        {1407, ControlKind::UpDown, nullptr, 1, 2},
                                        {1405, ControlKind::Edit, nullptr, 1, 3},
                                        {1408, ControlKind::UpDown, nullptr, 1, 4},
                                        {1406, ControlKind::Edit, nullptr, 1, 5},
                                        {1409, ControlKind::UpDown, nullptr, 1, 6},
                                        {-1, ControlKind::Label, "T2007.to", 2, 0},
                                        {1413, ControlKind::Edit, nullptr, 2, 1},
                                        {1410, ControlKind::UpDown, nullptr, 2, 2},
                                        {1414, ControlKind::Edit, nullptr, 2, 3},
                                        {1411, ControlKind::UpDown, nullptr, 2, 4},
                                        {1415, ControlKind::Edit, nullptr, 2, 5},
                                        {1412, ControlKind::UpDown, nullptr, 2, 6},
                                        {1, ControlKind::Button, "T2007.ok", 3, 4, false, 1, 2},
                                        {2, ControlKind::Button, "T2007.cancel", 3, 6},
                                    }};
  return t;
}

}  // namespace

CTransposeDlg::CTransposeDlg(ISongWindowHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
  ui::TemplateBuilder::Build(this, TransposeTemplate());
  auto* shift = ui::item<QComboBox>(this, kShift);
  for (const char* entry : kShifts) shift->addItem(QString::fromLatin1(entry));
  auto* ok = ui::item<QPushButton>(this, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { accept(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, [this] { reject(); });
  m_from.Attach(this);
  m_to.Attach(this);
}

void CTransposeDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_initDone) OnInitDialog();
}

void CTransposeDlg::OnInitDialog() {
  m_initDone = true;
  m_from.Reset();
  m_to.Reset();
  auto* channel = ui::item<QComboBox>(this, kChannel);
  channel->clear();
  const CKZ1Doc* doc = m_host.Document();
  const int count = doc ? doc->GetChannelCount() : 0;
  for (int k = 1; k <= count; ++k) channel->addItem(QString::number(k));
  channel->addItem(QStringLiteral("ALL"));
  channel->setCurrentIndex(0);
  ui::item<QComboBox>(this, kShift)->setCurrentIndex(kNoShiftIndex);
  ui::item<QPushButton>(this, 1)->setEnabled(m_host.IsDeviceIdle() == 1);
  DoDataExchange(false);
}

bool CTransposeDlg::DoDataExchange(bool save) {
  ui::DataExchange dx(this, save ? ui::DataExchange::Direction::FromControls : ui::DataExchange::Direction::ToControls,
                      m_presenter);
  m_from.Exchange(dx);
  m_to.Exchange(dx);
  return dx.Ok();
}

int CTransposeDlg::ShiftOf(const QString& text) {
  static const std::pair<const char*, int> kOctaves[] = {{"3 Octave Up", 36},    {"2 Octave Up", 24},
                                                          {"1 Octave Up", 12},    {"1 Octave Down", -12},
                                                          {"2 Octave Down", -24}, {"3 Octave Down", -36}};
  for (auto [name, semitones] : kOctaves)
    if (text == QLatin1String(name)) return semitones;
  return std::atoi(text.toLatin1().constData());
}

void CTransposeDlg::OnOK() {
  if (!m_initDone) OnInitDialog();
  if (!DoDataExchange(true)) return;
  if (m_to.Tick() <= m_from.Tick()) {
    platform::ShowMessage(kMsgToAfterFrom);
    if (QWidget* to = ui::item<QWidget>(this, kToMeasure)) to->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (ReadFields(ShiftOf(ui::item<QComboBox>(this, kShift)->currentText()))) {
    QDialog::accept();
  } else {
    platform::messages().Beep();
  }
}

int CTransposeDlg::ReadFields(int semitones) {
  auto* combo = ui::item<QComboBox>(this, kChannel);
  const int channel = combo->currentText() == QLatin1String("ALL") ? -1 : combo->currentIndex();
  CKZ1Doc* doc = m_host.Document();
  if (!doc) return 0;
  const int result = doc->TransposeChannel(channel, semitones, m_from.Tick(), m_to.Tick());
  if (result) m_host.UpdateSongWindows();
  return result;
}
