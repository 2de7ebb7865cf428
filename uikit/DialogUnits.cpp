#include "uikit/DialogUnits.h"

#include <QFontMetrics>
#include <algorithm>
#include <QWidget>

namespace ui {

namespace {

// The average width is that of the 52 Latin letters, as the dialog manager measures it.
const QString& Alphabet() {
  static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return letters;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics fm(font);
  // Rounded half up, as (width / 26 + 1) / 2 does in whole pixels.
  m_baseX = std::max(1, (fm.horizontalAdvance(Alphabet()) / 26 + 1) / 2);
  m_baseY = std::max(1, fm.height());
}

DialogUnits::DialogUnits(const QWidget* widget) : DialogUnits(widget ? widget->font() : QFont()) {}

int DialogUnits::Scale(int units, int base, int divisor) {
  const long long product = static_cast<long long>(units) * base;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor : -((-product + half) / divisor));
}

}  // namespace ui
