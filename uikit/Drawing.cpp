#include "uikit/Drawing.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace ui {

QColor SysColor(int index, const QPalette& palette) {
  switch (index) {
    case kColorWindow: return palette.color(QPalette::Base);
    case kColorWindowText:
    case kColorMenuText: return palette.color(QPalette::Text);
    case kColorHighlight: return palette.color(QPalette::Highlight);
    case kColorHighlightText: return palette.color(QPalette::HighlightedText);
    case kColorBtnFace: return palette.color(QPalette::Button);
    case kColorBtnText: return palette.color(QPalette::ButtonText);
    case kColorBtnShadow: return palette.color(QPalette::Mid);
    case kColorBtnHighlight: return palette.color(QPalette::Light);
    case kColor3DDkShadow: return palette.color(QPalette::Shadow);
    case kColor3DLight: return palette.color(QPalette::Midlight);
    case kColorGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    case kColorInfoText: return palette.color(QPalette::ToolTipText);
    case kColorInfoBk: return palette.color(QPalette::ToolTipBase);
    case kColorWindowFrame: return palette.color(QPalette::Dark);
    case kColorAppWorkspace:
    case kColorBackground:
    case kColorScrollBar: return palette.color(QPalette::Window);
    default: return palette.color(QPalette::Window);
  }
}

int SystemMetric(int index) {
  QStyle* style = QApplication::style();
  const QScreen* screen = QGuiApplication::primaryScreen();
  switch (index) {
    case kMetricCxScreen: return screen ? screen->geometry().width() : 0;
    case kMetricCyScreen: return screen ? screen->geometry().height() : 0;
    case kMetricCxVScroll: return style->pixelMetric(QStyle::PM_ScrollBarExtent);
    case kMetricCyHScroll: return style->pixelMetric(QStyle::PM_ScrollBarExtent);
    case kMetricCyCaption: return style->pixelMetric(QStyle::PM_TitleBarHeight);
    case kMetricCxBorder:
    case kMetricCyBorder: return 1;
    case kMetricCxEdge:
    case kMetricCyEdge: return style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    default: return 0;
  }
}

}  // namespace ui
