// Tests of the signed-value edit and the rate edit.
#include "app/ui/ValueEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "app/ui/RateEdit.h"
#include "platform/host/testing/FakeHost.h"

namespace {

struct ValueEditFixture : ::testing::Test {
  platform::FakeHost host;
  QWidget parent;
  CValueEdit* edit = new CValueEdit(&parent);
  CRateEdit* rate = new CRateEdit(&parent);
  QLineEdit* other = new QLineEdit(&parent);
  ValueEditFixture() {
    rate->move(0, 30);
    other->move(0, 60);
    parent.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    parent.activateWindow();
    edit->setFocus();
  }
  QString Typed(const char* keys) {
    edit->clear();
    QTest::keyClicks(edit, keys);
    return edit->text();
  }
};

TEST_F(ValueEditFixture, SignedRangeTypingTable) {
  EXPECT_EQ(Typed("-"), QStringLiteral("-"));
  EXPECT_EQ(Typed("-5"), QStringLiteral("-5"));
  EXPECT_EQ(host.messages.beeps, 0);
  EXPECT_EQ(Typed("5-"), QStringLiteral("5"));
  EXPECT_EQ(Typed("00"), QStringLiteral("0"));
  EXPECT_EQ(Typed("-0"), QStringLiteral("-"));
  EXPECT_EQ(Typed("101"), QStringLiteral("10"));
  EXPECT_EQ(Typed("5."), QStringLiteral("5"));
  EXPECT_EQ(host.messages.beeps, 5);
  EXPECT_EQ(Typed("7x"), QStringLiteral("7"));  // the filter drops it silently
  EXPECT_EQ(host.messages.beeps, 5);
}

TEST_F(ValueEditFixture, RevertSelectsTheLastGoodText) {
  Typed("10");
  QTest::keyClicks(edit, "1");
  EXPECT_EQ(edit->text(), QStringLiteral("10"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("10"));
}

TEST_F(ValueEditFixture, UnsignedRangeRefusesAnyMinus) {
  edit->SetRange(0, 127);
  EXPECT_EQ(Typed("-"), QString());
  EXPECT_EQ(Typed("12-"), QStringLiteral("12"));
  EXPECT_EQ(Typed("127"), QStringLiteral("127"));
  EXPECT_EQ(edit->GetValue(), 127);
}

TEST_F(ValueEditFixture, GetValueAndSetValue) {
  edit->clear();
  EXPECT_EQ(edit->GetValue(), 0);
  edit->SetValue(-42);
  EXPECT_EQ(edit->text(), QStringLiteral("-42"));
  EXPECT_EQ(edit->GetValue(), -42);
  edit->SetValue(500);  // fails the check like a typed value
  EXPECT_EQ(edit->text(), QStringLiteral("-42"));
}

TEST_F(ValueEditFixture, CtrlVPastesIntoTheValueAndRateEditsWithTheCheck) {
  QApplication::clipboard()->setText("42");
  edit->clear();
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("42"));
  QApplication::clipboard()->setText("abc");
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("42"));
  QApplication::clipboard()->setText("120");
  rate->setFocus();
  QTest::keyClick(rate, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(rate->text(), QStringLiteral("120"));
}

TEST_F(ValueEditFixture, CtrlXCutsAndCtrlZUndoes) {
  edit->setText("55");
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QString());
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("55"));
}

TEST_F(ValueEditFixture, RateIsClampedOnFocusOut) {
  const std::vector<std::pair<const char*, QString>> cases = {{"30", "50"}, {"250", "200"}, {"", ""}, {"75", "75"}};
  for (const auto& [typed, shown] : cases) {
    rate->setFocus();
    rate->clear();
    QTest::keyClicks(rate, typed);
    other->setFocus();
    EXPECT_EQ(rate->text(), shown) << typed;
  }
  rate->setFocus();
  rate->clear();
  QTest::keyClicks(rate, "1x-2.");
  EXPECT_EQ(rate->text(), QStringLiteral("12"));
  rate->SetValue(-3);
  EXPECT_EQ(rate->text(), QStringLiteral("-3"));
}

}  // namespace
