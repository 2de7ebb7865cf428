// The keyboard picture and the repeat button: drawing, presses, scrolling and steps.
#include "voice/ui/PianoImageCtrl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "voice/PianoGeometry.h"
#include "voice/ui/RepeatButton.h"

namespace {

using voiceedit::PianoGeometry;

QImage Render(CPianoImageCtrl& keyboard) {
  QImage image(keyboard.size(), QImage::Format_RGB32);
  keyboard.render(&image);
  return image;
}

struct Keyboard {
  Keyboard(int width = 300) {
    ctrl.resize(width, 61);
    ctrl.SetKeyDownHandler([this](int n) { down.push_back(n); });
    ctrl.SetKeyUpHandler([this](int n) { up.push_back(n); });
  }
  void Click(int x, int y) {
    QTest::mousePress(&ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QTest::mouseRelease(&ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
  }
  CPianoImageCtrl ctrl;
  std::vector<int> down;
  std::vector<int> up;
};

TEST(CPianoImageCtrl, BackgroundRightOfNote127AtTheLastPosition) {
  Keyboard k(300);
  Render(k.ctrl);
  EXPECT_EQ(k.ctrl.GetLastPosition(), 99);
  k.ctrl.SetPosition(99);
  const QImage image = Render(k.ctrl);
  const int end = PianoGeometry::PixelOf(127) + PianoGeometry::kWhiteWidth - PianoGeometry::PixelOf(99);
  for (int x = end; x < 300; ++x) EXPECT_EQ(image.pixelColor(x, 50), QColor(220, 220, 220)) << x;
  EXPECT_NE(image.pixelColor(end - 5, 50), QColor(220, 220, 220));
}

TEST(CPianoImageCtrl, PressedKeyIsDrawnAndReported) {
  Keyboard k(300);
  QTest::mousePress(&k.ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(25, 50));
  EXPECT_EQ(k.down, std::vector<int>{2});
  EXPECT_EQ(Render(k.ctrl).pixelColor(25, 50), QColor(0, 128, 255));
  QTest::mouseRelease(&k.ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(25, 50));
  EXPECT_EQ(k.up, std::vector<int>{2});
  EXPECT_EQ(Render(k.ctrl).pixelColor(25, 50), QColor(Qt::white));
}

TEST(CPianoImageCtrl, PressesAtPositions) {
  Keyboard k(300);
  for (auto [x, y, note] : {std::tuple{5, 50, 0}, {15, 10, 1}, {25, 10, 2}, {50, 10, 4}}) k.Click(x, y);
  k.ctrl.SetPosition(61);
  k.Click(1, 50);
  k.Click(1, 10);
  EXPECT_EQ(k.down, (std::vector<int>{0, 1, 2, 4, 60, 61}));
}

TEST(CPianoImageCtrl, MarkedKeyTakesOnlyItsOwnPresses) {
  Keyboard k(300);
  k.ctrl.SetMarkedKey(40, 1);
  EXPECT_TRUE(k.ctrl.LeftButton()->isHidden());
  Render(k.ctrl);
  EXPECT_EQ(k.ctrl.GetPosition(), 28);
  const auto key = PianoGeometry::KeyRectOf(40, 28);
  k.Click(key.x + 30, 50);
  EXPECT_TRUE(k.down.empty());
  k.Click(key.x + 3, 50);
  EXPECT_EQ(k.down, std::vector<int>{40});
  EXPECT_EQ(k.up, std::vector<int>{40});
  k.ctrl.SetMarkedKey(0, 0);
  EXPECT_FALSE(k.ctrl.LeftButton()->isHidden());
}

TEST(CPianoImageCtrl, DisabledIgnoresPresses) {
  Keyboard k(300);
  k.ctrl.SetDisabled(1);
  k.Click(5, 50);
  EXPECT_TRUE(k.down.empty());
}

TEST(CPianoImageCtrl, ScrollButtonsStopAtTheEnds) {
  Keyboard k(300);
  Render(k.ctrl);
  k.ctrl.OnScrollStep(0);
  EXPECT_EQ(k.ctrl.GetPosition(), 0);
  k.ctrl.OnScrollStep(1);
  EXPECT_EQ(k.ctrl.GetPosition(), 1);
  k.ctrl.SetPosition(99);
  k.ctrl.OnScrollStep(1);
  EXPECT_EQ(k.ctrl.GetPosition(), 99);
  EXPECT_EQ(k.ctrl.RightButton()->GetInterval(), 50);
  EXPECT_FALSE(k.ctrl.RightButton()->IsAccelerating());
}

TEST(CRepeatButton, HeldButtonWaitsFasterAndFasterThenStepsAtOnce) {
  CRepeatButton button(1541, "<");
  std::vector<int> steps;
  button.SetStepHandler([&](int id) { steps.push_back(id); });
  button.resize(20, 20);
  QTest::mousePress(&button, Qt::LeftButton);
  std::vector<int> waits = {button.PendingWait()};
  for (int i = 0; i < 10; ++i) {
    button.OnRepeatTimer();
    waits.push_back(button.PendingWait());
  }
  EXPECT_EQ(waits, (std::vector<int>{180, 160, 140, 120, 100, 80, 60, 40, 20, 0, 0}));
  EXPECT_EQ(steps.size(), 10u);
  EXPECT_EQ(steps.front(), 1541);
  QTest::mouseRelease(&button, Qt::LeftButton);
  EXPECT_EQ(button.PendingWait(), -1);
}

TEST(CRepeatButton, SteadyIntervalAndSpace) {
  CRepeatButton button(7, ">");
  int steps = 0;
  button.SetStepHandler([&](int) { ++steps; });
  EXPECT_EQ(button.SetRepeat(0, 50), 1);
  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_EQ(button.PendingWait(), 50);
  button.OnRepeatTimer();
  EXPECT_EQ(button.PendingWait(), 50);
  QTest::mouseRelease(&button, Qt::LeftButton);
  steps = 0;
  QTest::keyPress(&button, Qt::Key_Space);
  EXPECT_EQ(steps, 1);
  QTest::keyRelease(&button, Qt::Key_Space);
  EXPECT_EQ(steps, 1);
}

}  // namespace
