// Dialog units: sizes given in units of the dialog's font. One horizontal unit is a quarter of
// the font's average character width, one vertical unit an eighth of its character height, so a
// layout in these units grows with its font and keeps fitting its text.
#pragma once

#include <QFont>
#include <QSize>

class QWidget;

namespace ui {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  /// The units of the font a widget draws with.
  explicit DialogUnits(const QWidget* widget);

  /// Pixels of `units` horizontal and vertical dialog units, rounded to nearest.
  int X(int units) const { return Scale(units, m_baseX, 4); }
  int Y(int units) const { return Scale(units, m_baseY, 8); }
  QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

  /// The average character width and the character height of the font, in pixels.
  int BaseX() const { return m_baseX; }
  int BaseY() const { return m_baseY; }

 private:
  static int Scale(int units, int base, int divisor);
  int m_baseX = 0;
  int m_baseY = 0;
};

}  // namespace ui
