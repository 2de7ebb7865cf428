#include "uikit/PictureStore.h"

#include <QPainter>

namespace ui {

PictureStore& PictureStore::Instance() {
  static PictureStore store;
  return store;
}

PictureStore::PictureStore() {
  // The busy pictures (converting, importing, exporting, checking, sending) in both colour depths.
  for (int id : {1206, 1207, 1214, 1215, 1216, 1217, 1227, 1228, 2527}) Register(id, QSize(166, 53));
}

void PictureStore::Register(int id, QSize size, Painter paint) { m_entries[id] = Entry{size, std::move(paint)}; }

QSize PictureStore::Size(int id) const {
  auto it = m_entries.find(id);
  return it == m_entries.end() ? QSize() : it->second.size;
}

QPixmap PictureStore::Pixmap(int id) const {
  auto it = m_entries.find(id);
  if (it == m_entries.end()) return QPixmap();
  if (!it->second.paint) return Placeholder(id, it->second.size);
  QPixmap pixmap(it->second.size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  it->second.paint(painter, it->second.size);
  return pixmap;
}

QPixmap PictureStore::Placeholder(int id, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(QColor(236, 236, 228));
  QPainter painter(&pixmap);
  painter.setPen(QColor(96, 96, 128));
  painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
  painter.drawLine(3, size.height() - 4, size.width() - 4, size.height() - 4);
  painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QString::number(id));
  return pixmap;
}

}  // namespace ui
