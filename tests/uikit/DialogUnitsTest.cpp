// Tests of dialog units: sizes that follow the font.
#include "uikit/DialogUnits.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

namespace {

TEST(DialogUnits, AreAQuarterOfTheAverageWidthAndAnEighthOfTheHeight) {
  const QFont font("DejaVu Sans", 9);
  const ui::DialogUnits du(font);
  const QFontMetrics fm(font);
  const int average = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
  EXPECT_NEAR(du.BaseX(), average, 1);
  EXPECT_EQ(du.BaseY(), fm.height());
  EXPECT_EQ(du.X(4), du.BaseX());
  EXPECT_EQ(du.Y(8), du.BaseY());
  EXPECT_EQ(du.X(0), 0);
  EXPECT_EQ(du.Size(40, 16), QSize(du.X(40), du.Y(16)));
}

TEST(DialogUnits, GrowWithTheFont) {
  const ui::DialogUnits small(QFont("DejaVu Sans", 8));
  const ui::DialogUnits large(QFont("DejaVu Sans", 16));
  EXPECT_GT(large.X(100), small.X(100));
  EXPECT_GT(large.Y(100), small.Y(100));
}

TEST(DialogUnits, TextOfAWidthInUnitsFitsThatWidth) {
  // Ten average characters need 40 horizontal units: a label of that width holds them.
  QLabel label("abcdefghij");
  const ui::DialogUnits du(&label);
  EXPECT_GE(du.X(40) + du.BaseX(), QFontMetrics(label.font()).horizontalAdvance(label.text()));
}

}  // namespace
