#include "views/RegionEditDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/PictureStore.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/UiText.h"
#include "views/SongViewHost.h"

namespace {

using ui::ControlKind;

constexpr int kMsgToAfterFrom = 7076;
constexpr int kTargetPart[] = {1400, 1401, 1909, 1910, 1918, 1911, 1416, 1417, 1420, 1418, 1421, 1419, 1422};

const ui::DialogTemplate& RegionEditTemplate() {
  static const ui::DialogTemplate t{2008,
                                    nullptr,
                                    {
                                        {-1, ControlKind::Label, "T2008.source", 0, 0},
                                        {1403, ControlKind::Combo, nullptr, 0, 1, false, 1, 2},
                                        {-1, ControlKind::Label, "T2008.from", 1, 0},
                                        {1404, ControlKind::Edit, nullptr, 1, 1},
                                        {1407, ControlKind::UpDown, nullptr, 1, 2},
                                        {1405, ControlKind::Edit, nullptr, 1, 3},
                                        {1408, ControlKind::UpDown, nullptr, 1, 4},
                                        {1406, ControlKind::Edit, nullptr, 1, 5},
                                        {1409, ControlKind::UpDown, nullptr, 1, 6},
                                        {-1, ControlKind::Label, "T2008.to", 2, 0},
                                        {1413, ControlKind::Edit, nullptr, 2, 1},
                                        {1410, ControlKind::UpDown, nullptr, 2, 2},
                                        {1414, ControlKind::Edit, nullptr, 2, 3},
                                        {1411, ControlKind::UpDown, nullptr, 2, 4},
                                        {1415, ControlKind::Edit, nullptr, 2, 5},
                                        {1412, ControlKind::UpDown, nullptr, 2, 6},
                                        {1402, ControlKind::Check, "T2008.1402", 3, 1, false, 1, 3},
                                        {1400, ControlKind::Picture, nullptr, 4, 9, false, 3, 1},
                                        {1401, ControlKind::Group, "T2008.1401", 4, 0, false, 3, 9},
                                        {1909, ControlKind::Label, "T2008.1909", 5, 0},
                                        {1416, ControlKind::Combo, nullptr, 5, 1, false, 1, 2},
                                        {1918, ControlKind::Label, "T2008.1918", 6, 0},
                                        {1417, ControlKind::Edit, nullptr, 6, 1},
                                        {1420, ControlKind::UpDown, nullptr, 6, 2},
                                        {1910, ControlKind::Label, "T2008.1910", 6, 3},
                                        {1418, ControlKind::Edit, nullptr, 6, 4},
                                        {1421, ControlKind::UpDown, nullptr, 6, 5},
                                        {1911, ControlKind::Label, "T2008.1911", 6, 6},
                                        {1419, ControlKind::Edit, nullptr, 6, 7},
                                        {1422, ControlKind::UpDown, nullptr, 6, 8},
                                        {1, ControlKind::Button, "T2008.ok", 7, 5, false, 1, 2},
                                        {2, ControlKind::Button, "T2008.cancel", 7, 7, false, 1, 2},
                                    }};
  return t;
}

}  // namespace

CRegionEditDlg::CRegionEditDlg(ISongViewHost& host, QWidget* parent) : QDialog(parent), m_host(host) {
  ui::TemplateBuilder::Build(this, RegionEditTemplate());
  auto* ok = ui::item<QPushButton>(this, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { accept(); });
  connect(ui::item<QPushButton>(this, 2), &QPushButton::clicked, this, [this] { reject(); });
  connect(ui::item<QComboBox>(this, kSourceChannel), &QComboBox::currentIndexChanged, this, [this] {
    if (m_initDone) OnSelchangeSourceChannel();
  });
  m_from.Attach(this);
  m_to.Attach(this);
  m_target.Attach(this);
}

int CRegionEditDlg::SetMode(int mode) {
  m_mode = mode;
  return 1;
}

uint32_t CRegionEditDlg::GetPosition(int k) const {
  switch (k) {
    case 0: return m_from.Tick();
    case 1: return m_to.Tick();
    default: return m_target.Tick();
  }
}

int CRegionEditDlg::GetOption() const { return m_mode == kErase && m_sourceChannel != -1 ? 0 : m_option; }

void CRegionEditDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_initDone) OnInitDialog();
}

bool CRegionEditDlg::SourceIsAll() const {
  auto* source = ui::item<QComboBox>(this, kSourceChannel);
  return source->currentIndex() == source->count() - 1;
}

void CRegionEditDlg::OnInitDialog() {
  m_from.Reset();
  m_to.Reset();
  m_target.Reset();
  m_option = 0;
  DoDataExchange(false);
  const CKZ1Doc* doc = m_host.Document();
  const int count = doc ? doc->GetChannelCount() : 0;
  auto* source = ui::item<QComboBox>(this, kSourceChannel);
  auto* target = ui::item<QComboBox>(this, kTargetChannel);
  source->clear();
  target->clear();
  for (int k = 1; k <= count; ++k) {
    source->addItem(QString::number(k));
    target->addItem(QString::number(k));
  }
  source->addItem(QStringLiteral("ALL"));
  source->setCurrentIndex(source->count() - 1);
  target->setCurrentIndex(0);
  target->setEnabled(false);
  auto* option = ui::item<QCheckBox>(this, kOption);
  if (m_mode == kErase) {
    setWindowTitle(QStringLiteral("Erase"));
    option->setText(QStringLiteral("Snip"));
    for (int id : kTargetPart)
      if (QWidget* w = ui::item<QWidget>(this, id)) w->setVisible(false);
  } else {
    setWindowTitle(QStringLiteral("Duplicate"));
    option->setText(QStringLiteral("Move"));
    if (auto* picture = ui::item<QLabel>(this, 1400)) picture->setPixmap(ui::PictureStore::Instance().Pixmap(2059));
  }
  m_initDone = true;
  OnSelchangeSourceChannel();
}

void CRegionEditDlg::OnSelchangeSourceChannel() {
  const bool all = SourceIsAll();
  if (m_mode == kDuplicate) {
    auto* target = ui::item<QComboBox>(this, kTargetChannel);
    if (all) {
      m_targetChannel = -1;
      target->setCurrentIndex(0);
    }
    target->setEnabled(!all);
  } else if (m_mode == kErase) {
    ui::item<QWidget>(this, kOption)->setEnabled(all);
  }
}

bool CRegionEditDlg::DoDataExchange(bool save) {
  ui::DataExchange dx(this, save ? ui::DataExchange::Direction::FromControls : ui::DataExchange::Direction::ToControls,
                      m_presenter);
  m_from.Exchange(dx);
  m_to.Exchange(dx);
  m_target.Exchange(dx);
  dx.Check(kOption, m_option);
  return dx.Ok();
}

void CRegionEditDlg::OnOK() {
  if (!m_initDone) OnInitDialog();
  if (!DoDataExchange(true)) return;
  if (GetPosition(0) < GetPosition(1)) {
    ReadBack();
    QDialog::accept();
    return;
  }
  platform::ShowMessage(kMsgToAfterFrom);
  if (QWidget* to = ui::item<QWidget>(this, kToMeasure)) to->setFocus(Qt::OtherFocusReason);
}

void CRegionEditDlg::ReadBack() {
  m_sourceChannel = SourceIsAll() ? -1 : ui::item<QComboBox>(this, kSourceChannel)->currentIndex();
  m_targetChannel = m_sourceChannel == -1 ? -1 : ui::item<QComboBox>(this, kTargetChannel)->currentIndex();
}
