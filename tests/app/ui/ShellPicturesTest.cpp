// Tests of the shell's own pictures: toolbar buttons and busy pictures.
#include "app/ui/ShellPictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <set>

#include "app/core/MainFrameTables.h"
#include "uikit/PictureStore.h"

namespace {

QImage Button(int command) {
  QImage image(16, 15, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  shellpictures::PaintToolbarButton(p, 0, command);
  return image;
}

int InkedPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != image.pixel(0, 0);
  return n;
}

TEST(ShellPictures, EveryToolbarButtonHasAMarkOfItsOwn) {
  std::set<int> commands;
  for (int profile = 0; profile <= 8; ++profile)
    for (int id : mainframe::ToolbarFor(profile).buttons)
      if (id != 0) commands.insert(id);
  ASSERT_GE(commands.size(), 16u);
  std::vector<std::pair<int, QImage>> seen;
  for (int id : commands) {
    const QImage image = Button(id);
    // A mark, not an empty tile and not a filled square.
    const int inked = InkedPixels(image);
    EXPECT_GT(inked, 12) << id;
    EXPECT_LT(inked, 16 * 15 - 20) << id;
    for (const auto& [other, picture] : seen) EXPECT_NE(image, picture) << id << " looks like " << other;
    seen.emplace_back(id, image);
  }
}

TEST(ShellPictures, BusyPicturesAreDrawnAtTheirSizeAndDifferByKind) {
  shellpictures::RegisterBusyPictures();
  auto& store = ui::PictureStore::Instance();
  std::vector<std::pair<int, QImage>> seen;
  for (int id : {1206, 1216, 1214, 2527, 1228}) {
    const QImage image = store.Pixmap(id).toImage();
    ASSERT_EQ(image.size(), QSize(166, 53)) << id;
    EXPECT_NE(image, ui::PictureStore::Placeholder(id, QSize(166, 53)).toImage()) << id;
    EXPECT_GT(InkedPixels(image), 300) << id;
    for (const auto& [other, picture] : seen) EXPECT_NE(image, picture) << id << " looks like " << other;
    seen.emplace_back(id, image);
  }
  // The few-colour variants show the same work.
  for (int id : {1207, 1217, 1215, 1227}) EXPECT_EQ(store.Size(id), QSize(166, 53)) << id;
}

}  // namespace
