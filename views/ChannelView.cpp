#include "views/ChannelView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DialogTemplate.h"
#include "uikit/PictureStore.h"
#include "uikit/ScrollCodes.h"
#include "uikit/WaitCursor.h"
#include "views/ChannelStatusDlg.h"
#include "views/ChannelVoiceName.h"
#include "views/RegionBarDlg.h"
#include "views/SongWindowHost.h"
#include "views/SongWindowPictures.h"
#include "views/VoiceDialogs.h"
#include "views/PRollPane.h"

namespace {

bool ProfileAllows(int profile) { return profile != 4 && profile != 6; }

}  // namespace

CChannelView::CChannelView(ISongWindowHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
  SetChipMode(platform::settings().GetChipMode());
  RegisterSongWindowPictures();
  m_marker = ui::PictureStore::Instance().Pixmap(1201).toImage().convertToFormat(QImage::Format_RGB32);
  m_regionBar = new CRegionBarDlg(*this, this);
  m_hbar = new QScrollBar(Qt::Horizontal, this);
  m_hbar->setObjectName(ui::ControlName(kHBarId));
  m_hbar->setRange(0, ChannelGeometry::kMaxHPos);
  m_vbar = new QScrollBar(Qt::Vertical, this);
  m_vbar->setObjectName(ui::ControlName(kVBarId));
  connect(m_hbar, &QScrollBar::actionTriggered, this, [this](int action) {
    const int code = scroll::CodeOfAction(action);
    if (code != scroll::kEndScroll) OnHScroll(code, m_hbar->sliderPosition());
  });
  connect(m_vbar, &QScrollBar::actionTriggered, this, [this](int action) {
    const int code = scroll::CodeOfAction(action);
    if (code != scroll::kEndScroll) OnVScroll(code, m_vbar->sliderPosition());
  });
  ApplyBars();
  m_host.UpdateSongWindows();
  Rebuild();
  if (CKZ1Doc* doc = m_host.Document(); doc && doc->IsPlayRangeOn())
    SetRegion(1, 0, doc->GetPlayRangeStart(), doc->GetPlayRangeEnd());
}

CChannelView::~CChannelView() {
  // The bar asks this view for its host on every event; it must go while the view is whole.
  delete m_regionBar;
  m_regionBar = nullptr;
}

void CChannelView::SetChipMode(int chipMode) {
  if (!m_geometry.SetChipMode(chipMode, platform::settings().GetOutputProfile())) return;
  if (m_vbar) ApplyBars();
  Invalidate();
}

void CChannelView::ApplyBars() {
  const QSignalBlocker hb(m_hbar);
  const QSignalBlocker vb(m_vbar);
  m_hbar->setPageStep(std::max(1, m_geometry.HPage()));
  m_hbar->setValue(m_geometry.HPos());
  m_vbar->setRange(m_geometry.FirstRow(), m_geometry.LastRow());
  m_vbar->setPageStep(std::max(1, m_geometry.VPage()));
  m_vbar->setValue(m_geometry.VPos());
}

void CChannelView::Invalidate() {
  ++m_invalidations;
  update();
}

void CChannelView::Rebuild() {
  if (const CKZ1Doc* doc = m_host.Document()) {
    m_index.Build(*doc);
  } else {
    m_index.Clear();
  }
}

void CChannelView::UpdateView(const void* sender) {
  if (sender == this) {
    m_host.UpdateSongWindows();
    return;
  }
  const CKZ1Doc* doc = m_host.Document();
  if (m_host.PlayPositionRefresh() == 1) {
    if (doc) {
      const int follow = m_geometry.FollowPosition(doc->TickToTime(m_host.CurrentPlayPosition()));
      if (follow >= 0) {
        m_geometry.SetHPos(follow);
        ApplyBars();
      }
    }
  } else {
    Rebuild();
  }
  if (m_regionBar) m_regionBar->ResetTickRanges();
  Invalidate();
  repaint();
}

void CChannelView::ScrollToStart() {
  m_geometry.SetHPos(0);
  ApplyBars();
  Invalidate();
}

void CChannelView::SetRegion(int on, int redraw, uint32_t start, uint32_t end) {
  m_regionOn = on;
  m_regionStart = start;
  m_regionEnd = end;
  m_reserved = 0;
  if (redraw) Invalidate();
}

