#include "voice/ui/AAMView.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/core/MainFrame.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "app/core/WavePanOpener.h"
#include "platform/host/HostServices.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"
#include "uikit/ScrollCodes.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

constexpr int kRowHeight = CAamModel::kRowHeight;
constexpr int kHeaderWidth = CAamModel::kRowHeaderWidth;
const QColor kBand(240, 240, 240);
const QColor kGrid(192, 192, 192);

/// The map-changed value of a run without the application object.
bool g_standaloneMapChanged = false;

}  // namespace

CAAMView::CAAMView(QWidget* parent) : CWheelScrollWnd(parent) {
  setObjectName(QStringLiteral("CAAMView"));
  setFocusPolicy(Qt::StrongFocus);
  m_hBar = new QScrollBar(Qt::Horizontal, this);
  m_vBar = new QScrollBar(Qt::Vertical, this);
  SetVerticalBar(m_vBar, true);
  connect(m_hBar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollHorz(scroll::CodeOfAction(action), m_hBar->sliderPosition()); });
  SetMode(platform::settings().GetChipMode());
}

CKZ1Doc* CAAMView::Doc() const { return platform::registry().document; }

void CAAMView::SetMode(int chipMode) {
  const CKZ1Doc* doc = Doc();
  m_model.SetMode(chipMode, doc ? doc->GetStreamPcmSlotCount() : 49);
  m_hPos = m_model.GetFirstColumn();
  resizeEvent(nullptr);
  update();
}

void CAAMView::Refresh(const QWidget* sender) {
  if (sender == this) VoiceWindowHost::Shell().UpdateVoiceWindows();
  update();
}

QSize CAAMView::ClientSize() const {
  return QSize(std::max(0, width() - m_vBar->sizeHint().width()), std::max(0, height() - m_hBar->sizeHint().height()));
}

int CAAMView::HitTest(const QPoint& p, int* row) const {
  const QSize client = ClientSize();
  return m_model.HitTest(p.x(), p.y(), client.width(), client.height(), m_hPos, m_vPos, row);
}

void CAAMView::resizeEvent(QResizeEvent*) {
  const int vw = m_vBar->sizeHint().width();
  const int hh = m_hBar->sizeHint().height();
  m_vBar->setGeometry(width() - vw, 0, vw, std::max(0, height() - hh));
  m_hBar->setGeometry(0, height() - hh, std::max(0, width() - vw), hh);
  m_vPage = std::max(1, ClientSize().height() / kRowHeight);
  UpdateBars();
}

void CAAMView::UpdateBars() {
  m_hBar->setRange(m_model.GetFirstColumn(), CAamModel::kLastColumn);
  m_hBar->setValue(m_hPos);
  m_vBar->setRange(0, m_model.GetRowCount());
  m_vBar->setPageStep(m_vPage);
  m_vBar->setValue(m_vPos);
}

void CAAMView::ScrollHorz(int code, int position) {
  int pos = m_hPos;
  switch (code) {
    case scroll::kLineUp:
    case scroll::kPageUp: pos -= 1; break;
    case scroll::kLineDown:
    case scroll::kPageDown: pos += 1; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: pos = position; break;
    case scroll::kTop: pos = m_model.GetFirstColumn(); break;
    case scroll::kBottom: pos = CAamModel::kLastColumn; break;
    default: return;
  }
  m_hPos = std::clamp(pos, m_model.GetFirstColumn(), static_cast<int>(CAamModel::kLastColumn));
  m_hBar->setSliderPosition(m_hPos);
  update();
}

void CAAMView::ScrollVert(int code, int position, QScrollBar*) {
  int pos = m_vPos;
  switch (code) {
    case scroll::kLineUp: pos -= 1; break;
    case scroll::kLineDown: pos += 1; break;
    case scroll::kPageUp: pos -= m_vPage; break;
    case scroll::kPageDown: pos += m_vPage; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: pos = position; break;
    case scroll::kTop: pos = 0; break;
    case scroll::kBottom: pos = m_model.GetRowCount(); break;
    default: return;
  }
  m_vPos = std::clamp(pos, 0, std::max(0, m_model.GetRowCount() - 1));
  m_vBar->setSliderPosition(m_vPos);
  update();
}

