#include "views/ChildFrame.h"

#include <QCloseEvent>
#include <QStyle>

#include "platform/host/HostServices.h"
#include "views/SongWindowHost.h"

namespace {

int g_closing = 0;

constexpr int kMixerCommand = 32797;

struct ReopenedWindow {
  const char* className;
  int resourceId;
};
constexpr ReopenedWindow kReopened[] = {{"CPRollFrm", 1003}, {"CEListFrm", 1001}, {"CKZ1TextScoreFrm", 1004}};

}  // namespace

CChildFrame::CChildFrame(ISongWindowHost& host, QWidget* parent)
    : ui::MdiFrame(kClassName, kResourceId, host.FrameSlots(), parent), m_host(host) {
  setWindowTitle(QStringLiteral("Song"));
  m_pane = new CChannelView(host, this);
  setWidget(m_pane);
  const QRect initial = CalcFrameRect();
  resize(initial.size());
  setMaximumHeight(initial.height());
  RestorePlacement(0, 0, 730, 400);
}

CChildFrame::~CChildFrame() {
  SavePlacement();
  m_host.RestoreDefaultMenu();
}

QRect CChildFrame::CalcFrameRect() const {
  const QStyle* s = style();
  const int caption = s->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  const int arrow = s->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const int frame = s->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
  const int chipMode = m_pane ? m_pane->Geometry().ChipMode() : platform::settings().GetChipMode();
  return {0, 0, ChannelGeometry::kFrameWidth, ChannelGeometry::FrameHeight(chipMode, caption, arrow, frame)};
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
  // The cap follows the chip mode at every size change.
  setMaximumHeight(OnWindowPosChanging(QWIDGETSIZE_MAX));
  ui::MdiFrame::resizeEvent(event);
}

void CChildFrame::showEvent(QShowEvent* event) {
  ui::MdiFrame::showEvent(event);
  if (!m_activated) ActivateFrame();
}

void CChildFrame::ActivateFrame() {
  m_activated = true;
  for (const ReopenedWindow& w : kReopened) {
    if (m_host.FindToolWindow(w.className)) continue;
    if (platform::profile().GetProfileInt("WindowState", w.className, 0) != 0)
      m_host.OpenToolWindow(w.className, w.resourceId);
  }
  if (platform::profile().GetProfileInt("WindowState", "CMixerDlg", 0) != 0) m_host.PostCommand(kMixerCommand);
}

int CChildFrame::ClosingCounter() { return g_closing; }

void CChildFrame::OnClose() {
  g_closing = 1;
  m_host.FileClose();
  --g_closing;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (g_closing != 0) {
    ui::MdiFrame::closeEvent(event);
    return;
  }
  // File Close deletes the song and closes this window when the user lets it go.
  event->ignore();
  OnClose();
}

void CChildFrame::Refresh() {
  if (m_pane) m_pane->UpdateView(nullptr);
}

void CChildFrame::SetChipMode(int chipMode) {
  if (!m_pane) return;
  m_pane->SetChipMode(chipMode);
  setMaximumHeight(CalcFrameRect().height());
}

void CChildFrame::ScrollToStart() {
  if (m_pane) m_pane->ScrollToStart();
}
