#include "voice/ui/VListPane.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <algorithm>

#include "platform/host/HostServices.h"
#include "song/VoiceLibrary.h"
#include "uikit/DialogTemplate.h"
#include "uikit/ScrollCodes.h"
#include "voice/ui/VListHooks.h"
#include "voice/ui/VListPaint.h"
#include "voice/ui/VoiceEditDlg.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

constexpr int kRowHeight = CVListModel::kRowHeight;
constexpr int kLabelWidth = CVListModel::kLabelWidth;
constexpr int kColumnWidth = CVListModel::kColumnWidth;

}  // namespace

CVListPane::CVListPane(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CVListPane"));
  setFocusPolicy(Qt::StrongFocus);
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(ui::ControlName(kTabControlId));
  m_tabs->setFont(VoiceWindowHost::Font());
  m_tabs->setExpanding(false);
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
    m_model.SetTab(index);
    update();
  });
  m_hBar = new QScrollBar(Qt::Horizontal, this);
  m_vBar = new QScrollBar(Qt::Vertical, this);
  connect(m_hBar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollHorz(scroll::CodeOfAction(action), m_hBar->sliderPosition()); });
  connect(m_vBar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollVert(scroll::CodeOfAction(action), m_vBar->sliderPosition()); });
  SetMode(1);
}

CVoiceLibrary* CVListPane::Library() const { return platform::registry().voiceLibrary; }

void CVListPane::SetMode(int mode) {
  m_model.SetMode(mode);
  RebuildTabs();
  m_hPos = std::min(m_hPos, m_model.GetLastColumn());
  resizeEvent(nullptr);
  update();
}

void CVListPane::RebuildTabs() {
  const QSignalBlocker block(m_tabs);
  while (m_tabs->count() > 0) m_tabs->removeTab(0);
  for (int t = 0; t < m_model.GetTabCount(); ++t) m_tabs->addTab(QString::fromLatin1(m_model.TabLabel(t)));
  m_tabs->setCurrentIndex(m_model.GetTab());
}

void CVListPane::Refresh(const QWidget* sender) {
  if (sender == this) VoiceWindowHost::Shell().UpdateVoiceWindows();
  update();
}

QSize CVListPane::ClientSize() const {
  return QSize(std::max(0, width() - m_vBar->sizeHint().width()),
               std::max(0, height() - m_hBar->sizeHint().height()));
}

void CVListPane::resizeEvent(QResizeEvent*) {
  const int vw = m_vBar->sizeHint().width();
  const int hh = m_hBar->sizeHint().height();
  const int tab = m_model.GetTabHeight();
  m_tabs->setGeometry(0, 0, width(), tab);
  m_tabs->setVisible(tab > 0);
  m_vBar->setGeometry(width() - vw, tab, vw, std::max(0, height() - tab - hh));
  m_hBar->setGeometry(0, height() - hh, std::max(0, width() - vw), hh);
  m_columnsPerPage = std::max(1, width() / kColumnWidth);
  UpdateBars();
}

void CVListPane::UpdateBars() {
  m_hBar->setRange(0, m_model.GetLastColumn());
  m_hBar->setPageStep(m_columnsPerPage);
  m_hBar->setValue(m_hPos);
  m_vBar->setRange(0, CVListModel::kLastRow);
  m_vBar->setPageStep(std::max(1, height() / kRowHeight));
  m_vBar->setValue(m_vPos);
}

void CVListPane::ScrollHorz(int code, int position) {
  m_hPos = m_model.ScrollColumn(code, m_hPos, position, m_columnsPerPage);
  m_hBar->setSliderPosition(m_hPos);
  update();
}

void CVListPane::ScrollVert(int code, int position) {
  m_vPos = CVListModel::ScrollRow(code, m_vPos, position);
  m_vBar->setSliderPosition(m_vPos);
  update();
}

QRect CVListPane::CellRect(int column, int row) const {
  if (column < m_hPos || column > m_model.GetLastColumn() || row < m_vPos || row > CVListModel::kLastRow) return {};
  return QRect(kLabelWidth + (column - m_hPos) * kColumnWidth, m_model.GetGridTop() + (row - m_vPos) * kRowHeight,
               kColumnWidth, kRowHeight);
}

void CVListPane::PaintHeader(QPainter& p, const QSize& client) const {
  const int top = m_model.GetTabHeight();
  vlistpaint::HeaderCell(p, QRect(0, top, kLabelWidth, kRowHeight), QString::fromLatin1(CVListModel::CornerText()));
  for (int c = m_hPos, x = kLabelWidth; c <= m_model.GetLastColumn() && x < client.width(); ++c, x += kColumnWidth) {
    vlistpaint::HeaderCell(p, QRect(x, top, kColumnWidth, kRowHeight), QString::fromStdString(m_model.ColumnHeader(c)));
  }
}

