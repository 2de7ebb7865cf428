#include "app/ui/ShellPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include "uikit/PictureStore.h"

namespace shellpictures {

namespace {

const QColor kInk(32, 32, 32);
const QColor kPaper(255, 255, 255);
const QColor kFolder(230, 190, 60);
const QColor kBlue(40, 80, 180);
const QColor kGreen(0, 140, 0);
const QColor kRed(190, 30, 30);

// Each mark is drawn in a 16 x 15 cell whose left edge the painter has been moved to.

void Page(QPainter& p, int x, int y, int w, int h) {
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawRect(x, y, w, h);
  for (int line = y + 3; line < y + h - 1; line += 2) p.drawLine(x + 2, line, x + w - 2, line);
}

void Note(QPainter& p, int x, int y) {
  p.setPen(kInk);
  p.setBrush(kInk);
  p.drawEllipse(x, y + 7, 4, 3);
  p.drawLine(x + 4, y + 8, x + 4, y);
  p.drawLine(x + 4, y, x + 7, y + 2);
}

/// An arrow along a row, pointing right (or left) from x1 to x2.
void Arrow(QPainter& p, int x1, int x2, int y, const QColor& colour) {
  p.setPen(QPen(colour, 2));
  p.drawLine(x1, y, x2, y);
  const int d = x2 > x1 ? -3 : 3;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygon({QPoint(x2 + (x2 > x1 ? 2 : -2), y), QPoint(x2 + d, y - 3), QPoint(x2 + d, y + 3)}));
}

void Folder(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kFolder);
  p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(13, 5), QPoint(13, 13), QPoint(1, 13)}));
  p.setBrush(kFolder.lighter(125));
  p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
}

void Disk(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kBlue);
  p.drawRect(1, 1, 13, 13);
  p.setBrush(kPaper);
  p.drawRect(4, 1, 7, 5);
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(4, 9, 7, 5);
}

void Grid(QPainter& p, bool mark) {
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawRect(1, 2, 11, 11);
  for (int k = 1; k < 3; ++k) {
    p.drawLine(1 + 4 * k - 1, 2, 1 + 4 * k - 1, 13);
    p.drawLine(1, 2 + 4 * k - 1, 12, 2 + 4 * k - 1);
  }
  if (mark) p.fillRect(5, 6, 3, 3, kBlue);
}

