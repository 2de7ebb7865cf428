// The FM page's algorithm and wave-shape pictures, drawn by the program.
#include "voice/ui/VoiceEditPictures.h"

#include <QPainter>
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

}  // namespace

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
