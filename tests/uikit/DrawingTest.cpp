// Tests of colour values, system colours and the picture store.
#include "uikit/Drawing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "uikit/PictureStore.h"

namespace {

TEST(Drawing, ColourValuesHaveRedInTheLowByte) {
  EXPECT_EQ(ui::FromColorRef(0xFF8000), QColor(0, 128, 255));
  EXPECT_EQ(ui::FromColorRef(0xE1E1FF), QColor(255, 225, 225));
  EXPECT_EQ(ui::ToColorRef(QColor(192, 0, 0)), 0x0000C0u);
}

TEST(Drawing, SystemColoursAreThePalettesRoles) {
  const QPalette pal = QApplication::palette();
  EXPECT_EQ(ui::SysColor(ui::kColorHighlight, pal), pal.color(QPalette::Highlight));
  EXPECT_EQ(ui::SysColor(ui::kColorBtnFace, pal), pal.color(QPalette::Button));
  EXPECT_EQ(ui::SysColor(ui::kColorWindow, pal), pal.color(QPalette::Base));
  EXPECT_GT(ui::SystemMetric(ui::kMetricCxVScroll), 0);
}

bool Uniform(const QImage& img) {
  const QRgb first = img.pixel(0, 0);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != first) return false;
  return true;
}

TEST(PictureStore, BusyPicturesArePlaceholdersOfTheirSize) {
  for (int id : {1206, 1214, 1216, 1228, 2527}) {
    const QPixmap p = ui::PictureStore::Instance().Pixmap(id);
    EXPECT_EQ(p.size(), QSize(166, 53)) << id;
    EXPECT_FALSE(Uniform(p.toImage())) << id;
  }
  EXPECT_TRUE(ui::PictureStore::Instance().Pixmap(999999).isNull());
}

TEST(PictureStore, RegisteredPainterDrawsThePicture) {
  ui::PictureStore::Instance().Register(990001, QSize(16, 16), [](QPainter& p, const QSize&) {
    p.fillRect(0, 0, 8, 16, ui::FromColorRef(0x0000FF));
  });
  const QImage img = ui::PictureStore::Instance().Pixmap(990001).toImage();
  EXPECT_EQ(img.pixelColor(2, 2), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(12, 2), QColor(Qt::white));
}

}  // namespace
