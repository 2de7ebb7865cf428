#include "views/PRollGeometry.h"

#include "uikit/ScrollCodes.h"

void PRollGeometry::Resize(int width, int height, int scrollBar) {
  m_w = width;
  m_h = height;
  m_sb = scrollBar;
  UpdateVPage();
  m_vpos = kStartVPos;
}

void PRollGeometry::UpdateVPage() { m_vpage = m_rowHeight > 0 ? (GridHeight() - 20) / m_rowHeight : 0; }

PRollRect PRollGeometry::Button(int id) const {
  switch (id) {
    case 2096: return {m_w - 116, 1, 24, 18};
    case 2097: return {m_w - 88, 1, 24, 18};
    case 2094: return {m_w - 56, 1, 24, 18};
    case 2095: return {m_w - 28, 1, 24, 18};
    default: return {};
  }
}

void PRollGeometry::HScroll(int code, int thumb) {
  SetHPos(scroll::StepBarUnits(m_hpos, code, thumb, kLastUnit));
}

void PRollGeometry::VScroll(int code, int thumb) {
  int v = m_vpos;
  switch (code) {
    case scroll::kLineUp: v = v > 0 ? v - 1 : 0; break;
    case scroll::kLineDown: if (v < 127) ++v; break;
    case scroll::kPageUp: v = v <= 11 ? 0 : v - 12; break;
    case scroll::kPageDown: v = v >= 116 ? 127 : v + 12; break;
    case scroll::kThumbPosition:
    case scroll::kThumbTrack: v = thumb; break;
    case scroll::kTop: v = 0; break;
    case scroll::kBottom: v = 127; break;
    default: break;
  }
  SetVPos(v);
}

bool PRollGeometry::Command(int id) {
  bool repaint = false;
  switch (id) {
    case 2094:
      if (m_rowHeight >= 11) {
        m_rowHeight -= 2;
        repaint = true;
      }
      break;
    case 2095:
      if (m_rowHeight < 24) {
        m_rowHeight += 2;
        repaint = true;
      }
      break;
    case 2096:
      if (m_px < 200) m_px += 10;
      repaint = true;
      break;
    case 2097:
      if (m_px >= 11) m_px -= 10;
      repaint = true;
      break;
    default: break;
  }
  UpdateVPage();
  return repaint;
}

int PRollGeometry::ColumnCount() const {
  const int fit = m_px > 0 ? std::max(0, GridWidth() - kKeyColumn) / m_px + 1 : 1;
  return std::max(0, std::min(fit, kLastUnit + 1 - m_hpos));
}

uint32_t PRollGeometry::Offset(uint64_t d) const {
  // In 64 bits: a far tick must not wrap round into the window.
  const uint64_t x = d * static_cast<uint64_t>(m_px) / kTicksPerUnit;
  return x > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<uint32_t>(x);
}

int PRollGeometry::XOfTick(uint32_t tick) const {
  const uint32_t start = WindowStart();
  return kKeyColumn + static_cast<int>(tick > start ? std::min<uint32_t>(Offset(tick - start), 0x3FFFFFFF) : 0);
}

int PRollGeometry::RowCount() const {
  if (m_rowHeight <= 0) return 0;
  const int limit = (GridHeight() + 1) / m_rowHeight + 1;
  return std::max(0, std::min(limit, TopKey() + 1));
}

bool PRollGeometry::NoteBar(uint32_t tick, uint32_t length, int key, PRollRect& bar) const {
  const uint64_t start = WindowStart();
  const uint64_t end = static_cast<uint64_t>(tick) + std::max<uint32_t>(length, 1);
  if (start > end || tick >= WindowEnd()) return false;
  if (key > TopKey() || key < TopKey() - RowCount()) return false;
  const int top = 48 + (127 - key - m_vpos) * m_rowHeight;
  const int left = XOfTick(tick);
  const int right = static_cast<int>(std::min<uint64_t>(kKeyColumn + static_cast<uint64_t>(Offset(end - start)),
                                                        static_cast<uint64_t>(Grid().Right())));
  bar = {left, top, right - left, m_rowHeight - 7};
  return true;
}

int PRollGeometry::FollowPosition(uint32_t tick) const {
  const int64_t x = Offset(tick);
  const int64_t left = static_cast<int64_t>(m_hpos) * m_px;
  if (x < left || x > left + GridWidth() - kKeyColumn) return m_px > 0 ? static_cast<int>(x / m_px) : 0;
  return -1;
}
