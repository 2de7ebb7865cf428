// Tests of dialogs built from templates and of their data exchange.
#include "uikit/TemplateBuilder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include "app/core/RecordingPresenter.h"
#include "uikit/DataExchange.h"
#include "uikit/UpDownControl.h"

namespace {

const ui::DialogTemplate kTemplate{
    9000,
    "T2013.caption",
    {
        {-1, ui::ControlKind::Label, "fw.notInteger", 0, 0},
        {1001, ui::ControlKind::Edit, nullptr, 0, 1},
        {1002, ui::ControlKind::Check, nullptr, 1, 0},
        {1003, ui::ControlKind::Combo, nullptr, 1, 1},
        {1004, ui::ControlKind::Slider, nullptr, 2, 0},
        {1005, ui::ControlKind::UpDown, nullptr, 2, 1},
        {1888, ui::ControlKind::Edit, nullptr, 3, 0, true},
        {1885, ui::ControlKind::Check, nullptr, 3, 1, true},
    }};

struct DialogFixture : ::testing::Test {
  QDialog dialog;
  std::map<int, QWidget*> controls = ui::TemplateBuilder::Build(&dialog, kTemplate);
  RecordingPresenter presenter;
};

TEST_F(DialogFixture, EveryControlIsNamedByIdAndFoundAsItsType) {
  EXPECT_EQ(controls.size(), 7u);
  for (const auto& [id, w] : controls) EXPECT_EQ(w->objectName(), QStringLiteral("c%1").arg(id));
  EXPECT_NE(ui::item<QLineEdit>(&dialog, 1001), nullptr);
  EXPECT_NE(ui::item<QCheckBox>(&dialog, 1002), nullptr);
  EXPECT_NE(ui::item<QComboBox>(&dialog, 1003), nullptr);
  EXPECT_NE(ui::item<QSlider>(&dialog, 1004), nullptr);
  EXPECT_NE(ui::item<ui::UpDownControl>(&dialog, 1005), nullptr);
  EXPECT_EQ(ui::item<QCheckBox>(&dialog, 1001), nullptr);  // the wrong type
  EXPECT_EQ(ui::item<QWidget>(&dialog, 4242), nullptr);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Please wait"));
}

TEST_F(DialogFixture, HiddenControlsAreCreatedHiddenAndStayReadable) {
  dialog.show();
  EXPECT_TRUE(ui::item<QLineEdit>(&dialog, 1888)->isHidden());
  EXPECT_TRUE(ui::item<QCheckBox>(&dialog, 1885)->isHidden());
  EXPECT_TRUE(ui::item<QLineEdit>(&dialog, 1001)->isVisible());
  ui::item<QLineEdit>(&dialog, 1888)->setText("7");
  int v = 0;
  ui::DataExchange dx(&dialog, ui::DataExchange::Direction::FromControls, presenter);
  EXPECT_TRUE(dx.IntValue(1888, v));
  EXPECT_EQ(v, 7);
}

TEST_F(DialogFixture, RangeFailureShowsTheRangeTextSelectsTheControlAndRefuses) {
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  auto* edit = ui::item<QLineEdit>(&dialog, 1001);
  edit->setText("1000");
  int v = 0;
  ui::DataExchange dx(&dialog, ui::DataExchange::Direction::FromControls, presenter);
  EXPECT_TRUE(dx.IntValue(1001, v));
  EXPECT_FALSE(dx.MinMaxInt(1001, v, 1, 999));
  EXPECT_FALSE(dx.Ok());
  ASSERT_EQ(presenter.boxes.size(), 1u);
  EXPECT_EQ(presenter.boxes[0].text, "Enter an integer between 1 and 999.");
  EXPECT_EQ(edit->selectedText(), QStringLiteral("1000"));
  EXPECT_TRUE(edit->hasFocus());
  int later = 5;
  EXPECT_FALSE(dx.Check(1002, later));  // nothing after a failure
  EXPECT_EQ(later, 5);
}

TEST_F(DialogFixture, TextInAnIntegerFieldShowsTheNotANumberText) {
  ui::item<QLineEdit>(&dialog, 1001)->setText("12a");
  int v = 3;
  ui::DataExchange dx(&dialog, ui::DataExchange::Direction::FromControls, presenter);
  EXPECT_FALSE(dx.IntValue(1001, v));
  EXPECT_EQ(v, 3);
  ASSERT_EQ(presenter.boxes.size(), 1u);
  EXPECT_EQ(presenter.boxes[0].text, "Enter an integer.");
}

TEST_F(DialogFixture, ValuesGoBothWays) {
  int number = 42, check = 1, slider = 17, combo = 1;
  ui::item<QComboBox>(&dialog, 1003)->addItems({"a", "b"});
  {
    ui::DataExchange dx(&dialog, ui::DataExchange::Direction::ToControls, presenter);
    dx.IntValue(1001, number);
    dx.Check(1002, check);
    dx.Slider(1004, slider);
    dx.ComboIndex(1003, combo);
    EXPECT_TRUE(dx.MinMaxInt(1001, 5000, 0, 1));  // not checked while loading
  }
  number = check = slider = combo = 0;
  ui::DataExchange dx(&dialog, ui::DataExchange::Direction::FromControls, presenter);
  EXPECT_TRUE(dx.IntValue(1001, number) && dx.Check(1002, check) && dx.Slider(1004, slider) && dx.ComboIndex(1003, combo));
  EXPECT_TRUE(dx.MinMaxInt(1001, number, 0, 100));
  EXPECT_EQ(number, 42);
  EXPECT_EQ(check, 1);
  EXPECT_EQ(slider, 17);
  EXPECT_EQ(combo, 1);
  EXPECT_TRUE(presenter.boxes.empty());
}

// A group box spanning rows frames the controls of the cells it covers; an up-down sits on the
// right edge of the edit before it.
const ui::DialogTemplate kGrouped{
    9001,
    nullptr,
    {
        {-1, ui::ControlKind::Label, "fw.notInteger", 0, 0},
        {2000, ui::ControlKind::Group, "T2013.caption", 1, 0, false, 3, 3},
        {2001, ui::ControlKind::Label, "fw.notInteger", 2, 0},
        {2002, ui::ControlKind::Edit, nullptr, 2, 1},
        {2003, ui::ControlKind::UpDown, nullptr, 2, 2},
        {2004, ui::ControlKind::Check, "fw.notInteger", 3, 0},
        {2005, ui::ControlKind::Button, "fw.notInteger", 4, 0},
    }};

TEST(TemplateBuilder, GroupBoxFramesTheControlsOfItsCells) {
  QDialog dialog;
  ui::TemplateBuilder::Build(&dialog, kGrouped);
  dialog.show();
  auto* group = ui::item<QGroupBox>(&dialog, 2000);
  ASSERT_NE(group, nullptr);
  for (int id : {2001, 2002, 2003, 2004}) {
    QWidget* w = ui::item<QWidget>(&dialog, id);
    ASSERT_NE(w, nullptr) << id;
    EXPECT_TRUE(group->isAncestorOf(w)) << id;
    const QRect inGroup(w->mapTo(group, QPoint(0, 0)), w->size());
    EXPECT_TRUE(group->contentsRect().contains(inGroup)) << id;
  }
  auto* outside = ui::item<QWidget>(&dialog, 2005);
  EXPECT_FALSE(group->isAncestorOf(outside));
  EXPECT_GE(outside->y(), group->geometry().bottom());
}

TEST(TemplateBuilder, UpDownSitsOnTheEdgeOfItsEdit) {
  QDialog dialog;
  ui::TemplateBuilder::Build(&dialog, kGrouped);
  dialog.show();
  auto* edit = ui::item<QWidget>(&dialog, 2002);
  auto* spin = ui::item<QWidget>(&dialog, 2003);
  const QPoint editRight = edit->mapTo(&dialog, QPoint(edit->width(), 0));
  const QPoint spinLeft = spin->mapTo(&dialog, QPoint(0, 0));
  EXPECT_EQ(spinLeft.x(), editRight.x());
  EXPECT_EQ(spinLeft.y(), editRight.y());
  EXPECT_EQ(spin->height(), edit->height());
}

}  // namespace
