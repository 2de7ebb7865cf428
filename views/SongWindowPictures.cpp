#include "views/SongWindowPictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "uikit/PictureStore.h"
#include "views/ViewPictures.h"

namespace {

/// A soft paper texture for the song window's background.
void Background(QPainter& p, const QSize& size) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(250, 250, 246));
  p.setPen(QColor(242, 242, 236));
  for (int y = 3; y < size.height(); y += 7) p.drawLine(0, y, size.width() - 1, y);
  for (int x = 5; x < size.width(); x += 11) p.drawLine(x, 0, x, size.height() - 1);
}

/// A level meter: green to yellow to red from the bottom when lit, dark grey when not.
void Meter(QPainter& p, const QSize& size, bool lit) {
  if (!lit) {
    p.fillRect(QRect(QPoint(0, 0), size), QColor(40, 40, 40));
  } else {
    QLinearGradient g(0, size.height(), 0, 0);
    g.setColorAt(0.0, QColor(0, 200, 0));
    g.setColorAt(0.7, QColor(230, 230, 0));
    g.setColorAt(1.0, QColor(240, 0, 0));
    p.fillRect(QRect(QPoint(0, 0), size), g);
  }
  p.setPen(lit ? QColor(0, 60, 0) : QColor(20, 20, 20));
  for (int y = 4; y < size.height(); y += 5) p.drawLine(0, y, size.width() - 1, y);
}

void Indicator(QPainter& p, const QSize& size, bool on) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(212, 208, 200));
  p.setPen(QColor(64, 64, 64));
  p.setBrush(on ? QColor(255, 64, 0) : QColor(96, 32, 0));
  p.drawEllipse(QRect(1, 1, size.width() - 3, size.height() - 3));
}

/// Voice-group mark n: a numbered tag.
void GroupMark(QPainter& p, const QSize& size, int n) {
  static const QColor kColours[4] = {QColor(0, 96, 192), QColor(0, 144, 64), QColor(192, 96, 0), QColor(160, 0, 160)};
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  p.setPen(Qt::NoPen);
  p.setBrush(kColours[n - 1]);
  p.drawRoundedRect(QRect(1, 1, size.width() - 2, size.height() - 2), 3, 3);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(size.height() - 6);
  p.setFont(f);
  p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QString::number(n));
}

}  // namespace

void RegisterSongWindowPictures() {
  RegisterViewPictures();
  ui::PictureStore& store = ui::PictureStore::Instance();
  if (store.Has(1202)) return;
  store.Register(1202, QSize(283, 213), Background);
  store.Register(1209, QSize(8, 110), [](QPainter& p, const QSize& s) { Meter(p, s, true); });
  store.Register(1210, QSize(8, 110), [](QPainter& p, const QSize& s) { Meter(p, s, false); });
  store.Register(2190, QSize(16, 16), [](QPainter& p, const QSize& s) { Indicator(p, s, true); });
  store.Register(2191, QSize(16, 16), [](QPainter& p, const QSize& s) { Indicator(p, s, false); });
  // The voice windows draw the same marks; whichever set-up runs first keeps its own.
  for (int n = 1; n <= 4; ++n)
    if (!store.Has(2146 + n))
      store.Register(2146 + n, QSize(17, 19), [n](QPainter& p, const QSize& s) { GroupMark(p, s, n); });
}
