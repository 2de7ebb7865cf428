#include "voice/ui/VAMPane.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <algorithm>

#include "platform/host/HostServices.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DialogTemplate.h"
#include "uikit/PictureStore.h"
#include "uikit/ScrollCodes.h"
#include "views/SongViewHost.h"
#include "views/VoiceDialogs.h"
#include "voice/VoiceWindowHooks.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

constexpr int kRowHeight = CVamModel::kRowHeight;
constexpr int kHeaderWidth = CVamModel::kRowHeaderWidth;
constexpr int kLastColumn = CVamModel::kColumnCount - 1;

/// A COLORREF (0x00BBGGRR) as a colour.
QColor FromColorRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

int BarExtent(const QScrollBar* bar, Qt::Orientation o) {
  return o == Qt::Vertical ? bar->sizeHint().width() : bar->sizeHint().height();
}

}  // namespace

CVAMPane::CVAMPane(QWidget* parent) : CWheelScrollWnd(parent) {
  setObjectName(QStringLiteral("CVAMPane"));
  setFocusPolicy(Qt::StrongFocus);
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(ui::ControlName(kTabStripId));
  m_tabs->setFont(VoiceWindowHost::Font());
  m_tabs->setExpanding(false);
  m_tabs->setUsesScrollButtons(true);
  m_tabs->addTab(QStringLiteral("ALL"));
  for (unsigned n = 1; n <= 16; ++n) m_tabs->addTab(QStringLiteral("Ch%1").arg(n));
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
    m_model.SetChannelFilter(index - 1);
    Refresh(this);
  });
  m_hBar = new QScrollBar(Qt::Horizontal, this);
  m_vBar = new QScrollBar(Qt::Vertical, this);
  SetVerticalBar(m_vBar, true);
  connect(m_hBar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollHorz(scroll::CodeOfAction(action), m_hBar->sliderPosition()); });
  SetMode(platform::settings().GetChipMode());
}

CKZ1Doc* CVAMPane::Doc() const { return platform::registry().document; }

void CVAMPane::SetMode(int chipMode) { SetModeForProfile(chipMode, platform::settings().GetOutputProfile()); }

void CVAMPane::SetModeForProfile(int chipMode, int outputProfile) {
  const CKZ1Doc* doc = Doc();
  m_model.SetMode(chipMode, doc ? doc->GetVoiceSlotCount() : 0, outputProfile);
  m_vPos = std::clamp(m_vPos, m_model.GetFirstRow(), std::max(m_model.GetFirstRow(), m_model.GetLastRow()));
  resizeEvent(nullptr);
  update();
}

void CVAMPane::Refresh(const QWidget* sender) {
  if (sender == this) {
    VoiceWindowHost::Shell().UpdateVoiceWindows();
    // Without a main frame nobody else repaints this pane.
    update();
    return;
  }
  update();
}

void CVAMPane::Redraw() { update(QRect(0, GetHeaderHeight(), width(), height())); }

QSize CVAMPane::ClientSize() const {
  return QSize(std::max(0, width() - BarExtent(m_vBar, Qt::Vertical)),
               std::max(0, height() - BarExtent(m_hBar, Qt::Horizontal)));
}

int CVAMPane::HitTest(const QPoint& p, int* row) const {
  const QSize client = ClientSize();
  return m_model.HitTest(p.x(), p.y(), client.width(), client.height(), m_hPos, m_vPos, row);
}

void CVAMPane::resizeEvent(QResizeEvent*) {
  const int vw = BarExtent(m_vBar, Qt::Vertical);
  const int hh = BarExtent(m_hBar, Qt::Horizontal);
  const int tab = GetHeaderHeight();
  m_tabs->setGeometry(0, 0, width(), tab);
  m_tabs->setVisible(tab > 0);
  m_vBar->setGeometry(width() - vw, tab, vw, std::max(0, height() - tab - hh));
  m_hBar->setGeometry(0, height() - hh, std::max(0, width() - vw), hh);
  const QSize client = ClientSize();
  m_hPage = m_model.HorizontalPage(client.width());
  m_vPage = std::max(1, client.height() / kRowHeight);
  UpdateBars();
}

void CVAMPane::UpdateBars() {
  m_hBar->setRange(0, kLastColumn);
  m_hBar->setPageStep(1);
  m_hBar->setValue(m_hPos);
  m_vBar->setRange(m_model.GetFirstRow(), std::max(m_model.GetFirstRow(), m_model.GetLastRow()));
  m_vBar->setPageStep(m_vPage);
  m_vBar->setValue(m_vPos);
}

