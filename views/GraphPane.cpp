#include "views/GraphPane.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "uikit/DialogTemplate.h"
#include "views/SongViewHost.h"

namespace {

const QColor kBand(255, 225, 225);
const QColor kGrid(0xC0, 0xC0, 0xC0);
const QColor kMarker(0, 0, 255);

int ClampToInt(uint64_t v) { return static_cast<int>(std::min<uint64_t>(v, std::numeric_limits<int>::max())); }

/// The largest position of a bar over 0..range with a page: range - page + 1, as the window
/// framework's bars keep the page inside the range.
int MaxPosition(uint64_t range, uint64_t page) {
  if (page <= 1) return ClampToInt(range);
  return range + 1 > page ? ClampToInt(range + 1 - page) : 0;
}

}  // namespace

CGraphPane::CGraphPane(ISongViewHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
  setObjectName(ui::ControlName(kPaneId));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(m_host.InterfaceFont());
  m_zoomBar = new QScrollBar(Qt::Vertical, this);
  m_timeBar = new QScrollBar(Qt::Horizontal, this);
  connect(m_zoomBar, &QScrollBar::valueChanged, this, [this] {
    UpdateTimePage();
    update();
  });
  connect(m_timeBar, &QScrollBar::valueChanged, this, [this] { update(); });
}

GraphLayout CGraphPane::CalcLayout() const {
  return graph::CalcLayout(width() - m_zoomBar->sizeHint().width(), height() - m_timeBar->sizeHint().height());
}

int CGraphPane::Zoom() const { return graph::EffectiveZoom(m_zoomBar->value()); }

uint32_t CGraphPane::Start() const { return static_cast<uint32_t>(std::max(m_timeBar->value(), 0)); }

void CGraphPane::UpdateView(const QWidget* sender) {
  if (sender == this) {
    platform::ui().UpdateVoiceWindows();
    return;
  }
  update();
}

void CGraphPane::SetSamples(std::vector<GraphSample> samples) {
  std::stable_sort(samples.begin(), samples.end(),
                   [](const GraphSample& a, const GraphSample& b) { return a.time < b.time; });
  m_samples = std::move(samples);
}

void CGraphPane::ResetScrollBars(uint64_t timeRange) {
  m_rangeSet = true;
  m_timeRange = timeRange;
  {
    const QSignalBlocker block(m_zoomBar);
    m_zoomBar->setRange(graph::kZoomMin, graph::kZoomMax);
    m_zoomBar->setSingleStep(1);
    m_zoomBar->setPageStep(1);
    m_zoomBar->setValue(graph::kZoomStart);
  }
  const QSignalBlocker block(m_timeBar);
  m_timeBar->setSingleStep(static_cast<int>(graph::kLineStep));
  m_timeBar->setRange(0, ClampToInt(timeRange));
  m_timeBar->setValue(0);
  UpdateTimePage();
}

void CGraphPane::UpdateTimePage() {
  if (!m_rangeSet) return;
  const GraphLayout l = CalcLayout();
  const uint64_t page = std::max<uint64_t>(1, static_cast<uint64_t>(std::max(l.Width(), 0)) * static_cast<uint64_t>(Zoom()));
  m_timeBar->setPageStep(ClampToInt(page));
  m_timeBar->setMaximum(MaxPosition(m_timeRange, page));
}

void CGraphPane::CollectMeters() {
  m_meters.clear();
  const CKZ1Doc* doc = m_host.Document();
  if (!doc) return;
  CKZ1Doc::EventList events;
  doc->CollectMetaEvents(events);
  for (const auto& e : events) {
    // FF 58 04 nn dd: numerator in byte 3, the denominator's power of two in byte 4.
    if (e->GetLength() < 5) continue;
    m_meters.push_back({e->GetTick(), e->GetByte(3), e->GetByte(4)});
  }
}

void CGraphPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int barWidth = m_zoomBar->sizeHint().width();
  const int barHeight = m_timeBar->sizeHint().height();
  m_zoomBar->setGeometry(width() - barWidth, 0, barWidth, std::max(0, height() - barHeight));
  m_timeBar->setGeometry(0, height() - barHeight, std::max(0, width() - barWidth), barHeight);
  UpdateTimePage();
}

void CGraphPane::paintEvent(QPaintEvent*) {
  const QImage image = Render();
  QPainter p(this);
  p.drawImage(0, 0, image);
  // The corner between the two bars.
  p.fillRect(QRect(image.width(), image.height(), width() - image.width(), height() - image.height()),
             palette().window());
}

QImage CGraphPane::Render() const {
  const GraphLayout l = CalcLayout();
  QImage image(std::max(l.clientWidth, 1), std::max(l.clientHeight, 1), QImage::Format_RGB32);
  QPainter p(&image);
  p.setFont(font());
  Paint(p, l);
  return image;
}