void CChannelView::ApplyRegion() {
  if (auto* roll = dynamic_cast<CPRollFrm*>(m_host.FindToolWindow(CPRollFrm::kClassName)); roll && roll->Pane())
    roll->Pane()->SetView(m_regionOn, 1, m_regionStart, m_regionEnd);
  if (CKZ1Doc* doc = m_host.Document()) doc->SetPlayRange(m_regionOn, m_regionStart, m_regionEnd);
}

void CChannelView::OnHScroll(int code, int position) {
  m_geometry.HScroll(code, position);
  ApplyBars();
  Invalidate();
}

void CChannelView::OnVScroll(int code, int position) {
  m_geometry.VScroll(code, position);
  ApplyBars();
  Invalidate();
}

void CChannelView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  m_geometry.Resize(width(), height(), sb);
  const ChannelRect bar = m_geometry.RegionBar();
  m_regionBar->setGeometry(bar.left, bar.top, bar.width, bar.height);
  const ChannelRect h = m_geometry.HBar();
  m_hbar->setGeometry(h.left, h.top, h.width, h.height);
  const ChannelRect v = m_geometry.VBar();
  m_vbar->setGeometry(v.left, v.top, v.width, v.height);
  ApplyBars();
}

void CChannelView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  m_geometry.Wheel(delta, QApplication::wheelScrollLines());
  ApplyBars();
  Invalidate();
  event->accept();
}

void CChannelView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLButtonDown(event->position().toPoint());
  if (event->button() == Qt::RightButton) OnRButtonDown(event->position().toPoint());
}

void CChannelView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLButtonDblClk(event->position().toPoint());
}

void CChannelView::Changed(CKZ1Doc& doc) {
  doc.SetModifiedFlags(0);
  m_host.UpdateVoiceWindows();
}

void CChannelView::OnLButtonDown(QPoint point) {
  int row = 0;
  const int column = HitTest(point, row);
  CKZ1Doc* doc = m_host.Document();
  if (column < 0 || column == ChannelGeometry::kTimelineHit || !doc) return;
  const bool inRange = row >= m_geometry.FirstRow() && row <= m_geometry.LastChannelRow();
  const bool streamRow = m_geometry.ExtraRows() > 0 && row == m_geometry.LastChannelRow() + 1;
  const int channel = row - 1;
  const bool present = inRange && doc->GetChannelValue(channel) != 0;
  const bool idle = m_host.IsDeviceIdle() == 1;
  const bool allows = ProfileAllows(platform::settings().GetOutputProfile());
  const bool editable = idle && present && allows;
  switch (column) {
    case ChannelGeometry::kKS:
      if (editable) {
        doc->SetChannelStatusHigh(channel, (doc->GetChannelStatusHigh(channel) + 1) % 3);
        Changed(*doc);
      }
      break;
    case ChannelGeometry::kVS:
    case ChannelGeometry::kLED: {
      const bool vs = column == ChannelGeometry::kVS;
      if (editable) {
        if (vs) doc->SetChannelVS(channel, doc->GetChannelVS(channel) ? 0 : 1);
        else doc->SetChannelLED(channel, doc->GetChannelLED(channel) ? 0 : 1);
        Changed(*doc);
      } else if (idle && streamRow && allows && doc->GetChannelUsed(16) == 1) {
        OpenChannelStatus();
      }
      break;
    }
    case ChannelGeometry::kCTyp:
      if (editable) {
        doc->SetChannelKind(channel, (doc->GetChannelKind(channel) + 1) % 4);
        Changed(*doc);
      }
      break;
    case ChannelGeometry::kMute:
      if (idle && present) {
        doc->SetChannelMute(channel, doc->GetChannelMute(channel) ? 0 : 1);
        Changed(*doc);
      } else if (idle && streamRow && doc->GetChannelUsed(16) != 0 && !doc->GetMidiListPCM()->empty()) {
        doc->SetStreamPcmMute(doc->GetStreamPcmMute() ? 0 : 1);
        Changed(*doc);
      }
      break;
    case ChannelGeometry::kVo:
      if (present) OpenVoiceIndex(channel);
      break;
    case ChannelGeometry::kRegion:
      if (inRange) OpenRegionVoice(channel);
      break;
    case ChannelGeometry::kName:
      m_selected = inRange ? channel : -1;
      Invalidate();
      break;
    case ChannelGeometry::kCv:
      if (inRange) StepPart(channel, (doc->GetChannelPart(channel) + 1) % 5, 1);
      break;
    default: break;
  }
}

