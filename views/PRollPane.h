// The piano roll window: notes as bars on a grid of keys against time, for one channel, the
// stream-PCM track or all channels, with a strip of control events and section markers.
#pragma once

#include <QImage>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <bitset>
#include <memory>

#include "uikit/CommandRouter.h"
#include "uikit/MdiFrame.h"
#include "views/NoteIndex.h"
#include "views/PRollGeometry.h"
#include "views/SongViewTabs.h"

class QPainter;
class QScrollBar;
class QTabBar;
class ISongViewHost;

/// Paints a note bar (l, t, r, b inclusive) in colour scheme 0..3: full colour at the top
/// edge and the middle, palest a quarter down, darkening to black at the bottom.
void DrawNoteBar(QPainter& p, int l, int t, int r, int b, int scheme);

/// The row buttons' class: a push button with four pictures and no behaviour of its own.
class CZoomButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  std::array<QPixmap, 4> m_bitmaps;
};

class CPRollPane : public QWidget, public ui::ICommandTarget {
 public:
  static constexpr int kTabStripId = 2123;
  static constexpr int kHBarId = 2098;
  static constexpr int kVBarId = 2099;
  static constexpr int kNarrowId = 2094;
  static constexpr int kWidenId = 2095;
  static constexpr int kZoomInId = 2096;
  static constexpr int kZoomOutId = 2097;

  explicit CPRollPane(ISongViewHost& host, QWidget* parent = nullptr);
  ~CPRollPane() override;

  /// The main frame's refresh: as its own sender it asks for a refresh of every song window;
  /// during a play-position refresh it follows the position; else it re-reads the song.
  void UpdateView(const void* sender);
  /// The main frame's rewind: a horizontal thumb-position scroll to 0.
  void ScrollToStart() { OnHScroll(4, 0); }
  /// 4 channels in chip mode 1, 16 in 2, 3 and 5; the tabs stay as they were built.
  void SetChannelCount(int chipMode);
  /// The song window's play region.
  void SetView(int on, int redraw, uint32_t start, uint32_t end);

  void OnHScroll(int code, int position);
  void OnVScroll(int code, int position);
  void OnTabChange();

  bool OnCommand(int id) override;
  bool HandlesCommand(int id) const override { return id >= kNarrowId && id <= kZoomOutId; }

  const PRollGeometry& Geometry() const { return m_geometry; }
  const NoteIndex& Index() const { return m_index; }
  int ChannelCount() const { return m_channelCount; }
  int CurrentTab() const { return m_currentTab; }
  QTabBar* TabStrip() const { return m_tabs; }
  QScrollBar* HBar() const { return m_hbar; }
  QScrollBar* VBar() const { return m_vbar; }
  QPushButton* Button(int id) const;
  /// How many times the grid and strip were invalidated.
  int Invalidations() const { return m_invalidations; }

  /// The pane's grid area and strip as a paint composes them, in pane coordinates.
  QImage Compose() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  enum class Ends { Start, End };
  void Rebuild();
  void Invalidate();
  void ApplyBars();
  SongTabKind TabKind() const { return m_tabLayout->KindOf(m_currentTab); }
  void DrawGrid(QImage& image) const;
  void DrawKeyRows(QPainter& p) const;
  void DrawTimeGrid(QPainter& p) const;
  void DrawNotes(QPainter& p) const;
  void DrawRegion(QImage& image, QPainter& p) const;
  void DrawEventStrip(QImage& image) const;
  bool RegionInWindow() const;

  ISongViewHost& m_host;
  int m_channelCount = 16;
  std::unique_ptr<SongViewTabs> m_tabLayout;
  QImage m_marker;
  QTabBar* m_tabs = nullptr;
  QScrollBar* m_hbar = nullptr;
  QScrollBar* m_vbar = nullptr;
  CZoomButton* m_narrow = nullptr;
  CZoomButton* m_widen = nullptr;
  QPushButton* m_zoomIn = nullptr;
  QPushButton* m_zoomOut = nullptr;
  int m_currentTab = 0;
  int m_regionOn = 0;
  uint32_t m_regionStart = 0;
  uint32_t m_regionEnd = 0;
  int m_reserved = 0;
  PRollGeometry m_geometry;

  // Copies of what painting needs from the song, taken by every refresh but a position one.
  NoteIndex m_index;
  std::array<uint32_t, 10> m_cues{};
  std::array<std::bitset<128>, 16> m_keyInRange;
  bool m_hasSong = false;
  uint32_t m_playTick = 0;
  int m_invalidations = 0;
};

/// The piano roll's MDI child frame on resource 1003 (no menu of its own).
class CPRollFrm : public ui::MdiFrame, public ui::ICommandTarget {
 public:
  static constexpr const char* kClassName = "CPRollFrm";

  explicit CPRollFrm(ISongViewHost& host, QWidget* parent = nullptr);
  ~CPRollFrm() override;

  CPRollPane* Pane() const { return m_pane; }
  /// Commands go to the pane first.
  bool OnCommand(int id) override { return m_pane && m_pane->OnCommand(id); }
  bool HandlesCommand(int id) const override { return m_pane && m_pane->HandlesCommand(id); }

 private:
  CPRollPane* m_pane = nullptr;
};