void CGraphPane::Paint(QPainter& p, const GraphLayout& l) const {
  const Style style = GraphStyle();
  const CKZ1Doc* doc = m_host.Document();
  const bool measures = doc && doc->GetTickUnit() != 0;
  p.fillRect(QRect(0, 0, l.clientWidth, l.clientHeight), Qt::white);
  p.setPen(Qt::black);
  p.drawText(QRect(5, 0, std::max(l.clientWidth - 5, 0), GraphLayout::kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromLatin1(style.title));
  p.drawText(QRect(l.left, l.bottom, l.Width(), GraphLayout::kBottomHeight), Qt::AlignRight | Qt::AlignVCenter,
             measures ? QStringLiteral("Measure") : QStringLiteral("Time(sec)"));
  const int limitY = graph::ValueToY(l, m_limit, style.fullScale);
  if (m_limit != 0 && limitY > l.top) p.fillRect(QRect(l.left, l.top, l.Width(), limitY - l.top), kBand);
  PaintValueGrid(p, l, style);
  PaintTimeGrid(p, l);
  p.setPen(Qt::black);
  p.drawLine(l.left, l.top, l.left, l.bottom);
  p.drawLine(l.left, l.bottom, l.right, l.bottom);
  if (m_limit != 0) p.drawLine(l.left, limitY, l.right, limitY);
  PaintSamples(p, l, style);
}

void CGraphPane::PaintValueGrid(QPainter& p, const GraphLayout& l, const Style& style) const {
  const uint64_t step = std::max<uint32_t>(style.gridStep, 1);
  for (uint64_t v = 0; v < style.fullScale; v += step) {
    const int y = graph::ValueToY(l, v, style.fullScale);
    p.setPen(kGrid);
    p.drawLine(l.left, y, l.right, y);
    p.setPen(Qt::black);
    p.drawText(QRect(0, y - 7, GraphLayout::kAxisWidth - 3, 14), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(v));
  }
}

void CGraphPane::PaintTimeGrid(QPainter& p, const GraphLayout& l) const {
  const CKZ1Doc* doc = m_host.Document();
  const int tickUnit = doc ? doc->GetTickUnit() : 0;
  const uint32_t start = Start();
  const uint64_t end = graph::VisibleEnd(l, start, Zoom());
  const std::vector<AxisMark> marks =
      tickUnit > 0 ? graph::MeasureAxisMarks(static_cast<uint32_t>(tickUnit), m_meters, start, end, Zoom())
                   : graph::TimeAxisMarks(start, end, Zoom());
  // A label stops short of the axis name at the right end of the strip, so neither is overwritten.
  const QFontMetrics fm(p.font());
  const int nameLeft = l.left + l.Width() - fm.horizontalAdvance(tickUnit > 0 ? QStringLiteral("Measure") : QStringLiteral("Time(sec)"));
  for (const AxisMark& m : marks) {
    const int x = static_cast<int>(graph::TimeToX(l, m.position, start, Zoom()));
    p.setPen(kGrid);
    p.drawLine(x, l.top, x, l.bottom);
    if (!m.labelled) continue;
    const QString label = QString::number(m.label);
    const int half = (fm.horizontalAdvance(label) + 1) / 2;
    if (x + half + fm.horizontalAdvance(QLatin1Char(' ')) > nameLeft) continue;
    p.setPen(Qt::black);
    p.drawText(QRect(x - 20, l.bottom, 40, GraphLayout::kBottomHeight), Qt::AlignCenter, label);
  }
}

void CGraphPane::PaintSamples(QPainter& p, const GraphLayout& l, const Style& style) const {
  const uint32_t start = Start();
  const int zoom = Zoom();
  // Only the samples of the time shown are placed; a line runs on to the next one.
  const auto [first, last] =
      graph::VisibleSamples(m_samples, start, graph::VisibleEnd(l, start, zoom), style.joined);
  if (style.joined && last > first + 1) {
    p.save();
    p.setClipRect(QRect(l.left, l.top, l.Width(), l.Height() + 1));
    p.setPen(kMarker);
    for (size_t i = first + 1; i < last; ++i) {
      const GraphSample& a = m_samples[i - 1];
      const GraphSample& b = m_samples[i];
      double x1 = static_cast<double>(graph::TimeToX(l, a.time, start, zoom));
      double y1 = graph::ValueToY(l, a.rate, style.fullScale);
      double x2 = static_cast<double>(graph::TimeToX(l, b.time, start, zoom));
      double y2 = graph::ValueToY(l, b.rate, style.fullScale);
      // A point far right of the area is brought to its edge along the line, so the painter
      // never sees coordinates beyond its range.
      const double edge = l.right + 1.0;
      if (x2 > edge && x2 > x1) {
        y2 = y1 + (y2 - y1) * (edge - x1) / (x2 - x1);
        x2 = edge;
      }
      p.drawLine(QLineF(x1, y1, x2, y2));
    }
    p.restore();
  }
  for (size_t i = first; i < last; ++i) {
    const GraphSample& s = m_samples[i];
    const int64_t x = graph::TimeToX(l, s.time, start, zoom);
    const int y = graph::ValueToY(l, s.rate, style.fullScale);
    if (l.Contains(x, y)) p.fillRect(QRect(static_cast<int>(x) - 2, y - 2, 5, 5), kMarker);
  }
}
