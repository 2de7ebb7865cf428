// The song window's channel pane geometry: the column table of each chip mode, rows, hit
// testing, scroll clamps and tick-to-pixel, plus the frame's height cap. Qt-free.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct ChannelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const ChannelRect&) const = default;
};

class ChannelGeometry {
 public:
  static constexpr int kColumnCount = 17;
  static constexpr int kTimelineHit = 17;  // HitTest's answer for the timeline
  enum Column {
    kCh = 0, kKS = 1, kVS = 2, kLED = 3, kCTyp = 4, kHidden = 5, kAL = 6, kMute = 7, kVo = 8, kC = 9, kCR = 10,
    kBM = 11, kBL = 12, kPch = 13, kRegion = 14, kName = 15, kCv = 16
  };
  static constexpr int kPixelsPerUnit = 50;
  static constexpr int kTicksPerUnit = 200;
  static constexpr int kTicksPerLabel = 1000;
  static constexpr int kMaxHPos = 4001;  // the horizontal bar's range 0..4001
  static constexpr int kLastUnit = 4000;
  static constexpr int kRegionBarHeight = 24;
  static constexpr int kHeaderBottom = 44;  // the first channel row starts here
  static constexpr int kRowHeight = 20;
  static constexpr int kStreamPcmRow = 17;

  ChannelGeometry() { SetChipMode(3, 2); }

  /// The column table of a chip mode (1, 2, 3, 5; modes 3 and 5 also by output profile);
  /// false and nothing changed for another mode.
  bool SetChipMode(int chipMode, int outputProfile);
  int ChipMode() const { return m_chipMode; }

  int Width(int column) const { return InColumns(column) ? m_widths[static_cast<size_t>(column)] : 0; }
  const std::string& Title(int column) const;
  /// Sum of the widths before the column (1..16); 0 for other arguments.
  int ColumnLeft(int column) const;
  int TimelineLeft() const { return m_timelineLeft; }

  int FirstRow() const { return 1; }
  int LastChannelRow() const { return m_lastChannelRow; }
  int ExtraRows() const { return m_extraRows; }
  int LastRow() const { return m_lastChannelRow + m_extraRows; }
  int RowPage() const { return 1; }

  /// A new client size; `scrollBar` is the style's bar extent.
  void Resize(int width, int height, int scrollBar);
  int ClientWidth() const { return m_w; }
  int ClientHeight() const { return m_h; }
  int ScrollBarExtent() const { return m_sb; }
  /// The client area below the region bar, less both scroll bars.
  ChannelRect DrawingArea() const;
  ChannelRect RegionBar() const { return {0, 0, m_w, kRegionBarHeight}; }
  ChannelRect HBar() const { return {0, m_h - m_sb, m_w - m_sb, m_sb}; }
  ChannelRect VBar() const { return {m_w - m_sb, kRegionBarHeight, m_sb, m_h - kRegionBarHeight - m_sb}; }
  int TimelineWidth() const;
  /// The horizontal bar's page: the visible timeline width in scroll units.
  int HPage() const { return TimelineWidth() > 0 ? TimelineWidth() / kPixelsPerUnit : 0; }
  /// (drawing height - 20) / 20, 0 below 20 pixels.
  int VPage() const;
  /// Rows drawn from the vertical position: drawing height / 20 + 1.
  int VisibleRows() const;

  int HPos() const { return m_hpos; }
  int VPos() const { return m_vpos; }
  void SetHPos(int p);
  void SetVPos(int v);
  /// The scroll codes (scroll::Code) of the bars; thumbs are held to the bar's range.
  void HScroll(int code, int thumb);
  void VScroll(int code, int thumb);
  /// A wheel turn by `lines` rows: a positive delta scrolls up.
  void Wheel(int delta, int lines) { SetVPos(delta > 0 ? m_vpos - lines : m_vpos + lines); }

  /// Column 0..16, 17 for the timeline, or -1; `row` gets the row under the point.
  int HitTest(int x, int y, int& row) const;
  /// Top of a row of the visible area (row >= 1).
  int RowTop(int row) const { return kHeaderBottom + kRowHeight * (row - m_vpos); }
  /// Top of a row's note bar.
  int BarTop(int row) const { return 48 + kRowHeight * (row - m_vpos); }
  static constexpr int kBarHeight = 13;

  /// The visible tick window [start, end).
  uint32_t WindowStart() const { return static_cast<uint32_t>(m_hpos) * kTicksPerUnit; }
  /// Scroll units the ruler draws: the timeline width / 50 + 1.
  int UnitsDrawn() const;
  uint64_t WindowEnd() const { return static_cast<uint64_t>(m_hpos + UnitsDrawn()) * kTicksPerUnit; }
  /// x of a tick (64-bit arithmetic; may lie outside the pane).
  int64_t XOfTick(uint64_t tick) const;
  /// The horizontal position that brings the play position into view, or -1 when it is in view.
  int FollowPosition(uint32_t tick) const;

  /// The frame's maximum height: rows x 20 + 44 + caption + scroll arrow + 2 x sizing frame + 5,
  /// rows 4 in chip mode 1, 17 in modes 2, 3 and 5, 0 otherwise.
  static int FrameHeight(int chipMode, int caption, int scrollArrow, int sizingFrame);
  static constexpr int kFrameWidth = 600;

 private:
  static bool InColumns(int c) { return c >= 0 && c < kColumnCount; }
  int m_chipMode = 0;
  std::array<int, kColumnCount> m_widths{};
  std::array<std::string, kColumnCount> m_titles{};
  int m_timelineLeft = 0;
  int m_lastChannelRow = 16;
  int m_extraRows = 1;
  int m_w = 0;
  int m_h = 0;
  int m_sb = 16;
  int m_hpos = 0;
  int m_vpos = 1;
};

/// A position typed as measure (1..999), beat (1..5) and tick (0..23): its song tick.
inline uint32_t TickOfPosition(int measure, int beat, int tick) {
  return static_cast<uint32_t>((measure * 5 + beat) * 24 + tick - 144);
}
