// The pane shared by the event-density and stream-size graphs: the zoom and time scroll bars,
// the samples and time signatures, and the off-screen painting of axes, limit band and samples.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "views/GraphGeometry.h"

class QScrollBar;
class ISongViewHost;

class CGraphPane : public QWidget {
 public:
  /// The pane's child id in its frame.
  static constexpr int kPaneId = 0xE900;

  explicit CGraphPane(ISongViewHost& host, QWidget* parent = nullptr);

  /// The layout of the client area (the pane without its scroll bars).
  GraphLayout CalcLayout() const;
  /// The zoom: time units per pixel, the vertical bar's position.
  int Zoom() const;
  /// The first time position shown, the horizontal bar's position.
  uint32_t Start() const;
  QScrollBar* ZoomBar() const { return m_zoomBar; }
  QScrollBar* TimeBar() const { return m_timeBar; }
  const std::vector<GraphSample>& Samples() const { return m_samples; }
  const std::vector<GraphMeter>& Meters() const { return m_meters; }
  uint32_t GraphLength() const { return m_graphLength; }
  uint32_t Limit() const { return m_limit; }
  /// The client area as the pane paints it.
  QImage Render() const;
  /// Another sender redraws; the pane itself as sender asks the main frame to refresh the
  /// voice windows.
  void UpdateView(const QWidget* sender);

 protected:
  /// What differs between the two graphs.
  struct Style {
    const char* title = "";
    uint64_t fullScale = 1;
    uint32_t gridStep = 1;
    bool joined = false;  // consecutive samples joined by lines
  };
  virtual Style GraphStyle() const = 0;

  /// Time-sorted samples (stable, so equal times keep their order).
  void SetSamples(std::vector<GraphSample> samples);
  /// Zoom 1..500 at 40, time 0..range at 0.
  void ResetScrollBars(uint64_t timeRange);
  /// The song's time signatures.
  void CollectMeters();

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  ISongViewHost& m_host;
  uint32_t m_limit = 0;
  uint32_t m_graphLength = 0;

 private:
  /// The horizontal page is the graph area's width in time units.
  void UpdateTimePage();
  void Paint(QPainter& p, const GraphLayout& l) const;
  void PaintValueGrid(QPainter& p, const GraphLayout& l, const Style& style) const;
  void PaintTimeGrid(QPainter& p, const GraphLayout& l) const;
  void PaintSamples(QPainter& p, const GraphLayout& l, const Style& style) const;

  std::vector<GraphSample> m_samples;
  std::vector<GraphMeter> m_meters;
  QScrollBar* m_zoomBar = nullptr;
  QScrollBar* m_timeBar = nullptr;
  uint64_t m_timeRange = 0;
  bool m_rangeSet = false;
};
