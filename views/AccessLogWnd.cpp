#include "views/AccessLogWnd.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "app/core/AccessLog.h"
#include "platform/host/HostServices.h"
#include "uikit/DialogTemplate.h"
#include "uikit/ScrollCodes.h"
#include "uikit/UiText.h"
#include "views/GraphFrame.h"

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

CAccessLogWnd::CAccessLogWnd(const AccessLog& log, QWidget* parent) : CWheelScrollWnd(parent), m_log(log) {
  setObjectName(ui::ControlName(kPaneId));
  setAttribute(Qt::WA_OpaquePaintEvent);
  const QFontMetrics metrics(font());
  m_lineHeight = std::max(metrics.height(), 1);
  m_charWidth = std::max(metrics.averageCharWidth(), 1);
  m_vbar = new QScrollBar(Qt::Vertical, this);
  m_hbar = new QScrollBar(Qt::Horizontal, this);
  m_vbar->setRange(0, kRows - 1);
  m_hbar->setRange(0, kColumns - 1);
  m_vbar->setSingleStep(kRowStep);
  m_hbar->setSingleStep(kColumnStep);
  SetVerticalBar(m_vbar);
  connect(m_hbar, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ScrollHorz(scroll::CodeOfAction(action), m_hbar->sliderPosition()); });
  connect(m_hbar, &QAbstractSlider::sliderReleased, this,
          [this] { ScrollHorz(scroll::kThumbPosition, m_hbar->sliderPosition()); });
}

int CAccessLogWnd::TopLine() const { return m_vbar->value(); }
int CAccessLogWnd::FirstColumn() const { return m_hbar->value(); }

QSize CAccessLogWnd::ClientSize() const {
  return {std::max(width() - m_vbar->sizeHint().width(), 0), std::max(height() - m_hbar->sizeHint().height(), 0)};
}

int CAccessLogWnd::VisibleRows() const { return ClientSize().height() / m_lineHeight; }
int CAccessLogWnd::VisibleColumns() const { return ClientSize().width() / m_charWidth; }

int CAccessLogWnd::Step(int code, int current, int line, int page, int position, int maxPosition) {
  int next = current;
  switch (code) {
    case scroll::kLineUp: next = current - line; break;
    case scroll::kLineDown: next = current + line; break;
    case scroll::kPageUp: next = current - page; break;
    case scroll::kPageDown: next = current + page; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: next = position; break;
    case scroll::kTop: next = 0; break;
    case scroll::kBottom: next = maxPosition; break;
    default: break;
  }
  return std::clamp(next, 0, std::max(maxPosition, 0));
}

void CAccessLogWnd::ScrollVert(int code, int position, QScrollBar*) {
  if (code == scroll::kEndScroll) return;
  m_vbar->setValue(Step(code, TopLine(), kRowStep, std::max(VisibleRows(), 1), position, m_vbar->maximum()));
  update();
}

void CAccessLogWnd::ScrollHorz(int code, int position) {
  if (code == scroll::kEndScroll) return;
  m_hbar->setValue(
      Step(code, FirstColumn(), kColumnStep, std::max(VisibleColumns(), 1), position, m_hbar->maximum()));
  update();
}

int CAccessLogWnd::ScrollToEnd() {
  const int rows = VisibleRows();
  const int count = m_log.GetLineCount();
  if (count - TopLine() > rows) m_vbar->setValue((count - rows + 1) & ~1);
  update();
  return 1;
}

void CAccessLogWnd::UpdateView(const QWidget* sender) {
  if (sender == this) {
    platform::ui().UpdateVoiceWindows();
    return;
  }
  update();
}

QString CAccessLogWnd::VisibleText(const std::string& line, int firstColumn) {
  size_t end = std::min(line.size(), static_cast<size_t>(kColumns));
  while (end < line.size() && end > 0 && IsContinuation(line[end])) --end;
  size_t from = 0;
  for (int skipped = 0; skipped < firstColumn && from < end; ++skipped) {
    ++from;
    while (from < end && IsContinuation(line[from])) ++from;
  }
  return QString::fromUtf8(line.data() + from, static_cast<qsizetype>(end - from));
}

QImage CAccessLogWnd::Render() const {
  const QSize size = ClientSize();
  QImage image(std::max(size.width(), 1), std::max(size.height(), 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(font());
  p.setPen(Qt::black);
  const int top = TopLine();
  for (int line = top; line < m_log.GetLineCount(); ++line) {
    const int y = (line - top) * m_lineHeight;
    if (y >= size.height()) break;
    p.drawText(QRect(0, y, size.width(), m_lineHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               VisibleText(m_log.GetLine(line), FirstColumn()));
  }
  return image;
}

void CAccessLogWnd::paintEvent(QPaintEvent*) {
  const QImage image = Render();
  QPainter p(this);
  p.drawImage(0, 0, image);
  p.fillRect(QRect(image.width(), image.height(), width() - image.width(), height() - image.height()),
             palette().window());
}

void CAccessLogWnd::resizeEvent(QResizeEvent* event) {
  CWheelScrollWnd::resizeEvent(event);
  const int barWidth = m_vbar->sizeHint().width();
  const int barHeight = m_hbar->sizeHint().height();
  m_vbar->setGeometry(width() - barWidth, 0, barWidth, std::max(0, height() - barHeight));
  m_hbar->setGeometry(0, height() - barHeight, std::max(0, width() - barWidth), barHeight);
  // The framework's bars keep the page inside the range: the last position is range - page + 1.
  const int rows = std::max(VisibleRows(), 1);
  const int columns = std::max(VisibleColumns(), 1);
  m_vbar->setPageStep(rows);
  m_vbar->setMaximum(std::max(kRows - rows, 0));
  m_hbar->setPageStep(columns);
  m_hbar->setMaximum(std::max(kColumns - columns, 0));
}

CKZxAccessLogFrm::CKZxAccessLogFrm(const AccessLog& log, ui::IFrameSlots* frameSlots, QWidget* parent)
    : ui::MdiFrame(kClassName, 0, frameSlots, parent) {
  m_pane = new CAccessLogWnd(log, this);
  SetUpGraphFrame(*this, m_pane, ui::T("T2551.caption"), false);
}

CKZxAccessLogFrm::~CKZxAccessLogFrm() { SavePlacement(); }
