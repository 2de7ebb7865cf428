#include "views/RegionBarDlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DataExchange.h"
#include "uikit/TemplateBuilder.h"
#include "uikit/TextFitCheck.h"
#include "views/ChannelView.h"
#include "views/SongWindowHost.h"

namespace {

using ui::ControlKind;

const ui::DialogTemplate& RegionBarTemplate() {
  static const ui::DialogTemplate t{2005,
                                    nullptr,
                                    {
                                        {1364, ControlKind::Button, "T2005.1364", 0, 0},
                                        {1359, ControlKind::Button, "T2005.1359", 0, 1},
                                        {1366, ControlKind::Button, "T2005.1366", 0, 2},
                                        {-1, ControlKind::Label, "T2005.from", 0, 3},
                                        {1360, ControlKind::Edit, nullptr, 0, 4},
                                        {1362, ControlKind::UpDown, nullptr, 0, 5},
                                        {1355, ControlKind::Edit, nullptr, 0, 6},
                                        {1357, ControlKind::UpDown, nullptr, 0, 7},
                                        {1367, ControlKind::Edit, nullptr, 0, 8},
                                        {1369, ControlKind::UpDown, nullptr, 0, 9},
                                        {-1, ControlKind::Label, "T2005.to", 0, 10},
                                        {1361, ControlKind::Edit, nullptr, 0, 11},
                                        {1363, ControlKind::UpDown, nullptr, 0, 12},
                                        {1356, ControlKind::Edit, nullptr, 0, 13},
                                        {1358, ControlKind::UpDown, nullptr, 0, 14},
                                        {1368, ControlKind::Edit, nullptr, 0, 15},
                                        {1370, ControlKind::UpDown, nullptr, 0, 16},
                                        {1365, ControlKind::Button, "T2005.1365", 0, 17},
                                        {1, ControlKind::Button, "T2005.ok", 0, 18},
                                        {2, ControlKind::Button, "T2005.ng", 0, 19},
                                    }};
  return t;
}

constexpr uint32_t kNone = 0xFFFFFFFFu;

}  // namespace

CRegionBarDlg::CRegionBarDlg(CChannelView& owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
  setObjectName(ui::ControlName(kTemplateId));
  setAutoFillBackground(true);
  ui::TemplateBuilder::Build(this, RegionBarTemplate());
  auto* grid = static_cast<QGridLayout*>(layout());
  grid->setContentsMargins(2, 0, 2, 0);
  grid->setHorizontalSpacing(2);
  grid->setColumnStretch(20, 1);
  // Edits as wide as their largest value, buttons as their texts: the bar fits the song window.
  for (int id : {kFromMeasure, kFromBeat, kFromTick, kToMeasure, kToBeat, kToTick}) {
    auto* edit = ui::item<QLineEdit>(this, id);
    const bool measure = id == kFromMeasure || id == kToMeasure;
    const bool beat = id == kFromBeat || id == kToBeat;
    edit->setFixedWidth(ui::TextFitCheck::EditWidthFor(edit, measure ? QStringLiteral("999") : beat ? QStringLiteral("5") : QStringLiteral("23")));
    edit->setMaxLength(3);
  }
  for (QPushButton* b : findChildren<QPushButton*>()) {
    b->setAutoDefault(false);
    b->setFixedHeight(22);
    b->setFixedWidth(ui::TextFitCheck::ButtonWidthFor(b, 2));
  }
  const std::pair<int, void (CRegionBarDlg::*)()> buttons[] = {
      {kPianoRoll, &CRegionBarDlg::OnPianoRoll}, {kEventList, &CRegionBarDlg::OnEventList},
      {kTextScore, &CRegionBarDlg::OnTextScore}, {kSet, &CRegionBarDlg::OnSet},
      {kOk, &CRegionBarDlg::OnOK},               {kNg, &CRegionBarDlg::OnCancel}};
  for (auto [id, handler] : buttons) {
    connect(ui::item<QPushButton>(this, id), &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
  }
  OnInitDialog();
}

void CRegionBarDlg::OnInitDialog() {
  ui::item<QWidget>(this, kTextScore)->setEnabled(platform::settings().GetChipMode() == 1);
  m_from.Attach(this);
  m_to.Attach(this);
  m_from.Reset();
  m_to.Reset();
  DoDataExchange(false);
  UpdateSetButton();
}

bool CRegionBarDlg::DoDataExchange(bool save) {
  ui::DataExchange dx(this, save ? ui::DataExchange::Direction::FromControls : ui::DataExchange::Direction::ToControls,
                      m_presenter);
  m_from.Exchange(dx);
  m_to.Exchange(dx);
  return dx.Ok();
}

void CRegionBarDlg::ResetTickRanges() {
  m_from.ResetTickRange(this);
  m_to.ResetTickRange(this);
}

void CRegionBarDlg::UpdateSetButton() {
  if (QWidget* set = ui::item<QWidget>(this, kSet)) set->setEnabled(m_owner.Host().IsDeviceIdle() == 1);
}

bool CRegionBarDlg::event(QEvent* e) {
  UpdateSetButton();
  return QWidget::event(e);
}

void CRegionBarDlg::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    OnOK();
  } else if (e->key() == Qt::Key_Escape) {
    OnCancel();
  } else {
    QWidget::keyPressEvent(e);
  }
}

void CRegionBarDlg::OnSet() {
  ISongWindowHost& host = m_owner.Host();
  if (host.IsDeviceIdle() != 1 || !DoDataExchange(true)) return;
  uint32_t from = m_from.Tick();
  uint32_t to = m_to.Tick();
  uint32_t firstNote = kNone;
  uint32_t lastEnd = kNone;
  if (const CKZ1Doc* doc = host.Document()) {
    for (const auto& m : *doc->GetMidiList()) {
      if (m->GetLength() == 0 || (m->GetData()[0] & 0xF0) != 0x90) continue;
      if (firstNote == kNone) firstNote = m->GetTick();
      lastEnd = m->GetEndTick();
    }
  }
  if (from < to && (lastEnd <= from || to <= firstNote)) {
    platform::messages().Beep();
    return;
  }
  if (to < from) {
    m_to.measure = m_from.measure;
    m_to.beat = m_from.beat;
    m_to.tick = m_from.tick;
    DoDataExchange(false);
    to = from;
  }
  m_owner.SetRegion(from != to ? 1 : 0, 1, from, to);
  m_owner.ApplyRegion();
  host.UpdateSongWindows();
}

void CRegionBarDlg::OnCancel() {
  m_owner.SetRegion(0, 1, 0, 0);
  m_owner.ApplyRegion();
  m_owner.UpdateView(&m_owner);
}

void CRegionBarDlg::OpenView(const char* className, int resourceId, bool applyRegion) {
  ISongWindowHost& host = m_owner.Host();
  const bool wasOpen = host.FindToolWindow(className) != nullptr;
  if (host.OpenToolWindow(className, resourceId) && !wasOpen && applyRegion) m_owner.ApplyRegion();
}

void CRegionBarDlg::OnPianoRoll() { OpenView("CPRollFrm", 1003, true); }

void CRegionBarDlg::OnEventList() { OpenView("CEListFrm", 1001, false); }

void CRegionBarDlg::OnTextScore() { OpenView("CKZ1TextScoreFrm", 1004, true); }
