// Tests of the busy picture.
#include "app/ui/BusyBitmapDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTest>

namespace {

TEST(CBusyBitmapDlg, KindsChooseTheirBitmaps) {
  const std::vector<std::pair<int, int>> cases = {{0, 1206}, {1, 1216}, {2, 1214}, {3, 1206}, {4, 1206},
                                                  {5, 2527}, {6, 1228}, {7, 1206}, {-1, 1206}};
  for (const auto& [kind, bitmap] : cases) EXPECT_EQ(CBusyBitmapDlg::BitmapOfKind(kind), bitmap) << kind;
  EXPECT_EQ(CBusyBitmapDlg::BitmapOfKind(0, true), 1207);
  EXPECT_EQ(CBusyBitmapDlg::BitmapOfKind(5, true), 2527);
  EXPECT_FALSE(CBusyBitmapDlg::IsLowColour());
}

TEST(CBusyBitmapDlg, ShownAtOnceCentredOnItsOwnerAtThePicturesSize) {
  QMainWindow owner;
  owner.setGeometry(100, 80, 600, 400);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  for (int kind : {0, 1, 2, 5, 6}) {
    CBusyBitmapDlg busy(kind, &owner);
    EXPECT_TRUE(busy.isVisible());
    EXPECT_EQ(busy.size(), QSize(166, 53));
    EXPECT_EQ(busy.Picture()->pixmap().size(), QSize(166, 53));
    EXPECT_EQ(busy.Bitmap(), CBusyBitmapDlg::BitmapOfKind(kind));
    const QPoint delta = busy.frameGeometry().center() - owner.frameGeometry().center();
    EXPECT_LE(delta.manhattanLength(), 2) << kind;
    EXPECT_EQ(busy.Picture()->objectName(), QStringLiteral("c2546"));
  }
}

TEST(CBusyBitmapDlg, GoneWithTheObject) {
  QPointer<CBusyBitmapDlg> seen;
  {
    BusyPictureToken token(0);
    seen = &token.Dialog();
    EXPECT_TRUE(seen->isVisible());
  }
  EXPECT_TRUE(seen.isNull());
}

}  // namespace

#include "app/core/MainFrameHooks.h"
#include "app/core/TrillotApp.h"

namespace {

TEST(CBusyBitmapDlg, CoreCodeReachesItThroughTheHooks) {
  CTrillotApp app;
  MainFrameHooks hooks(app);
  EXPECT_EQ(hooks.ShowBusyPicture(5), nullptr);  // no window side yet
  hooks.SetBusyPictureFactory([](int kind) { return std::make_unique<BusyPictureToken>(kind); });
  auto token = hooks.ShowBusyPicture(5);
  auto* busy = dynamic_cast<BusyPictureToken*>(token.get());
  ASSERT_NE(busy, nullptr);
  EXPECT_EQ(busy->Dialog().Bitmap(), 2527);
  EXPECT_TRUE(busy->Dialog().isVisible());
}

}  // namespace
