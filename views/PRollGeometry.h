// The piano roll's geometry: where its children sit for a pane size, and the mappings of time
// to x and of keys to rows for the current scroll and zoom. Qt-free.
#pragma once

#include <algorithm>
#include <cstdint>

struct PRollRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const PRollRect&) const = default;
};

class PRollGeometry {
 public:
  static constexpr int kTicksPerUnit = 200;
  static constexpr int kTicksPerLabel = 1000;
  static constexpr int kMaxHPos = 4001;  // the horizontal bar's range 0..4001
  static constexpr int kLastUnit = 4000;
  static constexpr int kMaxVPos = 128;   // the vertical bar's range 0..128
  static constexpr int kKeyColumn = 96;  // the time axis starts here
  static constexpr int kRulerTop = 24;
  static constexpr int kRulerBottom = 44;
  static constexpr int kStripHeight = 40;
  static constexpr int kStartVPos = 55;  // top key 72

  /// `scrollBar`: the extent of both scroll bars (the style's).
  PRollGeometry(int width = 0, int height = 0, int scrollBar = 16) { Resize(width, height, scrollBar); }

  /// A new pane size: the pages follow and the vertical position goes back to 55.
  void Resize(int width, int height, int scrollBar);

  // Children, in pane coordinates.
  PRollRect TabStrip() const { return {0, 0, m_w - 140, 24}; }
  /// "ZoomIn" 2096, "ZoomOut" 2097, "N" 2094, "W" 2095 by their id.
  PRollRect Button(int id) const;
  PRollRect HBar() const { return {0, m_h - m_sb, m_w, m_sb}; }
  PRollRect VBar() const { return {m_w - m_sb, 24, m_sb, m_h - m_sb - 64}; }
  PRollRect Grid() const { return {0, 24, m_w - m_sb, m_h - 40 - m_sb - 24}; }
  PRollRect Strip() const { return {0, m_h - m_sb - kStripHeight, m_w - m_sb, kStripHeight}; }
  int GridWidth() const { return Grid().width; }
  int GridHeight() const { return Grid().height; }

  // Scroll and zoom state.
  int HPos() const { return m_hpos; }
  int VPos() const { return m_vpos; }
  int PixelsPerUnit() const { return m_px; }
  int RowHeight() const { return m_rowHeight; }
  int HPage() const { return m_px > 0 ? std::max(0, GridWidth()) / m_px : 0; }
  int VPage() const { return m_vpage; }
  void SetHPos(int p) { m_hpos = p < 0 ? 0 : (p > kMaxHPos ? kMaxHPos : p); }
  void SetVPos(int v) { m_vpos = v < 0 ? 0 : (v > kMaxVPos ? kMaxVPos : v); }
  /// The vertical page again from the grid height and row height (the position stays).
  void UpdateVPage();

  /// The horizontal and vertical scroll codes (scroll::Code) of the bars.
  void HScroll(int code, int thumb);
  void VScroll(int code, int thumb);
  /// A wheel turn by `lines`: away from the user (delta > 0) scrolls up.
  void Wheel(int delta, int lines) { SetVPos(delta > 0 ? m_vpos - lines : m_vpos + lines); }

  /// The buttons' commands 2094-2097; true when the grid must be repainted.
  bool Command(int id);

  // Time mapping.
  uint32_t WindowStart() const { return static_cast<uint32_t>(m_hpos) * kTicksPerUnit; }
  int ColumnCount() const;
  uint32_t WindowEnd() const { return static_cast<uint32_t>(m_hpos + ColumnCount()) * kTicksPerUnit; }
  /// Pixels of a tick offset d at the current zoom.
  uint32_t Offset(uint64_t d) const;
  /// x of a tick at or after the window start.
  int XOfTick(uint32_t tick) const;
  int XOfColumn(int j) const { return kKeyColumn + j * m_px; }

  // Key mapping.
  int TopKey() const { return 127 - m_vpos; }
  /// Rows drawn from the top: while the key is 0 or more and i < (grid height + 1) / h + 1.
  int RowCount() const;
  int KeyOfRow(int i) const { return 127 - m_vpos - i; }
  int RowTop(int i) const { return kRulerBottom + i * m_rowHeight; }

  /// A note bar of tick S and length L (at least 1) on key k; false when it is not drawn.
  bool NoteBar(uint32_t tick, uint32_t length, int key, PRollRect& bar) const;

  /// The horizontal position that brings a play position into view, or -1 when it is in view.
  int FollowPosition(uint32_t tick) const;

 private:
  int m_w = 0;
  int m_h = 0;
  int m_sb = 16;
  int m_hpos = 0;
  int m_vpos = kStartVPos;
  int m_px = 50;
  int m_rowHeight = 20;
  int m_vpage = 0;
};
