// Tests of the time-base edit: its readings, its keys and its commit.
#include "app/ui/NumberEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "platform/host/testing/FakeHost.h"

namespace {

struct NumberEditFixture : ::testing::Test {
  platform::FakeHost host;
  QWidget parent;
  CNumberEdit* edit = new CNumberEdit(&parent);
  QLineEdit* next = new QLineEdit(&parent);
  std::optional<int> timeBase = 4000;
  std::vector<uint32_t> handled;
  int handlerResult = 1;

  NumberEditFixture() {
    next->setObjectName("c1387");
    next->move(0, 40);
    edit->SetHandler([this](uint32_t v) {
      handled.push_back(v);
      if (handlerResult == 1) timeBase = static_cast<int>(v);
      return handlerResult;
    });
    edit->SetTimeBaseSource([this] { return timeBase; });
    edit->SetNumber(0);
    parent.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    parent.activateWindow();
  }
};

TEST_F(NumberEditFixture, CommitsTheTypedValue) {
  const std::vector<std::pair<QString, uint32_t>> cases = {{"4.5", 4500}, {"4.05", 4050}, {"4.005", 4005}, {"4", 4}};
  for (const auto& [text, value] : cases) {
    edit->setText(text);
    EXPECT_EQ(edit->Commit(), 1) << text.toStdString();
    ASSERT_FALSE(handled.empty());
    EXPECT_EQ(handled.back(), value);
    EXPECT_EQ(edit->CommittedTimeBase(), value);
  }
}

TEST_F(NumberEditFixture, LeadingPointIsRefusedAndZeroRestores) {
  edit->setFocus();  // saves the shown "4.000"
  edit->setText(".5");
  EXPECT_EQ(edit->Commit(), 0);
  EXPECT_TRUE(handled.empty());
  EXPECT_EQ(edit->text(), QStringLiteral(".5"));
  edit->setText("0");
  EXPECT_EQ(edit->Commit(), 1);
  EXPECT_TRUE(handled.empty());
  EXPECT_EQ(edit->text(), QStringLiteral("4.000"));
}

TEST_F(NumberEditFixture, NeitherASecondPointNorAFourthDecimalCanBeTyped) {
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, "4.5.x6");
  EXPECT_EQ(edit->text(), QStringLiteral("4.56"));
  edit->clear();
  QTest::keyClicks(edit, "1.2345");
  EXPECT_EQ(edit->text(), QStringLiteral("1.234"));
}

TEST_F(NumberEditFixture, ShowsTheTimeBaseInDoublePrecisionAndKeepsTheTextWithoutASong) {
  timeBase = 16777001;
  edit->SetNumber(16777001);
  EXPECT_EQ(edit->text(), QStringLiteral("16777.001"));
  timeBase.reset();
  edit->setText("typed");
  edit->SetNumber(0);
  EXPECT_EQ(edit->text(), QStringLiteral("typed"));
}

TEST_F(NumberEditFixture, RefusalKeepsTheFocusWithTheTextSelected) {
  handlerResult = 0;
  edit->setFocus();
  edit->setText("9.5");
  edit->deselect();
  EXPECT_EQ(edit->Commit(), 0);
  EXPECT_EQ(handled, (std::vector<uint32_t>{9500}));
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_EQ(edit->selectedText(), QStringLiteral("9.5"));
}

TEST_F(NumberEditFixture, EnterCommitsShowsTheDocumentsTimeBaseAndMovesTheFocus) {
  edit->SetKind(1387);
  edit->setFocus();
  QTest::keyClicks(edit, "2.5");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(handled, (std::vector<uint32_t>{2500}));
  EXPECT_EQ(edit->text(), QStringLiteral("2.500"));
  EXPECT_TRUE(next->hasFocus());
}

TEST_F(NumberEditFixture, LeavingWithoutEnterShowsTheTimeBaseAgainAndPasteIsSwallowed) {
  QApplication::clipboard()->setText("123");
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("4.000"));
  QTest::keyClicks(edit, "7");
  EXPECT_EQ(edit->text(), QStringLiteral("7"));
  next->setFocus();
  EXPECT_EQ(edit->text(), QStringLiteral("4.000"));
  EXPECT_TRUE(handled.empty());
}

}  // namespace
