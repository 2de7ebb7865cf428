#include "views/ChannelGeometry.h"

#include <algorithm>

#include "uikit/ScrollSteps.h"

namespace {

struct ColumnSpec {
  const char* title;
  int mode1;
  int mode2;
  int mode35;
};

// Modes 3/5 give "KS" 30 and "Cv" 0 here; the profile changes them below.
constexpr ColumnSpec kColumns[ChannelGeometry::kColumnCount] = {
    {"Ch", 20, 30, 35},   {"KS", 0, 30, 30},    {"VS", 0, 30, 30},     {"LED", 0, 0, 30},  {"CTyp", 0, 65, 65},
    {"", 0, 0, 0},        {"AL", 0, 0, 0},      {"Mute", 30, 30, 35},  {"Vo", 25, 20, 0},  {"C", 20, 20, 20},
    {"CR", 0, 0, 0},      {"BM", 35, 35, 40},   {"BL", 35, 35, 40},    {"Pch", 35, 35, 40}, {"Region", 60, 0, 0},
    {"Name", 120, 100, 205}, {"Cv", 0, 0, 0},
};

}  // namespace

bool ChannelGeometry::SetChipMode(int chipMode, int outputProfile) {
  if (chipMode != 1 && chipMode != 2 && chipMode != 3 && chipMode != 5) return false;
  m_chipMode = chipMode;
  m_timelineLeft = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    const ColumnSpec& spec = kColumns[c];
    int w = chipMode == 1 ? spec.mode1 : chipMode == 2 ? spec.mode2 : spec.mode35;
    if (chipMode == 3 || chipMode == 5) {
      if (c == kKS && (outputProfile == 2 || outputProfile == 8)) w = 0;
      if (c == kCv && outputProfile == 4) w = 20;
    }
    m_widths[static_cast<size_t>(c)] = w;
    m_titles[static_cast<size_t>(c)] = spec.title;
    m_timelineLeft += w;
  }
  m_lastChannelRow = chipMode == 1 ? 4 : 16;
  m_extraRows = chipMode == 1 ? 0 : 1;
  SetVPos(m_vpos);
  return true;
}

const std::string& ChannelGeometry::Title(int column) const {
  static const std::string empty;
  return InColumns(column) ? m_titles[static_cast<size_t>(column)] : empty;
}

int ChannelGeometry::ColumnLeft(int column) const {
  if (column < 1 || column >= kColumnCount) return 0;
  int left = 0;
  for (int c = 0; c < column; ++c) left += m_widths[static_cast<size_t>(c)];
  return left;
}

void ChannelGeometry::Resize(int width, int height, int scrollBar) {
  m_w = width;
  m_h = height;
  m_sb = scrollBar;
}

ChannelRect ChannelGeometry::DrawingArea() const {
  return {0, kRegionBarHeight, std::max(0, m_w - m_sb), std::max(0, m_h - m_sb - kRegionBarHeight)};
}

int ChannelGeometry::TimelineWidth() const { return std::max(0, DrawingArea().width - m_timelineLeft); }

int ChannelGeometry::VPage() const {
  const int h = DrawingArea().height;
  return h < kRowHeight ? 0 : (h - kRowHeight) / kRowHeight;
}

int ChannelGeometry::VisibleRows() const { return DrawingArea().height / kRowHeight + 1; }

void ChannelGeometry::SetHPos(int p) { m_hpos = std::clamp(p, 0, kMaxHPos); }

void ChannelGeometry::SetVPos(int v) { m_vpos = std::clamp(v, FirstRow(), LastRow()); }

void ChannelGeometry::HScroll(int code, int thumb) {
  SetHPos(scroll::StepBarUnits(m_hpos, code, thumb, kLastUnit));
}

void ChannelGeometry::VScroll(int code, int thumb) {
  int v = m_vpos;
  switch (code) {
    case scroll::kLineUp: --v; break;
    case scroll::kLineDown: ++v; break;
    case scroll::kPageUp: v -= RowPage(); break;
    case scroll::kPageDown: v += RowPage(); break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: v = thumb; break;
    case scroll::kTop: v = FirstRow(); break;
    case scroll::kBottom: v = LastRow(); break;
    default: break;
  }
  SetVPos(v);
}

int ChannelGeometry::HitTest(int x, int y, int& row) const {
  row = 0;
  const ChannelRect area = DrawingArea();
  if (y < kRegionBarHeight || y >= area.Bottom()) return -1;
  if ((y - kHeaderBottom) % kRowHeight == 0) return -1;
  if (x >= area.Right() || x < 0) return -1;
  row = y < kHeaderBottom ? 0 : (y - kHeaderBottom) / kRowHeight + m_vpos;
  if (x >= m_timelineLeft) return kTimelineHit;
  int left = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    const int w = m_widths[static_cast<size_t>(c)];
    if (w > 0 && x >= left && x < left + w) return c;
    left += w;
  }
  return -1;
}

int ChannelGeometry::UnitsDrawn() const { return TimelineWidth() / kPixelsPerUnit + 1; }

int64_t ChannelGeometry::XOfTick(uint64_t tick) const {
  const int64_t pixel = static_cast<int64_t>(tick * kPixelsPerUnit / kTicksPerUnit);
  return m_timelineLeft + pixel - static_cast<int64_t>(m_hpos) * kPixelsPerUnit;
}

int ChannelGeometry::FollowPosition(uint32_t tick) const {
  const int64_t x = static_cast<int64_t>(tick) * kPixelsPerUnit / kTicksPerUnit;
  const int64_t first = static_cast<int64_t>(m_hpos) * kPixelsPerUnit;
  if (x < first || x > first + TimelineWidth()) return static_cast<int>(x / kPixelsPerUnit);
  return -1;
}

int ChannelGeometry::FrameHeight(int chipMode, int caption, int scrollArrow, int sizingFrame) {
  const int rows = chipMode == 1 ? 4 : (chipMode == 2 || chipMode == 3 || chipMode == 5) ? 17 : 0;
  return rows * kRowHeight + kHeaderBottom + caption + scrollArrow + 2 * sizingFrame + 5;
}
