// The program's pictures: drawn where their geometry is known, else a labelled placeholder of
// the stated size. Window code registers its own pictures.
#pragma once

#include <QPixmap>
#include <QSize>
#include <functional>
#include <map>

class QPainter;

namespace ui {

class PictureStore {
 public:
  using Painter = std::function<void(QPainter&, const QSize&)>;

  /// The store of the process, with the pictures this layer knows.
  static PictureStore& Instance();

  /// A picture of `size`: drawn by `paint`, or a labelled placeholder when there is none.
  void Register(int id, QSize size, Painter paint = {});
  bool Has(int id) const { return m_entries.count(id) != 0; }
  QSize Size(int id) const;
  /// The picture; a null pixmap for an id nobody registered.
  QPixmap Pixmap(int id) const;

  /// A light placeholder with a frame and the picture's id, so that it is never uniform.
  static QPixmap Placeholder(int id, QSize size);

 private:
  PictureStore();
  struct Entry {
    QSize size;
    Painter paint;
  };
  std::map<int, Entry> m_entries;
};

}  // namespace ui