void CVAMPane::ScrollHorz(int code, int position) {
  int pos = m_hPos;
  switch (code) {
    case scroll::kLineUp: pos -= 1; break;
    case scroll::kLineDown: pos += 1; break;
    case scroll::kPageUp: pos -= 1; break;
    case scroll::kPageDown: pos += 1; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: pos = position; break;
    case scroll::kTop: pos = 0; break;
    case scroll::kBottom: pos = kLastColumn; break;
    default: return;
  }
  m_hPos = std::clamp(pos, 0, kLastColumn);
  m_hBar->setSliderPosition(m_hPos);
  update();
}

void CVAMPane::ScrollVert(int code, int position, QScrollBar*) {
  const int first = m_model.GetFirstRow();
  const int last = std::max(first, m_model.GetLastRow());
  int pos = m_vPos;
  switch (code) {
    case scroll::kLineUp: pos -= 1; break;
    case scroll::kLineDown: pos += 1; break;
    case scroll::kPageUp: pos = pos < m_vPage - 1 ? first : pos - m_vPage + 1; break;
    case scroll::kPageDown: pos = pos + m_vPage - 1; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: pos = position; break;
    case scroll::kTop: pos = first; break;
    case scroll::kBottom: pos = last; break;
    default: return;
  }
  m_vPos = std::clamp(pos, first, last);
  m_vBar->setSliderPosition(m_vPos);
  update();
}

QRect CVAMPane::CellRect(int row, int column) const {
  const int left = m_model.ColumnLeft(column, m_hPos);
  if (left < 0 || row < m_vPos) return {};
  const int top = GetHeaderHeight() + kRowHeight * (1 + row - m_vPos);
  return QRect(left, top, m_model.ColumnWidth(column), kRowHeight);
}

QPixmap CVAMPane::Render() const {
  QPixmap pixmap(ClientSize().expandedTo(QSize(1, 1)));
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  PaintGrid(painter);
  return pixmap;
}

void CVAMPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int tab = GetHeaderHeight();
  const QPixmap grid = Render();
  painter.drawPixmap(QPoint(0, tab), grid, QRect(0, tab, grid.width(), grid.height() - tab));
}

void CVAMPane::PaintGrid(QPainter& painter) const {
  const QSize client = ClientSize();
  const int tab = GetHeaderHeight();
  painter.setFont(VoiceWindowHost::Font());
  const QColor grid = FromColorRef(CVamModel::kGrey);
  const QColor band(240, 240, 240);
  // Header row and row headers.
  painter.fillRect(QRect(0, tab, client.width(), kRowHeight), band);
  painter.fillRect(QRect(0, tab, kHeaderWidth, client.height() - tab), band);
  painter.setPen(Qt::black);
  for (int c = m_hPos; c < CVamModel::kColumnCount; ++c) {
    const int left = m_model.ColumnLeft(c, m_hPos);
    if (left < 0) continue;
    if (left >= client.width()) break;
    painter.drawText(QRect(left, tab, m_model.ColumnWidth(c), kRowHeight), Qt::AlignCenter | Qt::TextSingleLine,
                     QString::fromLatin1(CVamModel::ColumnTitle(c)));
  }
  CKZ1Doc* doc = Doc();
  const int lastRow = m_model.GetLastRow();
  for (int row = m_vPos, top = tab + kRowHeight; row <= lastRow && top < client.height(); ++row, top += kRowHeight) {
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, top, kHeaderWidth, kRowHeight), Qt::AlignCenter | Qt::TextSingleLine,
                     QString::number(row + 1));
    if (doc && CVamModel::RowsShown(*doc)) PaintRow(painter, *doc, row, top);
  }
  painter.setPen(grid);
  for (int y = tab + kRowHeight; y < client.height(); y += kRowHeight) painter.drawLine(0, y, client.width(), y);
  painter.drawLine(kHeaderWidth, tab, kHeaderWidth, client.height());
  for (int c = m_hPos; c < CVamModel::kColumnCount; ++c) {
    const int left = m_model.ColumnLeft(c, m_hPos);
    if (left < 0) continue;
    const int right = left + m_model.ColumnWidth(c);
    if (left >= client.width()) break;
    painter.drawLine(right, tab, right, client.height());
  }
}

void CVAMPane::PaintRow(QPainter& painter, CKZ1Doc& doc, int slot, int top) const {
  if (!CVamModel::IsAssigned(doc, slot)) return;
  const QColor text = FromColorRef(m_model.RowColour(doc, slot, m_model.GetChannelFilter()));
  for (int c = m_hPos; c < CVamModel::kColumnCount; ++c) {
    const int left = m_model.ColumnLeft(c, m_hPos);
    if (left < 0) continue;
    const QRect cell(left, top, m_model.ColumnWidth(c), kRowHeight);
    const bool selected = c == CVamModel::kColName && slot == m_model.GetSelected();
    if (selected) painter.fillRect(cell.adjusted(1, 1, 0, 0), FromColorRef(CVamModel::kSelectedBack));
    const CVamModel::Cell content = m_model.CellOf(doc, slot, c);
    const QPixmap picture = content.picture ? ui::PictureStore::Instance().Pixmap(content.picture) : QPixmap();
    if (!picture.isNull()) {
      painter.drawPixmap(cell.center() - QPoint(picture.width() / 2, picture.height() / 2), picture);
      continue;
    }
    painter.setPen(selected ? QColor(Qt::white) : text);
    painter.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextSingleLine,
                     QString::fromLocal8Bit(content.text.c_str()));
  }
}

