// Drawing helpers: the program's 0x00BBGGRR colours, system colours and system metrics.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace ui {

/// A colour value 0x00BBGGRR (red in the low byte).
inline QColor FromColorRef(uint32_t ref) {
  return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF), static_cast<int>((ref >> 16) & 0xFF));
}
inline uint32_t ToColorRef(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 | static_cast<uint32_t>(c.blue()) << 16;
}

// The system colour indexes the Parts name.
enum SysColorIndex {
  kColorScrollBar = 0,
  kColorBackground = 1,
  kColorWindow = 5,
  kColorWindowFrame = 6,
  kColorMenuText = 7,
  kColorWindowText = 8,
  kColorAppWorkspace = 12,
  kColorHighlight = 13,
  kColorHighlightText = 14,
  kColorBtnFace = 15,
  kColorBtnShadow = 16,
  kColorGrayText = 17,
  kColorBtnText = 18,
  kColorBtnHighlight = 20,
  kColor3DDkShadow = 21,
  kColor3DLight = 22,
  kColorInfoText = 23,
  kColorInfoBk = 24,
};

/// The palette colour that stands for a system colour.
QColor SysColor(int index, const QPalette& palette);

// The system metrics the Parts read.
enum SysMetricIndex {
  kMetricCxScreen = 0,
  kMetricCyScreen = 1,
  kMetricCxVScroll = 2,
  kMetricCyHScroll = 3,
  kMetricCyCaption = 4,
  kMetricCxBorder = 5,
  kMetricCyBorder = 6,
  kMetricCxEdge = 45,
  kMetricCyEdge = 46,
};

/// The style's or screen's value of a system metric; 0 for one not mapped.
int SystemMetric(int index);

}  // namespace ui
