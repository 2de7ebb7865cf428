#include "voice/ui/VListPaneKZ3.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <algorithm>

#include "app/core/FileChooser.h"
#include "app/core/SettingKeys.h"
#include "app/core/VoiceBankCommands.h"
#include "platform/host/HostServices.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "uikit/DialogTemplate.h"
#include "uikit/ScrollCodes.h"
#include "voice/models/VListBankTransfer.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/VListHooks.h"
#include "voice/ui/VListPaint.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

using Model = CVListModelKZ3;
constexpr int kRowHeight = Model::kRowHeight;
constexpr int kLabelWidth = Model::kLabelWidth;
constexpr int kColumnWidth = Model::kColumnWidth;
constexpr int kYes = 6;
constexpr int kVoiceFolder = 3;

FileRequest BankFileRequest(bool open) {
  FileRequest r;
  r.open = open;
  r.defaultExtension = "vk3";
  r.filter = "Extended voice file (*.vk3)|*.vk3||";
  r.folder = GetDefaultDir(kVoiceFolder);
  r.flags = fileflags::kHideReadOnly | fileflags::kLongNames |
            (open ? fileflags::kFileMustExist : fileflags::kOverwritePrompt);
  return r;
}

/// The chosen path; empty when cancelled or when nobody chooses files.
std::string ChooseBankFile(bool open) {
  IFileChooser* chooser = vlist_hooks::FileChooser();
  if (!chooser) return {};
  const FileAnswer answer = chooser->Choose(BankFileRequest(open));
  return answer.ok ? answer.path : std::string();
}

}  // namespace

CVListPaneKZ3::CVListPaneKZ3(QWidget* parent) : CWheelScrollWnd(parent) {
  setObjectName(QStringLiteral("CVListPaneKZ3"));
  setFocusPolicy(Qt::StrongFocus);
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(ui::ControlName(kTabControlId));
  m_tabs->setFont(VoiceWindowHost::Font());
  m_tabs->setExpanding(false);
  m_tabs->addTab(QString::fromLatin1(Model::TabLabel(Model::kNormal)));
  m_tabs->addTab(QString::fromLatin1(Model::TabLabel(Model::kDrum)));
  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
    m_model.SetTab(index);
    update();
  });
  m_hBar = new QScrollBar(Qt::Horizontal, this);
  m_vBar = new QScrollBar(Qt::Vertical, this);
  SetVerticalBar(m_vBar, true);
  connect(m_hBar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollHorz(scroll::CodeOfAction(action), m_hBar->sliderPosition()); });
  SetMode(3);
}

CVoiceLibrary* CVListPaneKZ3::Library() const { return platform::registry().voiceLibrary; }

void CVListPaneKZ3::SetMode(int chipMode) {
  m_model.SetMode(chipMode);
  resizeEvent(nullptr);
  update();
}

void CVListPaneKZ3::Refresh(const QWidget* sender) {
  if (sender == this) VoiceWindowHost::Shell().UpdateVoiceWindows();
  update();
}

QSize CVListPaneKZ3::ClientSize() const {
  return QSize(std::max(0, width() - m_vBar->sizeHint().width()),
               std::max(0, height() - m_hBar->sizeHint().height()));
}

void CVListPaneKZ3::resizeEvent(QResizeEvent*) {
  const int vw = m_vBar->sizeHint().width();
  const int hh = m_hBar->sizeHint().height();
  m_tabs->setGeometry(0, 0, width(), Model::kTabHeight);
  m_vBar->setGeometry(width() - vw, Model::kTabHeight, vw, std::max(0, height() - Model::kTabHeight - hh));
  m_hBar->setGeometry(0, height() - hh, std::max(0, width() - vw), hh);
  m_columnsPerPage = std::max(1, width() / kColumnWidth);
  m_rowsThatFit = std::max(1, height() / kRowHeight);
  UpdateBars();
}

void CVListPaneKZ3::UpdateBars() {
  m_hBar->setRange(0, Model::kLastColumn);
  m_hBar->setPageStep(m_columnsPerPage);
  m_hBar->setValue(m_hPos);
  m_vBar->setRange(0, Model::kLastRow);
  m_vBar->setPageStep(m_rowsThatFit);
  m_vBar->setValue(m_vPos);
}

void CVListPaneKZ3::ScrollHorz(int code, int position) {
  m_hPos = Model::ScrollColumn(code, m_hPos, position, m_columnsPerPage);
  m_hBar->setSliderPosition(m_hPos);
  update();
}

void CVListPaneKZ3::ScrollVert(int code, int position, QScrollBar*) {
  m_vPos = Model::ScrollRow(code, m_vPos, position, m_rowsThatFit);
  m_vBar->setSliderPosition(m_vPos);
  update();
}