// --- Mouse -----------------------------------------------------------------------------------

void CVAMPane::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (event->button() == Qt::LeftButton) LeftDown(event->position().toPoint());
  if (event->button() == Qt::RightButton) RightDown(event->position().toPoint());
}

void CVAMPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) RightUp(event->position().toPoint(), event->globalPosition().toPoint());
}

void CVAMPane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) LeftDoubleClick(event->position().toPoint());
}

void CVAMPane::LeftDown(const QPoint& p) {
  CKZ1Doc* doc = Doc();
  int row = -1;
  const int column = HitTest(p, &row);
  if (!doc) return;
  const int chip = m_model.GetChipMode();
  if (column >= CVamModel::kColBankM && column <= CVamModel::kColNote) {
    if ((chip == 1 || chip == 2) && m_model.IsValidRow(*doc, row)) {
      if (RunVoiceChange(row)) Refresh(this);
    } else {
      m_model.SetSelected(-1);
    }
    return;
  }
  if (column == CVamModel::kColName) {
    m_model.ClickName(*doc, row);
    update();
    return;
  }
  if (column >= CVamModel::kColCh1 && column <= CVamModel::kColCh16) {
    if (m_model.ToggleChannel(*doc, row, column - CVamModel::kColCh1)) update();
    VoiceWindowHost::Shell().UpdateStatusPanes();
    return;
  }
  m_model.SetSelected(-1);
}

void CVAMPane::LeftDoubleClick(const QPoint& p) {
  CKZ1Doc* doc = Doc();
  int row = -1;
  if (!doc || HitTest(p, &row) != CVamModel::kColName) return;
  if (!m_model.IsValidRow(*doc, row)) return;
  const int chip = m_model.GetChipMode();
  if (chip == 1 || chip == 2) {
    if (voice_hooks::OpenSlotVoiceDialog(row, voice_hooks::SlotDialog::ByChipMode)) Refresh(this);
    return;
  }
  const int filter = m_model.GetChannelFilter();
  if (filter != -1 && !CVamModel::IsUsed(*doc, row, filter)) return;
  OpenSlotEditor(row);
}

