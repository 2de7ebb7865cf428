// Tests of the column combo box, its edit part and the drop guard.
#include "uikit/OwnerDrawCombo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "uikit/DropAcceptGuard.h"

namespace {

TEST(COwnerDrawCombo, EditPartShowsTheSecondKeyAndReadsBackTheFirst) {
  COwnerDrawCombo combo(nullptr, COwnerDrawCombo::Style::DropDown);
  combo.SetColumns(2, 0, 1);
  combo.AddRow({"1", "name A"});
  combo.AddRow({"2", "name B"});
  COwnerDrawComboEx* edit = combo.EditPart();
  ASSERT_NE(edit, nullptr);
  edit->SetWindowText("2");
  EXPECT_EQ(edit->text(), QStringLiteral("name B"));
  bool found = false;
  EXPECT_EQ(edit->GetWindowText(&found), QStringLiteral("2"));
  EXPECT_TRUE(found);
  EXPECT_EQ(edit->GetWindowTextLength(), 8);
  edit->SetWindowText("7");
  EXPECT_EQ(edit->text(), QString());
  combo.setCurrentIndex(0);
  EXPECT_EQ(edit->text(), QStringLiteral("name A"));
}

TEST(COwnerDrawCombo, KeyLookupsBothWays) {
  COwnerDrawCombo combo;
  EXPECT_EQ(combo.OnSelectByKey1("1"), std::nullopt);  // no columns yet
  combo.SetColumns(3, 0, 2);
  EXPECT_EQ(combo.OnSelectByKey1("1"), std::nullopt);  // empty
  combo.AddRow({"10", "x", "Piano"});
  combo.AddRow({"11", "y", "Organ"});
  combo.AddRow({"12", "z", "Organ"});
  EXPECT_EQ(combo.OnSelectByKey1("11"), QStringLiteral("Organ"));
  EXPECT_EQ(combo.OnSelectByKey1("organ"), std::nullopt);  // exact
  EXPECT_EQ(combo.OnSelectByKey2("Organ"), QStringLiteral("11"));  // the first match
  EXPECT_EQ(combo.OnSelectByKey2("Organ", 2), QStringLiteral("1"));  // cut to the buffer
  EXPECT_EQ(combo.OnSelectByKey2("Bass"), std::nullopt);
}

TEST(COwnerDrawCombo, TotalWidthSkipsHiddenColumns) {
  COwnerDrawCombo combo;
  combo.SetColumns(3, 0, 1);
  EXPECT_EQ(combo.SetColumnWidths({30, 100, 0}), 138);
  EXPECT_EQ(combo.DroppedWidth(), 138);
  COwnerDrawCombo simple(nullptr, COwnerDrawCombo::Style::Simple);
  simple.SetColumns(2, 0, 1);
  EXPECT_EQ(simple.SetColumnWidths({40, 0}), 47);
  EXPECT_EQ(simple.width(), 47);
}

TEST(COwnerDrawCombo, SortedComboKeepsEveryColumnAligned) {
  COwnerDrawCombo combo(nullptr, COwnerDrawCombo::Style::DropDownList, true);
  combo.SetColumns(2, 1, 0);  // sorted by the second column's text
  EXPECT_EQ(combo.AddRow({"3", "cello"}), 0);
  EXPECT_EQ(combo.AddRow({"1", "alto"}), 0);
  EXPECT_EQ(combo.AddRow({"4", "drum"}), 2);
  EXPECT_EQ(combo.AddRow({"2", "bass"}), 1);
  const std::vector<std::pair<QString, QString>> expected = {{"1", "alto"}, {"2", "bass"}, {"3", "cello"}, {"4", "drum"}};
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(combo.itemText(row), expected[static_cast<size_t>(row)].second);
    EXPECT_EQ(combo.GetText(row, 0), expected[static_cast<size_t>(row)].first);
    EXPECT_EQ(combo.GetText(row, 1), expected[static_cast<size_t>(row)].second);
  }
  EXPECT_EQ(combo.GetText(4, 0), std::nullopt);
  EXPECT_EQ(combo.GetText(0, 2), std::nullopt);
  EXPECT_EQ(combo.currentIndex(), -1);
  EXPECT_EQ(combo.GetSelectedText(0), std::nullopt);
  combo.setCurrentIndex(2);
  EXPECT_EQ(combo.GetSelectedText(0), QStringLiteral("3"));
  combo.ResetContent();
  EXPECT_EQ(combo.count(), 0);
  EXPECT_EQ(combo.GetText(0, 0), std::nullopt);
}

TEST(COwnerDrawCombo, HighlightedRowIsTheHighlightColourAndOthersGetASeparator) {
  COwnerDrawCombo combo;
  combo.SetColumns(2, 0, 1);
  combo.SetColumnWidths({30, 100});
  combo.AddRow({"1", "name A"});
  EXPECT_GT(combo.MeasureItem(), 0);
  QImage img(200, 20, QImage::Format_RGB32);
  img.fill(Qt::black);
  {
    QPainter p(&img);
    combo.DrawItem(p, QRect(0, 0, 200, 20), 0, true, false);
  }
  EXPECT_EQ(img.pixel(190, 10), combo.palette().color(QPalette::Highlight).rgb());
  img.fill(Qt::black);
  {
    QPainter p(&img);
    combo.DrawItem(p, QRect(0, 0, 200, 20), 0, false, false);
  }
  EXPECT_EQ(img.pixel(190, 10), combo.palette().color(QPalette::Base).rgb());
  EXPECT_EQ(img.pixel(100, 19), combo.palette().color(QPalette::Midlight).rgb());  // the bottom separator
  EXPECT_EQ(img.pixel(32, 5), combo.palette().color(QPalette::Midlight).rgb());    // before column 2
}

TEST(CDropAcceptGuard, SwitchesDroppingOffForItsLifeAndBackOn) {
  QWidget w;
  w.setAcceptDrops(true);
  {
    CDropAcceptGuard guard(&w);
    EXPECT_TRUE(guard.IsArmed());
    EXPECT_FALSE(w.acceptDrops());
  }
  EXPECT_TRUE(w.acceptDrops());
}

TEST(CDropAcceptGuard, WindowWithoutDropsIsLeftAsItIs) {
  QWidget w;
  {
    CDropAcceptGuard guard(&w);
    EXPECT_FALSE(guard.IsArmed());
    w.setAcceptDrops(true);  // switched on by someone else meanwhile: the guard does not touch it
  }
  EXPECT_TRUE(w.acceptDrops());
  CDropAcceptGuard none(nullptr);
  EXPECT_FALSE(none.IsArmed());
}

TEST(CDropAcceptGuard, WindowDestroyedWhileGuardedIsNotTouched) {
  auto* w = new QWidget;
  w->setAcceptDrops(true);
  CDropAcceptGuard guard(w);
  delete w;
  SUCCEED();  // the guard's end must not reach the deleted window (ASan would say)
}

}  // namespace
