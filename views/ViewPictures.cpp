#include "views/ViewPictures.h"

#include <QPainter>
#include <QPolygon>

#include "uikit/PictureStore.h"

namespace {

void Triangle(QPainter& p, std::initializer_list<QPoint> points, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygon(QList<QPoint>(points)));
}

/// A button picture: a symbol in dark grey on the button face.
void Symbol(QPainter& p, const QSize& size, int kind) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(212, 208, 200));
  p.setPen(QPen(QColor(48, 48, 48), 2));
  const int cx = size.width() / 2;
  const int cy = size.height() / 2;
  switch (kind) {
    case 0:  // narrow rows: arrows together
      p.drawLine(cx, 1, cx, cy - 1);
      p.drawLine(cx, cy + 1, cx, size.height() - 2);
      p.drawLine(3, cy, size.width() - 4, cy);
      break;
    case 1:  // wide rows
      p.drawLine(cx, 1, cx, size.height() - 2);
      p.drawLine(3, 2, size.width() - 4, 2);
      p.drawLine(3, size.height() - 3, size.width() - 4, size.height() - 3);
      break;
    case 2:  // zoom in: a plus
      p.drawLine(cx, 2, cx, size.height() - 3);
      [[fallthrough]];
    default:  // zoom out: a minus
      p.drawLine(3, cy, size.width() - 4, cy);
      break;
  }
}

void Letter(QPainter& p, const QSize& size, const char* text) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(212, 208, 200));
  p.setPen(QColor(32, 32, 96));
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(size.height() - 2);
  p.setFont(f);
  p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QString::fromLatin1(text));
}

}  // namespace

void RegisterViewPictures() {
  ui::PictureStore& store = ui::PictureStore::Instance();
  if (store.Has(1201)) return;
  // The region marker: its left half marks a start, its right half an end.
  store.Register(1201, QSize(16, 16), [](QPainter& p, const QSize&) {
    p.fillRect(0, 0, 16, 16, Qt::white);
    Triangle(p, {QPoint(0, 2), QPoint(7, 8), QPoint(0, 14)}, QColor(128, 128, 128));
    Triangle(p, {QPoint(15, 2), QPoint(8, 8), QPoint(15, 14)}, QColor(128, 128, 128));
  });
  for (int i = 0; i < 4; ++i) {
    store.Register(1223 + i, QSize(20, 14), [i](QPainter& p, const QSize& size) { Symbol(p, size, i); });
  }
  store.Register(1230, QSize(20, 14), [](QPainter& p, const QSize& size) { Letter(p, size, "F"); });
  store.Register(1231, QSize(20, 14), [](QPainter& p, const QSize& size) { Letter(p, size, "R"); });
}