void CChannelView::OnRButtonDown(QPoint point) {
  int row = 0;
  const int column = HitTest(point, row);
  CKZ1Doc* doc = m_host.Document();
  if (column != ChannelGeometry::kCv || !doc) return;
  if (row < m_geometry.FirstRow() || row > m_geometry.LastChannelRow()) return;
  const int channel = row - 1;
  const int value = doc->GetChannelPart(channel);
  StepPart(channel, value == 0 ? 4 : value - 1, -1);
}

void CChannelView::StepPart(int channel, int part, int direction) {
  CKZ1Doc* doc = m_host.Document();
  ui::WaitCursor wait;
  if (doc->SetChannelPart(channel, part, direction)) {
    Changed(*doc);
    Invalidate();
  }
  int flag = 0;
  for (int k = 0; k < m_geometry.LastChannelRow() && !flag; ++k) {
    const int value = doc->GetChannelPart(k);
    if (value < 1 || value > 4) continue;
    for (int slot = 0; slot < 128 && !flag; ++slot) {
      const int use = doc->GetSlotUse(k, slot);
      flag = use >= 1 && use <= 4 ? 1 : 0;
    }
  }
  doc->SetViewFlag(flag);
  m_host.UpdateStatusPanes();
}

void CChannelView::OpenChannelStatus() {
  CChannelStatusDlg dialog(m_host, this);
  dialog.exec();
}

void CChannelView::OpenVoiceIndex(int channel) {
  CVoiceIndexDlg dialog(m_host, this);
  dialog.SetChannel(channel);
  if (dialog.exec() != QDialog::Accepted) return;
  if (CKZ1Doc* doc = m_host.Document()) doc->RefreshChannelVoices(0);
  m_host.UpdateVoiceWindows();
}

void CChannelView::OpenRegionVoice(int channel) {
  const auto& open = SongWindowOpeners::Instance().voiceEdit2Op;
  CKZ1Doc* doc = m_host.Document();
  if (!open || !doc) return;
  if (open(doc->GetChannelVoiceSlot(channel)) == 1) m_host.UpdateVoiceWindows();
  Invalidate();
}

void CChannelView::OnLButtonDblClk(QPoint point) {
  int row = 0;
  const int column = HitTest(point, row);
  if (column != ChannelGeometry::kName || row < m_geometry.FirstRow() || row > m_geometry.LastChannelRow()) return;
  OpenVoiceEditor(row - 1);
}

void CChannelView::OpenVoiceEditor(int channel) {
  CKZ1Doc* doc = m_host.Document();
  if (!doc) return;
  const SongWindowOpeners& openers = SongWindowOpeners::Instance();
  const int chipMode = m_geometry.ChipMode();
  const int slot = doc->GetChannelVoiceSlot(channel);
  if (chipMode == 1 || chipMode == 2) {
    const auto& open = chipMode == 1 ? openers.voiceEdit2Op : openers.voiceEditKZ2;
    if (open && open(slot) == 1) m_host.UpdateVoiceWindows();
    return;
  }
  if (doc->GetChannelValue(channel) == 0 || !openers.voiceEditKZx) return;
  const CVoiceItem* item = doc->GetVoiceItem(slot);
  if (!item) return;
  CVoiceItem voice = *item;
  if (openers.voiceEditKZx(voice) != 1) return;
  if (voice.IsUserEditable()) {
    const int index = doc->FindVoiceIndex(voice.GetBankMsb(), voice.GetBankLsb(), voice.GetProgram(), voice.GetNote());
    if (index >= 0) {
      doc->SetVoiceItem(index, voice, 1);
      doc->ShareIdenticalWaves(voice);
      if (doc->GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(7029);
    }
  }
  UpdateView(this);
  m_host.UpdateReportBar();
}
