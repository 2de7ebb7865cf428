// Tests that the notification rules fire as the handlers expect.
#include "uikit/Notify.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "uikit/UpDownControl.h"

namespace {

TEST(Notify, SetTextFiresTheEditChangeHandler) {
  QLineEdit edit;
  int changes = 0;
  ui::OnEditChange(&edit, [&] { ++changes; });
  edit.setText("12");
  EXPECT_EQ(changes, 1);
}

TEST(Notify, ProgrammaticSelectionDoesNotFireSelChangeButTheUsersDoes) {
  QComboBox combo;
  combo.addItems({"a", "b", "c"});
  int changes = 0;
  ui::OnSelChange(&combo, [&] { ++changes; });
  combo.setCurrentIndex(2);
  EXPECT_EQ(changes, 0);
  combo.show();
  combo.setFocus();
  QTest::keyClick(&combo, Qt::Key_Up);
  EXPECT_EQ(combo.currentIndex(), 1);
  EXPECT_EQ(changes, 1);
}

TEST(Notify, ClickedFiresOnClickNotOnProgrammaticToggle) {
  QPushButton button;
  button.setCheckable(true);
  int clicks = 0;
  ui::OnClicked(&button, [&] { ++clicks; });
  button.setChecked(true);
  EXPECT_EQ(clicks, 0);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST(UpDownControl, VetoedStepLeavesThePosition) {
  ui::UpDownControl spin;
  spin.setRange(0, 10);
  spin.setValue(5);
  std::vector<std::pair<int, int>> asked;
  bool refuse = true;
  spin.SetDeltaPos([&](int pos, int delta, bool& r) {
    asked.emplace_back(pos, delta);
    r = refuse;
  });
  spin.stepBy(1);
  EXPECT_EQ(spin.value(), 5);
  refuse = false;
  spin.stepBy(-1);
  EXPECT_EQ(spin.value(), 4);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{5, 1}, {5, -1}}));
}

}  // namespace