void CVAMPane::OpenSlotEditor(int row) {
  CKZ1Doc* doc = Doc();
  const CVoiceItem* item = doc ? doc->GetVoiceItem(row) : nullptr;
  if (!item || item->IsFixedBank()) return;
  const CVoiceItem copy(*item);
  CKZxVoiceEditDlg sheet(QStringLiteral("Voice Edit"), this, 0, VoiceWindowHost::EditShell());
  sheet.Init(copy, 2, 0);
  if (sheet.DoModal() != 1) return;
  doc->SetVoiceItem(row, sheet.GetVoice(), 1);
  doc->ShareIdenticalWaves(sheet.GetVoice());
  if (doc->GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(7029);
  Refresh(this);
  VoiceWindowHost::Shell().UpdateReportBar();
}

bool CVAMPane::RunVoiceChange(int slot) {
  CVoiceChangeDlg dialog(AppSongViewHost::Instance(), this);
  dialog.SetVoiceSlot(slot);
  return dialog.exec() == QDialog::Accepted;
}

void CVAMPane::RightDown(const QPoint& p) {
  CKZ1Doc* doc = Doc();
  int row = -1;
  if (doc && HitTest(p, &row) == CVamModel::kColName) {
    m_model.RightClickName(*doc, row);
  } else {
    m_model.SetSelected(-1);
  }
  update();
}

void CVAMPane::RightUp(const QPoint& p, const QPoint& global) {
  CKZ1Doc* doc = Doc();
  IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  const int chip = m_model.GetChipMode();
  if (!doc || chip < 1 || chip > 5 || !shell.IsDeviceIdle()) return;
  int row = -1;
  const int column = HitTest(p, &row);
  QMenu menu(this);
  auto add = [&menu, this](const QString& label, int id, bool enabled) {
    QAction* a = menu.addAction(label);
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
  };
  if (chip == 1 || chip == 2) {
    if (column == CVamModel::kColName) {
      for (const char* label : {"&Undo", "&Redo", "Cu&t"}) menu.addAction(QString::fromLatin1(label))->setEnabled(false);
      add(QStringLiteral("&Copy"), kCopy, m_model.GetSelected() >= 0);
      add(QStringLiteral("&Paste"), kPaste, m_model.CanPaste(doc, shell));
      for (const char* label : {"&Transpose...", "&Duplicate/Move...", "&Erase..."}) {
        menu.addAction(QString::fromLatin1(label))->setEnabled(false);
      }
    } else {
      const int r = m_model.RightClickRow(p.y(), m_vPos);
      if (!doc->CountChannelVoices(r)) return;
      m_model.SetSelected(r >= m_model.GetFirstRow() && r <= m_model.GetLastRow() ? r : -1);
      const CVamModel::SlotPopup states = m_model.SlotPopupStates(*doc);
      add(QStringLiteral("&New"), kNew, states.newEnabled);
      add(QStringLiteral("&Delete"), kDelete, states.deleteEnabled);
      update();
    }
  } else if (column == CVamModel::kColName && row < m_model.GetLastRow() + 1) {
    if (!m_model.ShowsCopyPastePopup(*doc)) return;
    add(QStringLiteral("&Copy"), kCopyAlt, m_model.GetSelected() >= 0);
    add(QStringLiteral("&Paste"), kPasteAlt, m_model.CanPaste(doc, shell));
  } else if (column < 0 && p.y() < GetHeaderHeight() + kRowHeight) {
    const bool enabled = m_model.VoiceListCommandsEnabled(*doc);
    add(QStringLiteral("Import from Voice List..."), kImportFromList, enabled);
    add(QStringLiteral("Export to Voice List..."), kExportToList, enabled);
  } else {
    return;
  }
  menu.exec(global);
}

// --- Keys ------------------------------------------------------------------------------------

void CVAMPane::keyPressEvent(QKeyEvent* event) {
  scroll::ScrollByKey(*event, [this](int code) { ScrollVert(code, 0, nullptr); },
                      [this](int code) { ScrollHorz(code, 0); });
  CWheelScrollWnd::keyPressEvent(event);
}

// --- Commands --------------------------------------------------------------------------------

bool CVAMPane::HandlesCommand(int id) const {
  switch (id) {
    case kCopy: case kCopyAlt: case kPaste: case kPasteAlt: case kNew: case kDelete:
    case kSendAssigned: case kImportFromList: case kExportToList:
      return true;
    default:
      return false;
  }
}

bool CVAMPane::OnUpdate(int id, ui::CmdUI& cmdUi) {
  if (id == kCopy || id == kCopyAlt) {
    cmdUi.enabled = m_model.CanCopy(Doc(), VoiceWindowHost::Shell());
    return true;
  }
  if (id == kPaste || id == kPasteAlt) {
    cmdUi.enabled = m_model.CanPaste(Doc(), VoiceWindowHost::Shell());
    return true;
  }
  return false;
}

bool CVAMPane::OnCommand(int id) {
  CKZ1Doc* doc = Doc();
  IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  switch (id) {
    case kCopy:
    case kCopyAlt:
      if (doc) m_model.Copy(*doc, shell);
      return true;
    case kPaste:
    case kPasteAlt:
      if (doc && m_model.Paste(*doc, platform::registry().voiceLibrary, shell)) update();
      return true;
    case kNew: NewSlot(); return true;
    case kDelete: DeleteSlot(); return true;
    case kSendAssigned:
    case kImportFromList:
    case kExportToList:
      shell.SendCommand(id);
      return true;
    default:
      return false;
  }
}

void CVAMPane::NewSlot() {
  CKZ1Doc* doc = Doc();
  const int slot = m_model.GetSelected();
  if (!doc || slot < 0 || CVamModel::IsAssigned(*doc, slot)) return;
  doc->AssignKZ12Voice(slot, 0, 0);
  if (RunVoiceChange(slot)) {
    Refresh(this);
  } else {
    doc->ClearVoiceSlot(slot);
    update();
  }
}

void CVAMPane::DeleteSlot() {
  CKZ1Doc* doc = Doc();
  const int slot = m_model.GetSelected();
  if (!doc || slot < 0) return;
  doc->ClearVoiceSlot(slot);
  VoiceWindowHost::Shell().UpdateVoiceWindows();
  update();
}

// --- Frame -----------------------------------------------------------------------------------

CVAMFrm::CVAMFrm(ui::IFrameSlots* frameSlots, QWidget* parent) : ui::MdiFrame(kClassName, kMenuResource, frameSlots, parent) {
  setWindowTitle(QStringLiteral("Voice Assign Map"));
  m_pane = new CVAMPane(this);
  setWidget(m_pane);
  RestorePlacement(0, 0, 310, 212);
}

CVAMFrm::~CVAMFrm() { SavePlacement(); }
