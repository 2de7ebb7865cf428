// The song window's channel pane: a row per channel with its settings and a timeline of its
// notes under the region bar.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "views/ChannelGeometry.h"
#include "views/NoteIndex.h"

class QPainter;
class QScrollBar;
class CKZ1Doc;
class CRegionBarDlg;
class ISongWindowHost;

class CChannelView : public QWidget {
 public:
  static constexpr int kHBarId = 2066;
  static constexpr int kVBarId = 2067;

  explicit CChannelView(ISongWindowHost& host, QWidget* parent = nullptr);
  ~CChannelView() override;

  /// The column table of the chip mode (and output profile); other modes change nothing.
  void SetChipMode(int chipMode);
  /// The refresh protocol: as its own sender the pane asks the main frame to refresh every song
  /// window; else it follows a play position, re-reads the song and repaints at once.
  void UpdateView(const void* sender);
  void ScrollToStart();
  void SetRegion(int on, int redraw, uint32_t start, uint32_t end);
  /// The region to the open piano roll and the document's play range.
  void ApplyRegion();
  /// Column 0..16, 17 the timeline, -1 nothing; `row` the row under the point.
  int HitTest(QPoint point, int& row) const { return m_geometry.HitTest(point.x(), point.y(), row); }
  int ColumnLeft(int column) const { return m_geometry.ColumnLeft(column); }

  void OnHScroll(int code, int position);
  void OnVScroll(int code, int position);
  void OnLButtonDown(QPoint point);
  void OnRButtonDown(QPoint point);
  void OnLButtonDblClk(QPoint point);

  /// The whole pane below the region bar as a paint composes it; `depth` is the display's bits
  /// per pixel (below 15: plain bars, no background picture).
  QImage Compose(int depth = 32) const;
  void Draw(QPainter& painter, int depth) const;

  const ChannelGeometry& Geometry() const { return m_geometry; }
  ChannelGeometry& Geometry() { return m_geometry; }
  int RegionOn() const { return m_regionOn; }
  uint32_t RegionStart() const { return m_regionStart; }
  uint32_t RegionEnd() const { return m_regionEnd; }
  int SelectedChannel() const { return m_selected; }
  CRegionBarDlg* RegionBar() const { return m_regionBar; }
  QScrollBar* HBar() const { return m_hbar; }
  QScrollBar* VBar() const { return m_vbar; }
  const NoteIndex& Index() const { return m_index; }
  ISongWindowHost& Host() const { return m_host; }
  /// How many times the pane was invalidated.
  int Invalidations() const { return m_invalidations; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  struct ClickContext;
  void Invalidate();
  void ApplyBars();
  void Rebuild();
  void Changed(CKZ1Doc& doc);
  void StepPart(int channel, int part, int direction);
  void OpenChannelStatus();
  void OpenVoiceIndex(int channel);
  void OpenRegionVoice(int channel);
  void OpenVoiceEditor(int channel);
  void DrawRows(QPainter& p, const CKZ1Doc* doc) const;
  void DrawHeader(QPainter& p) const;
  void DrawRuler(QPainter& p) const;
  void DrawCues(QPainter& p, const CKZ1Doc* doc) const;
  void DrawNotes(QPainter& p, int depth) const;
  void DrawCells(QPainter& p, const CKZ1Doc* doc) const;
  void DrawStreamRow(QPainter& p, const CKZ1Doc* doc) const;
  void DrawRegion(QImage& image) const;
  void DrawPlayLine(QImage& image, const CKZ1Doc* doc) const;
  void DrawBar(QPainter& p, int left, int top, int right, int bottom, int scheme, int depth) const;
  QString VoiceName(const CKZ1Doc& doc, int channel) const;

  ISongWindowHost& m_host;
  ChannelGeometry m_geometry;
  QImage m_marker;
  CRegionBarDlg* m_regionBar = nullptr;
  QScrollBar* m_hbar = nullptr;
  QScrollBar* m_vbar = nullptr;
  int m_regionOn = 0;
  uint32_t m_regionStart = 0;
  uint32_t m_regionEnd = 0;
  int m_reserved = 0;
  int m_selected = -1;
  NoteIndex m_index;
  int m_invalidations = 0;
};
