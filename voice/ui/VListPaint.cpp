#include "voice/ui/VListPaint.h"

#include <QMenu>
#include <QPainter>

namespace vlistpaint {

QColor Colour(unsigned c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void HeaderCell(QPainter& p, const QRect& cell, const QString& text) {
  p.fillRect(cell, Colour(0xC0C0C0));
  // The etched edge: a dark line inside a light one.
  const QRect r = cell.adjusted(0, 0, -1, -1);
  p.setPen(QColor(128, 128, 128));
  p.drawRect(r.adjusted(0, 0, -1, -1));
  p.setPen(Qt::white);
  p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
  p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, text);
}

void TextCell(QPainter& p, const QRect& cell, const QString& text, unsigned textColour, unsigned backColour) {
  if (backColour != 0xFFFFFF) p.fillRect(cell.adjusted(1, 1, 0, 0), Colour(backColour));
  if (text.isEmpty()) return;
  p.setPen(Colour(textColour));
  p.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextSingleLine, text);
}

void FillMenu(QMenu& menu, const VListMenu& items, const std::function<void(int)>& run) {
  for (const VListMenuItem& item : items) {
    if (item.id == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromStdString(item.label));
    action->setEnabled(item.enabled);
    const int id = item.id;
    QObject::connect(action, &QAction::triggered, &menu, [run, id] { run(id); });
  }
}

}  // namespace vlistpaint