void Wave(QPainter& p, int x, int y, int w) {
  QPainterPath path;
  path.moveTo(x, y);
  for (int k = 0; k <= w; ++k) path.lineTo(x + k, y + ((k % 4) < 2 ? -3 : 3) * ((k / 4) % 2 ? 1 : -1) * (k % 2 ? 1 : 0));
  p.setPen(QPen(kBlue, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

void WaveFrame(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawRect(1, 2, 11, 11);
  Wave(p, 2, 7, 9);
}

void List(QPainter& p) {
  Page(p, 2, 1, 10, 13);
  p.fillRect(3, 2, 9, 2, kBlue);
}

void Circled(QPainter& p, const QColor& fill, const QString& letter) {
  p.setPen(kInk);
  p.setBrush(fill);
  p.drawEllipse(1, 0, 13, 13);
  QFont f = p.font();
  f.setPixelSize(11);
  f.setBold(true);
  p.setFont(f);
  p.setPen(kPaper);
  p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, letter);
}

void Mixer(QPainter& p) {
  p.setPen(kInk);
  for (int k = 0; k < 3; ++k) {
    const int x = 3 + 4 * k;
    p.drawLine(x, 1, x, 13);
    p.fillRect(x - 2, 3 + 3 * k, 5, 3, k == 1 ? kRed : kBlue);
  }
}

void Mark(QPainter& p, int command) {
  switch (command) {
    case 57601: Folder(p); break;                                             // Open
    case 32772: Note(p, 8, 2); Arrow(p, 0, 5, 7, kGreen); break;             // Import from SMF
    case 32775:                                                               // Reload from SMF
      Note(p, 8, 2);
      p.setPen(QPen(kGreen, 2));
      p.setBrush(Qt::NoBrush);
      p.drawArc(0, 3, 8, 8, 30 * 16, 300 * 16);
      break;
    case 57603: Disk(p); break;                                               // Save
    case 57634: Page(p, 1, 1, 8, 10); Page(p, 6, 4, 8, 10); break;          // Copy
    case 57637:                                                               // Paste
      p.setPen(kInk);
      p.setBrush(kFolder.darker(130));
      p.drawRect(1, 2, 10, 12);
      p.fillRect(4, 1, 5, 3, kInk);
      Page(p, 6, 5, 8, 9);
      break;
    case 32800: List(p); Note(p, 8, 4); break;                               // Voice List
    case 32797: Mixer(p); break;                                              // Mixer
    case 32804: Circled(p, kBlue, QStringLiteral("i")); break;               // Information
    case 57664: Circled(p, kGreen, QStringLiteral("?")); break;              // About
    case 32798: Grid(p, true); break;                                         // Voice Assign Map
    case 40974: Grid(p, true); Arrow(p, 8, 13, 12, kRed); break;             // Send Assigned Voice Message
    case 32796: WaveFrame(p); break;                                          // Stream PCM Assign Map
    case 40975: WaveFrame(p); Arrow(p, 8, 13, 12, kRed); break;              // Send Stream PCM Wave Message
    case 40983: List(p); Arrow(p, 15, 7, 11, kGreen); break;                 // Import from Voice List
    case 40984: List(p); Arrow(p, 7, 13, 11, kRed); break;                   // Export to Voice List
    default: Page(p, 3, 1, 9, 13); break;
  }
}

// The busy pictures: a framed panel with a sign of the work and its name.
struct Busy {
  int id;
  const char* text;
  int sign;  // 0 converting, 1 importing, 2 exporting, 3 checking, 4 sending
  bool lowColour;
};

void BusySign(QPainter& p, int sign, const QColor& accent) {
  p.setPen(QPen(accent, 3));
  p.setBrush(Qt::NoBrush);
  const QRect box(10, 10, 32, 32);
  switch (sign) {
    case 0:
      p.drawArc(box, 20 * 16, 140 * 16);
      p.drawArc(box, 200 * 16, 140 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(accent);
      p.drawPolygon(QPolygon({QPoint(40, 16), QPoint(44, 25), QPoint(34, 23)}));
      p.drawPolygon(QPolygon({QPoint(12, 36), QPoint(8, 27), QPoint(18, 29)}));
      break;
    case 1:
    case 2:
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(Qt::white);
      p.drawRect(sign == 1 ? 24 : 8, 10, 20, 30);
      Arrow(p, sign == 1 ? 6 : 24, sign == 1 ? 20 : 42, 26, accent);
      break;
    case 3:
      p.drawEllipse(12, 10, 20, 20);
      p.drawLine(29, 28, 40, 40);
      break;
    default:
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(QColor(60, 60, 60));
      p.drawRect(28, 14, 16, 22);
      for (int k = 0; k < 4; ++k) p.drawLine(44, 17 + 5 * k, 47, 17 + 5 * k);
      Arrow(p, 6, 22, 25, accent);
      break;
  }
}

void PaintBusy(QPainter& p, const QSize& s, const Busy& b) {
  const QColor face = b.lowColour ? QColor(192, 192, 192) : QColor(236, 240, 248);
  const QColor accent = b.lowColour ? QColor(0, 0, 128) : QColor(40, 90, 190);
  p.fillRect(QRect(QPoint(0, 0), s), face);
  p.setPen(QColor(128, 128, 128));
  p.drawRect(0, 0, s.width() - 1, s.height() - 1);
  p.setRenderHint(QPainter::Antialiasing, !b.lowColour);
  BusySign(p, b.sign, accent);
  QFont f = p.font();
  f.setPixelSize(15);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::black);
  p.drawText(QRect(54, 0, s.width() - 58, s.height()), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(b.text));
}

}  // namespace

void PaintToolbarButton(QPainter& p, int left, int command) {
  p.save();
  p.translate(left, 0);
  Mark(p, command);
  p.restore();
}

void RegisterBusyPictures() {
  static const Busy kBusy[] = {
      {1206, "Converting...", 0, false}, {1207, "Converting...", 0, true}, {1216, "Importing...", 1, false},
      {1217, "Importing...", 1, true},   {1214, "Exporting...", 2, false}, {1215, "Exporting...", 2, true},
      {2527, "Checking...", 3, false},   {1228, "Sending...", 4, false},   {1227, "Sending...", 4, true},
  };
  auto& store = ui::PictureStore::Instance();
  for (const Busy& b : kBusy) {
    store.Register(b.id, QSize(166, 53), [b](QPainter& p, const QSize& s) { PaintBusy(p, s, b); });
  }
}

}  // namespace shellpictures