QRect CVListPaneKZ3::CellRect(int column, int row) const {
  if (column < m_hPos || column > Model::kLastColumn || row < m_vPos || row > Model::kLastRow) return {};
  return QRect(kLabelWidth + (column - m_hPos) * kColumnWidth, Model::GetGridTop() + (row - m_vPos) * kRowHeight,
               kColumnWidth, kRowHeight);
}

void CVListPaneKZ3::PaintHeader(QPainter& p, const QSize& client) const {
  const int originPch = platform::settings().GetOriginPch();
  for (int r = 0; r < 3; ++r) {
    const int top = Model::kTabHeight + r * kRowHeight;
    vlistpaint::HeaderCell(p, QRect(0, top, kLabelWidth, kRowHeight), QString::fromLatin1(m_model.CornerText(r)));
    for (int c = m_hPos, x = kLabelWidth; c <= Model::kLastColumn && x < client.width(); ++c, x += kColumnWidth) {
      if (r < 2) {
        vlistpaint::HeaderCell(p, QRect(x, top, kColumnWidth, kRowHeight),
                               QString::fromStdString(m_model.HeaderText(r, c, originPch)));
      } else {
        vlistpaint::HeaderCell(p, QRect(x, top, Model::kNameWidth, kRowHeight), QStringLiteral("Instrument"));
        vlistpaint::HeaderCell(p, QRect(x + Model::kNameWidth, top, Model::kTypeWidth, kRowHeight),
                               QStringLiteral("Type"));
      }
    }
  }
}

QPixmap CVListPaneKZ3::Render() const {
  const QSize client = ClientSize().expandedTo(QSize(1, 1));
  QPixmap pixmap(client);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setFont(VoiceWindowHost::Font());
  p.fillRect(QRect(0, Model::kTabHeight, client.width(), Model::kHeaderHeight), vlistpaint::Colour(Model::kBand));
  PaintHeader(p, client);
  const int gridTop = Model::GetGridTop();
  const int originPch = platform::settings().GetOriginPch();
  const int chipMode = platform::settings().GetChipMode();
  const int profile = platform::settings().GetOutputProfile();
  CVoiceLibrary* library = Library();
  for (int row = m_vPos, top = gridTop; row <= Model::kLastRow && top < client.height(); ++row, top += kRowHeight) {
    vlistpaint::HeaderCell(p, QRect(0, top, kLabelWidth, kRowHeight),
                           QString::fromStdString(m_model.RowLabel(row, originPch)));
    for (int c = m_hPos; c <= Model::kLastColumn; ++c) {
      const QRect cell = CellRect(c, row);
      if (cell.left() >= client.width()) break;
      Model::Cell content = library ? m_model.CellOf(*library, c, row, chipMode, profile) : Model::Cell{};
      if (m_model.IsSelected(c, row)) {
        content.text = 0xFFFFFF;
        content.back = Model::kSelectedBack;
      }
      const QRect name(cell.left(), top, Model::kNameWidth, kRowHeight);
      const QRect type(cell.left() + Model::kNameWidth, top, Model::kTypeWidth, kRowHeight);
      vlistpaint::TextCell(p, name, QString::fromLocal8Bit(content.name.c_str()), content.text, content.back);
      vlistpaint::TextCell(p, type, QString::fromLatin1(content.type.c_str()), content.text, content.back);
    }
  }
  p.setPen(vlistpaint::Colour(Model::kGrid));
  for (int y = gridTop; y < client.height(); y += kRowHeight) p.drawLine(kLabelWidth, y, client.width(), y);
  for (int c = m_hPos, x = kLabelWidth; c <= Model::kLastColumn + 1 && x < client.width(); ++c, x += kColumnWidth) {
    p.drawLine(x, gridTop, x, client.height());
    if (c <= Model::kLastColumn) p.drawLine(x + Model::kNameWidth, gridTop, x + Model::kNameWidth, client.height());
  }
  return pixmap;
}

void CVListPaneKZ3::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPixmap grid = Render();
  painter.drawPixmap(QPoint(0, Model::kTabHeight), grid,
                     QRect(0, Model::kTabHeight, grid.width(), grid.height() - Model::kTabHeight));
}

// --- Mouse and keys --------------------------------------------------------------------------

void CVListPaneKZ3::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) LeftDown(event->position().toPoint());
}

void CVListPaneKZ3::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) RightUp(event->position().toPoint(), event->globalPosition().toPoint());
}

void CVListPaneKZ3::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) LeftDoubleClick(event->position().toPoint());
}

void CVListPaneKZ3::LeftDown(const QPoint& p) {
  m_model.Click(p.x(), p.y(), m_hPos, m_vPos);
  update();
}

void CVListPaneKZ3::LeftDoubleClick(const QPoint& p) {
  int row = -1;
  const int column = m_model.HitTest(p.x(), p.y(), m_hPos, m_vPos, &row);
  if (column >= 0 && Library()) EditVoice(m_model.CellAddress(column, row));
}