QPixmap CAAMView::Render() const {
  const QSize client = ClientSize().expandedTo(QSize(1, 1));
  QPixmap pixmap(client);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setFont(VoiceWindowHost::Font());
  p.fillRect(QRect(0, 0, client.width(), kRowHeight), kBand);
  p.fillRect(QRect(0, 0, kHeaderWidth, client.height()), kBand);
  p.setPen(Qt::black);
  p.drawText(QRect(0, 0, kHeaderWidth, kRowHeight), Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("WaveID"));
  for (int c = m_hPos; c < CAamModel::kColumnCount; ++c) {
    const int left = m_model.ColumnLeft(c, m_hPos);
    if (left < 0) continue;
    p.drawText(QRect(left, 0, m_model.ColumnWidth(c), kRowHeight), Qt::AlignCenter | Qt::TextSingleLine,
               QString::fromLatin1(CAamModel::ColumnTitle(c)));
  }
  const CKZ1Doc* doc = Doc();
  const std::vector<bool> played = doc ? CAamModel::PlayedWaves(*doc) : std::vector<bool>();
  for (int id = m_vPos + 1, top = kRowHeight; id <= m_model.GetRowCount() && top < client.height();
       ++id, top += kRowHeight) {
    p.setPen(Qt::black);
    p.drawText(QRect(0, top, kHeaderWidth, kRowHeight), Qt::AlignCenter | Qt::TextSingleLine, QString::number(id));
    if (!doc || !CAamModel::HasWave(*doc, id)) continue;
    const bool isPlayed = id < static_cast<int>(played.size()) && played[id];
    p.setPen(isPlayed ? QColor(Qt::black) : kGrid);
    for (int c = m_hPos; c < CAamModel::kColumnCount; ++c) {
      const int left = m_model.ColumnLeft(c, m_hPos);
      if (left < 0) continue;
      const int w = m_model.ColumnWidth(c);
      const QRect cell(left + w / 16, top + 2, w * 7 / 8, kRowHeight - 6);
      p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, QString::fromLocal8Bit(m_model.CellText(*doc, id, c).c_str()));
    }
  }
  p.setPen(kGrid);
  for (int y = kRowHeight; y < client.height(); y += kRowHeight) p.drawLine(0, y, client.width(), y);
  for (int c = m_hPos, x = kHeaderWidth; c < CAamModel::kColumnCount && x < client.width(); ++c) {
    if (m_model.ColumnWidth(c) == 0) continue;
    p.drawLine(x, 0, x, client.height());
    x += m_model.ColumnWidth(c);
    p.drawLine(x, 0, x, client.height());
  }
  return pixmap;
}

void CAAMView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, Render());
}

int CAAMView::EditPan(int id) {
  CKZ1Doc* doc = Doc();
  if (!doc || !CAamModel::HasWave(*doc, id) || !VoiceWindowHost::Shell().IsDeviceIdle()) return 0;
  WavePanChoice choice;
  choice.mode = doc->GetSongSetup().GetSlotSettingFirst(id - 1);
  choice.pan = doc->GetSongSetup().GetSlotSettingSecond(id - 1);
  if (!OpenWavePanDialog(choice)) return 0;
  doc->SetStreamPcmSetting(id, choice.mode, choice.pan);
  doc->SetModifiedFlags(0);
  Refresh(this);
  return 1;
}

void CAAMView::mouseDoubleClickEvent(QMouseEvent* event) {
  int row = -1;
  if (event->button() == Qt::LeftButton && HitTest(event->position().toPoint(), &row) == CAamModel::kColPan) {
    EditPan(row);
  }
}

