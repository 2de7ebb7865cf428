// The keyboard picture's geometry and the repeat button's waits.
#include "voice/PianoGeometry.h"

#include <gtest/gtest.h>

namespace {

using voiceedit::PianoGeometry;
using voiceedit::RepeatSchedule;

TEST(PianoGeometry, LastPositionForWidths) {
  struct Row {
    int width, last;
  } rows[] = {{102, 119}, {289, 100}, {300, 99}, {400, 89}, {1275, 0}, {17, 127}, {85, 120}, {2000, 0}, {5, 127}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.width);
    EXPECT_EQ(PianoGeometry::LastPosition(r.width), r.last);
  }
}

TEST(PianoGeometry, NoteUnderAPoint) {
  struct Row {
    int x, y, position, note;
  } rows[] = {{5, 50, 0, 0}, {15, 10, 0, 1}, {25, 10, 0, 2}, {50, 10, 0, 4}, {0, 50, 61, 60}, {0, 10, 61, 61},
              {22, 10, 0, 1}, {23, 10, 0, 2}, {15, 40, 0, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y << "@" << r.position);
    EXPECT_EQ(PianoGeometry::NoteAt(r.x, r.y, r.position), r.note);
  }
  // Past note 127 (G of octave 10) nothing is pressed.
  const int past = PianoGeometry::PixelOf(127) + 17 - PianoGeometry::PixelOf(99);
  EXPECT_EQ(PianoGeometry::NoteAt(past + 2, 50, 99), -1);
}

TEST(PianoGeometry, KeyRects) {
  const auto white = PianoGeometry::KeyRectOf(62, 60);
  EXPECT_EQ(white.x, 17);
  EXPECT_EQ(white.width, 17);
  EXPECT_EQ(white.height, 0);
  const auto black = PianoGeometry::KeyRectOf(61, 60);
  EXPECT_EQ(black.x, 10);
  EXPECT_EQ(black.height, 36);
  EXPECT_TRUE(PianoGeometry::Contains(61, 12, 5, 60, 60));
  EXPECT_FALSE(PianoGeometry::Contains(61, 12, 40, 60, 60));
}

TEST(RepeatSchedule, AcceleratesFrom180To20ThenNoWait) {
  RepeatSchedule accel(true, 200);
  for (int expected : {180, 160, 140, 120, 100, 80, 60, 40, 20, 0, 0}) EXPECT_EQ(accel.NextWait(), expected);
  RepeatSchedule steady(false, 50);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(steady.NextWait(), 50);
}

}  // namespace
