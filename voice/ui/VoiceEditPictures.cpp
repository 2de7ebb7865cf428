// The voice dialogs' pictures drawn by the program: the FM page's algorithms and wave shapes,
// the 2-operator dialog's note lengths.
#include "voice/ui/VoiceEditPictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPainterPath>
#include <cmath>

#include "uikit/PictureStore.h"
#include "voice/VoiceEditRules.h"

namespace voiceedit {
namespace {

constexpr int kShapeCount = 32;

/// ALG 0 and 1 have two operators, the others four.
int OperatorsOf(int alg) { return alg < 2 ? 2 : 4; }

void PaintAlgorithm(QPainter& p, const QSize& size, int alg, int selected) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(240, 240, 240));
  p.setPen(Qt::black);
  p.drawText(QRect(2, 1, size.width() - 4, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ALG %1").arg(alg));
  const int n = OperatorsOf(alg);
  const int box = 16;
  const int gap = (size.width() - n * box) / (n + 1);
  const int top = size.height() - box - 6;
  for (int k = 0; k < n; ++k) {
    const QRect r(gap + k * (box + gap), top, box, box);
    if (k + 1 < n) p.drawLine(r.right() + 1, r.center().y(), r.right() + gap, r.center().y());
    if (OperatorCarriesFeedback(alg, k + 1)) {
      p.drawLine(r.center().x(), r.top(), r.center().x(), r.top() - 4);
      p.drawLine(r.center().x(), r.top() - 4, r.right() + 3, r.top() - 4);
      p.drawLine(r.right() + 3, r.top() - 4, r.right() + 3, r.center().y());
    }
    p.setBrush(k == selected ? QColor(0, 128, 255) : QColor(255, 255, 255));
    p.drawRect(r);
    p.setPen(k == selected ? Qt::white : Qt::black);
    p.drawText(r, Qt::AlignCenter, QString::number(k + 1));
    p.setPen(Qt::black);
  }
}

void PaintWaveShape(QPainter& p, const QSize& size, int ws) {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::black);
  const double mid = size.height() / 2.0;
  const double amplitude = size.height() / 2.0 - 6;
  QPainterPath path;
  for (int x = 0; x < size.width(); ++x) {
    const double y = mid - amplitude * std::sin(2 * M_PI * x / size.width());
    if (x == 0) path.moveTo(x, y);
    else path.lineTo(x, y);
  }
  p.setPen(QColor(255, 255, 0));
  p.drawPath(path);
  p.setPen(Qt::white);
  p.drawText(QRect(2, 1, size.width() - 4, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("WS %1").arg(ws));
}

/// One note: an eighth (with its flag), a quarter, a half (hollow head) or a whole (no stem).
void PaintNote(QPainter& p, const QSize& size, int length) {
  // Mapped to the dialog's face, as the 3-D colours of a loaded bitmap are.
  p.fillRect(QRect(QPoint(0, 0), size), QGuiApplication::palette().color(QPalette::Window));
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.4));
  const QRectF head(size.width() / 2.0 - 6, size.height() - 9, 9, 6.5);
  p.setBrush(length <= 1 ? QBrush(Qt::black) : Qt::NoBrush);
  p.save();
  p.translate(head.center());
  p.rotate(-20);
  p.drawEllipse(QRectF(-head.width() / 2, -head.height() / 2, head.width(), head.height()));
  p.restore();
  if (length == 3) return;
  const double stemX = head.right() - 0.5;
  const double top = 3;
  p.drawLine(QPointF(stemX, head.center().y() - 1), QPointF(stemX, top));
  if (length == 0) {
    QPainterPath flag(QPointF(stemX, top));
    flag.cubicTo(QPointF(stemX + 2, top + 5), QPointF(stemX + 7, top + 6), QPointF(stemX + 5, top + 12));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flag);
  }
}

/// The Length group's own picture: a note with an arrow for how long it sounds.
void PaintLengthGroup(QPainter& p, const QSize& size) {
  p.fillRect(QRect(QPoint(0, 0), size), QGuiApplication::palette().color(QPalette::Window));
  PaintNote(p, QSize(size.width() / 2, size.height()), 1);
  p.setPen(QPen(Qt::black, 1.2));
  const double y = size.height() / 2.0;
  const double x0 = size.width() / 2.0 - 1;
  const double x1 = size.width() - 2;
  p.drawLine(QPointF(x0, y), QPointF(x1, y));
  p.drawLine(QPointF(x1, y), QPointF(x1 - 3, y - 3));
  p.drawLine(QPointF(x1, y), QPointF(x1 - 3, y + 3));
}

}  // namespace

void RegisterNoteLengthPictures() {
  ui::PictureStore& store = ui::PictureStore::Instance();
  const QSize size(kNoteLengthPictureWidth, kNoteLengthPictureHeight);
  for (int length = 0; length < 4; ++length) {
    const int id = kNoteLengthPictures[length];
    if (!store.Has(id)) store.Register(id, size, [length](QPainter& p, const QSize& s) { PaintNote(p, s, length); });
  }
  if (!store.Has(kLengthGroupPicture))
    store.Register(kLengthGroupPicture, QSize(2 * kNoteLengthPictureWidth, kNoteLengthPictureHeight),
                   [](QPainter& p, const QSize& s) { PaintLengthGroup(p, s); });
}

void RegisterVoiceEditPictures() {
  ui::PictureStore& store = ui::PictureStore::Instance();
  const QSize size(kAlgPictureWidth, kAlgPictureHeight);
  for (int alg = 0; alg < 8; ++alg) {
    for (int tab = 0; tab < OperatorsOf(alg); ++tab) {
      const int id = AlgPictureId(alg, tab);
      if (!store.Has(id))
        store.Register(id, size, [alg, tab](QPainter& p, const QSize& s) { PaintAlgorithm(p, s, alg, tab); });
    }
  }
  for (int ws = 0; ws < kShapeCount; ++ws) {
    const int id = WaveShapePictureId(ws);
    if (!store.Has(id)) store.Register(id, size, [ws](QPainter& p, const QSize& s) { PaintWaveShape(p, s, ws); });
  }
}

}  // namespace voiceedit