void CVListPaneKZ3::EditVoice(const Model::Address& at) {
  CVoiceLibrary& library = *Library();
  CKZxVoiceEditDlg sheet(QStringLiteral("Voice Edit"), this, 0, VoiceWindowHost::EditShell());
  sheet.Init(Model::VoiceAt(library, at), 1, 0);
  if (sheet.DoModal() != 1) return;
  const CVoiceItem* stored = Model::StoreEditedVoice(library, at, sheet.GetVoice());
  if (!stored) return;
  if (platform::board().HasBoardDevice()) platform::board().SendVoice(*stored, 0);
  Refresh(this);
}

VListMenu CVListPaneKZ3::MenuAt(const QPoint& p) {
  CVoiceLibrary* library = Library();
  const IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  if (!library || !shell.IsDeviceIdle()) return {};
  if (m_model.SelectBankAt(p.x(), p.y(), m_hPos)) return m_model.BankMenu();
  int row = -1;
  if (m_model.HitTest(p.x(), p.y(), m_hPos, m_vPos, &row) < 0 || !m_model.IsSelectionComplete()) return {};
  return m_model.CellMenu(*library, shell);
}

void CVListPaneKZ3::RightUp(const QPoint& p, const QPoint& global) {
  const VListMenu items = MenuAt(p);
  if (items.empty()) return;
  QMenu menu(this);
  vlistpaint::FillMenu(menu, items, [this](int id) { OnCommand(id); });
  menu.exec(global);
}

void CVListPaneKZ3::keyPressEvent(QKeyEvent* event) {
  if (!scroll::ScrollByKey(*event, [this](int code) { ScrollVert(code, 0, nullptr); },
                          [this](int code) { ScrollHorz(code, 0); })) {
    CWheelScrollWnd::keyPressEvent(event);
  }
}

// --- Commands --------------------------------------------------------------------------------

bool CVListPaneKZ3::HandlesCommand(int id) const {
  switch (id) {
    case Model::kCopy: case Model::kCopyAlt: case Model::kPaste: case Model::kPasteAlt:
    case Model::kImport: case Model::kExport:
      return true;
    default:
      return false;
  }
}

bool CVListPaneKZ3::OnUpdate(int id, ui::CmdUI& cmdUi) {
  CVoiceLibrary* library = Library();
  const IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  switch (id) {
    case Model::kCopy:
    case Model::kCopyAlt: cmdUi.enabled = m_model.CanCopy(shell); return true;
    case Model::kPaste:
    case Model::kPasteAlt: cmdUi.enabled = library && m_model.CanPaste(*library, shell); return true;
    case Model::kImport: cmdUi.enabled = shell.IsDeviceIdle() && m_model.IsBankEditable(); return true;
    case Model::kExport: cmdUi.enabled = shell.IsDeviceIdle() != 0; return true;
    default: return false;
  }
}

bool CVListPaneKZ3::OnCommand(int id) {
  CVoiceLibrary* library = Library();
  IVoiceWindowShell& shell = VoiceWindowHost::Shell();
  switch (id) {
    case Model::kCopy:
    case Model::kCopyAlt:
      if (library && m_model.CanCopy(shell)) m_model.Copy(*library, shell);
      return true;
    case Model::kPaste:
    case Model::kPasteAlt:
      if (library && m_model.Paste(*library, platform::registry().document, shell) == 0) update();
      return true;
    case Model::kImport:
      if (shell.IsDeviceIdle() && m_model.IsBankEditable()) ImportBank();
      return true;
    case Model::kExport:
      if (shell.IsDeviceIdle()) ExportBank();
      return true;
    default:
      return false;
  }
}

void CVListPaneKZ3::ExportBank() {
  CVoiceLibrary* library = Library();
  if (!library) return;
  const std::string path = ChooseBankFile(false);
  if (path.empty()) return;
  if (voicebank::BankFileNameTooLong(path)) {
    platform::ShowMessage(kMsgNameTooLong);
    return;
  }
  const Model::Address& bank = m_model.GetBankSelection();
  CVListBankTransfer(*library, bank.msb, bank.lsb, bank.program).Export(path);
}

void CVListPaneKZ3::ImportBank() {
  CVoiceLibrary* library = Library();
  if (!library) return;
  if (library->IsModified() && platform::ShowMessage(kMsgSaveFirst) == kYes) ExportBank();
  const std::string path = ChooseBankFile(true);
  if (path.empty()) return;
  const Model::Address& bank = m_model.GetBankSelection();
  CVListBankTransfer transfer(*library, bank.msb, bank.lsb, bank.program);
  if (transfer.Import(path, platform::settings().GetChipMode()) == 0) Refresh(this);
}