QPixmap CVListPane::Render() const {
  const QSize client = ClientSize().expandedTo(QSize(1, 1));
  QPixmap pixmap(client);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setFont(VoiceWindowHost::Font());
  const int gridTop = m_model.GetGridTop();
  p.fillRect(QRect(0, m_model.GetTabHeight(), client.width(), kRowHeight), vlistpaint::Colour(CVListModel::kBand));
  PaintHeader(p, client);
  CVoiceLibrary* library = Library();
  for (int row = m_vPos, top = gridTop; row <= CVListModel::kLastRow && top < client.height(); ++row, top += kRowHeight) {
    vlistpaint::HeaderCell(p, QRect(0, top, kLabelWidth, kRowHeight), QString::fromStdString(CVListModel::RowLabel(row)));
    for (int c = m_hPos; c <= m_model.GetLastColumn(); ++c) {
      const QRect cell = CellRect(c, row);
      if (cell.left() >= client.width()) break;
      const bool selected = c == m_model.GetSelectedColumn() && row == m_model.GetSelectedRow();
      const QString text = library ? QString::fromLocal8Bit(m_model.CellText(*library, c, row).c_str()) : QString();
      vlistpaint::TextCell(p, cell, text, selected ? 0xFFFFFF : 0x000000,
                           selected ? CVListModel::kSelectedBack : 0xFFFFFF);
    }
  }
  p.setPen(vlistpaint::Colour(CVListModel::kGrid));
  for (int y = gridTop; y < client.height(); y += kRowHeight) p.drawLine(kLabelWidth, y, client.width(), y);
  for (int c = m_hPos, x = kLabelWidth; c <= m_model.GetLastColumn() + 1 && x < client.width(); ++c, x += kColumnWidth) {
    p.drawLine(x, gridTop, x, client.height());
  }
  return pixmap;
}

void CVListPane::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int tab = m_model.GetTabHeight();
  const QPixmap grid = Render();
  painter.drawPixmap(QPoint(0, tab), grid, QRect(0, tab, grid.width(), grid.height() - tab));
}

// --- Mouse -----------------------------------------------------------------------------------

void CVListPane::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) LeftDown(event->position().toPoint());
}

void CVListPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) RightUp(event->position().toPoint(), event->globalPosition().toPoint());
}

void CVListPane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) LeftDoubleClick(event->position().toPoint());
}

void CVListPane::LeftDown(const QPoint& p) {
  m_model.Click(p.x(), p.y(), m_hPos, m_vPos);
  update();
}

void CVListPane::LeftDoubleClick(const QPoint& p) {
  int row = -1;
  const int column = m_model.HitTest(p.x(), p.y(), m_hPos, m_vPos, &row);
  if (column < 0) return;
  const int bank = m_model.BankOf(column);
  if (m_model.GetMode() == 1) {
    CVoiceEditDlg dialog(VoiceWindowHost::EditShell().app, this);
    dialog.SetVoice(row, bank);
    dialog.DoModal();
  } else {
    vlist_hooks::OpenGen2Dialog(bank, row, CVListModel::IsEditableBank(bank));
  }
  update();
}

VListMenu CVListPane::MenuAt(const QPoint& p) {
  CVoiceLibrary* library = Library();
  const IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  int row = -1;
  if (!library || !shell.IsDeviceIdle() || m_model.HitTest(p.x(), p.y(), m_hPos, m_vPos, &row) < 0) return {};
  return m_model.CellMenu(*library, shell);
}

void CVListPane::RightUp(const QPoint& p, const QPoint& global) {
  const VListMenu items = MenuAt(p);
  if (items.empty()) return;
  QMenu menu(this);
  vlistpaint::FillMenu(menu, items, [this](int id) { OnCommand(id); });
  menu.exec(global);
}

// --- Commands --------------------------------------------------------------------------------

bool CVListPane::HandlesCommand(int id) const { return id == CVListModel::kCopy || id == CVListModel::kPaste; }

bool CVListPane::OnUpdate(int id, ui::CmdUI& cmdUi) {
  CVoiceLibrary* library = Library();
  const IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  if (id == CVListModel::kCopy) {
    cmdUi.enabled = library && m_model.CanCopy(*library, shell);
    return true;
  }
  if (id == CVListModel::kPaste) {
    cmdUi.enabled = library && m_model.CanPaste(shell);
    return true;
  }
  return false;
}

bool CVListPane::OnCommand(int id) {
  CVoiceLibrary* library = Library();
  IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  if (id == CVListModel::kCopy) {
    if (library && m_model.CanCopy(*library, shell)) m_model.Copy(*library, shell);
    return true;
  }
  if (id == CVListModel::kPaste) {
    if (library && m_model.Paste(*library, shell)) update();
    return true;
  }
  return false;
}