AamCommandContext CAAMView::CommandContext() {
  AamCommandContext context;
  context.doc = Doc();
  const VoiceEditShell edit = VoiceWindowHost::EditShell();
  context.engine = edit.mainFrame ? edit.mainFrame->GetBoardDevice() : nullptr;
  context.chooser = edit.app ? edit.app->GetFileChooser() : nullptr;
  context.mapChanged = edit.app ? &edit.app->StreamPcmMapChanged() : &g_standaloneMapChanged;
  context.shell = &VoiceWindowHost::Shell();
  context.chipMode = platform::settings().GetChipMode();
  context.outputProfile = platform::settings().GetOutputProfile();
  context.rowCount = m_model.GetRowCount();
  context.soundFolder = GetDefaultDir(2);
  return context;
}

bool CAAMView::HandlesCommand(int id) const {
  switch (id) {
    case kCopy: case kPaste: case kNew: case kDelete: case kImport: case kImportOlder: case kExport:
      return true;
    default:
      return false;
  }
}

bool CAAMView::OnUpdate(int id, ui::CmdUI& cmdUi) {
  if (id != kImport && id != kImportOlder && id != kExport) return false;
  const CKZ1Doc* doc = Doc();
  const int chip = m_model.GetChipMode();
  const bool mapMode = chip == 1 || chip == 2 || chip == 3 || chip == 5;
  cmdUi.enabled = doc && mapMode && VoiceWindowHost::Shell().IsDeviceIdle() && (id != kExport || m_model.AnyWave(*doc));
  return true;
}

bool CAAMView::OnCommand(int id) {
  if (!HandlesCommand(id)) return false;
  if (id == kCopy || id == kPaste || !Doc()) return true;
  CAamCommands commands(CommandContext());
  switch (id) {
    case kNew: commands.New(m_model.GetSelected()); break;
    case kDelete: commands.Delete(m_model.GetSelected()); break;
    case kImport: commands.Import(false); break;
    case kImportOlder: commands.Import(true); break;
    case kExport: commands.Export(); break;
    default: break;
  }
  update();
  return true;
}

CAamModel::Popup CAAMView::RightClickPopup(const QPoint& p) {
  const QSize client = ClientSize();
  return m_model.RightClick(Doc(), p.x(), p.y(), client.width(), client.height(), m_vPos,
                            VoiceWindowHost::Shell().IsDeviceIdle() != 0, platform::settings().GetOutputProfile());
}

void CAAMView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return;
  const CAamModel::Popup popup = RightClickPopup(event->position().toPoint());
  if (popup.kind == CAamModel::Popup::kNone) return;
  QMenu menu(this);
  auto add = [&menu, this](const char* label, int id, bool enabled) {
    QAction* action = menu.addAction(QString::fromLatin1(label));
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  };
  add("&New", kNew, popup.newEnabled);
  add("&Delete", kDelete, popup.deleteEnabled);
  if (popup.kind == CAamModel::Popup::kHeader) {
    menu.addSeparator();
    add("&Import from StreamPCM File...", kImport, true);
    if (popup.olderImportShown) add("Import from StreamPCM File (Lower Version 1.1.1)...", kImportOlder, true);
    add("&Export to StreamPCM File...", kExport, popup.exportEnabled);
  }
  menu.exec(event->globalPosition().toPoint());
}

void CAAMView::keyPressEvent(QKeyEvent* event) {
  scroll::ScrollByKey(*event, [this](int code) { ScrollVert(code, 0, nullptr); },
                      [this](int code) { ScrollHorz(code, 0); });
  CWheelScrollWnd::keyPressEvent(event);
}

CAAMFrm::CAAMFrm(ui::IFrameSlots* frameSlots, QWidget* parent)
    : ui::MdiFrame(kClassName, kMenuResource, frameSlots, parent) {
  setWindowTitle(QStringLiteral("Stream PCM Assign Map"));
  m_view = new CAAMView(this);
  setWidget(m_view);
  RestorePlacement(0, 0, 302, 212);
}

CAAMFrm::~CAAMFrm() { SavePlacement(); }
