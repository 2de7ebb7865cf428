// Tests of the play-position edit: readings, bounds, display and its commands to the engine.
#include "app/ui/TimeEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "device/AppPlayState.h"
#include "platform/host/testing/FakeHost.h"
#include "tests/app/core/StartupFakes.h"

namespace {

struct TimeEditFixture : ::testing::Test {
  platform::FakeHost host;
  startuptest::FakeOutputEngine engine;
  QWidget parent;
  CTimeEdit* edit = new CTimeEdit(&parent);
  QLineEdit* next = new QLineEdit(&parent);

  TimeEditFixture() {
    next->setObjectName("c1389");
    next->move(0, 40);
    edit->SetBoardDevice([this] { return &engine; });
    appPlayState().playPositionMs = 0;
  }
  int CommitText(const QString& text) {
    edit->setText(text);
    return edit->Commit();
  }
  void Show() {
    parent.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    parent.activateWindow();
  }
};

TEST_F(TimeEditFixture, ReadsMinutesSecondsAndFractions) {
  edit->SetRange(0, 99999999);
  const std::vector<std::pair<QString, uint32_t>> cases = {
      {"1.2.3", 62300}, {"1.2.30", 62300}, {"1.2.003", 62003}, {"12.5", 12500},
      {"750", 750},     {"99.59.999", 5999999}, {"100.0.0", 5999999},
  };
  for (const auto& [text, ms] : cases) {
    EXPECT_EQ(CommitText(text), 1) << text.toStdString();
    EXPECT_EQ(edit->CommittedPosition(), ms) << text.toStdString();
    EXPECT_EQ(appPlayState().playPositionMs.load(), ms);
  }
}

TEST_F(TimeEditFixture, OutsideTheBoundsIsRefusedWithTheTextSelected) {
  Show();
  edit->setFocus();
  edit->SetRange(1000, 2000);
  EXPECT_EQ(CommitText("0.0.5"), 0);
  EXPECT_EQ(edit->selectedText(), QStringLiteral("0.0.5"));
  EXPECT_EQ(CommitText("2.1"), 0);
  EXPECT_FALSE(edit->IsRangeSet());
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_EQ(appPlayState().playPositionMs.load(), 0u);
  EXPECT_EQ(CommitText(".5"), 0);
  EXPECT_EQ(CommitText(""), 0);
}

TEST_F(TimeEditFixture, AfterConstructionOnlyZeroIsAccepted) {
  EXPECT_EQ(CommitText("1"), 0);
  EXPECT_EQ(CommitText("0"), 1);
}

TEST_F(TimeEditFixture, SetRangeWithLowerAboveUpperChangesNothing) {
  edit->SetRange(10, 20000);
  EXPECT_EQ(CommitText("12"), 1);
  EXPECT_TRUE(edit->IsRangeSet());
  EXPECT_EQ(edit->SetRange(5, 4), 0);
  EXPECT_EQ(edit->Lower(), 10u);
  EXPECT_EQ(edit->Upper(), 20000u);
  EXPECT_TRUE(edit->IsRangeSet());
}

TEST_F(TimeEditFixture, SpanIsZeroBeforeACommitAndAfterSetRange) {
  EXPECT_EQ(edit->GetSpan(), 0u);
  edit->SetRange(1000, 100000);
  EXPECT_EQ(CommitText("1.2.3"), 1);
  EXPECT_EQ(edit->GetSpan(), 61300u);
  edit->SetRange(1000, 100000);
  EXPECT_EQ(edit->GetSpan(), 0u);
  EXPECT_EQ(CommitText("1.2.3"), 1);
  edit->Clear();
  EXPECT_EQ(edit->GetSpan(), 0u);
  EXPECT_FALSE(edit->IsRangeSet());
}

TEST_F(TimeEditFixture, ShowsThePositionAndFocusShowsItWithoutBlanksSelected) {
  appPlayState().playPositionMs = 62300;
  edit->ShowPlayPosition(62300);
  EXPECT_EQ(edit->text(), QStringLiteral("01 . 02 . 300"));
  appPlayState().playPositionMs = 62003;
  edit->ShowPlayPosition(62003);
  Show();
  edit->setFocus();
  EXPECT_EQ(edit->text(), QStringLiteral("01.02.003"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("01.02.003"));
  QTest::keyClicks(edit, "5");
  next->setFocus();
  EXPECT_EQ(edit->text(), QStringLiteral("01 . 02 . 003"));
}

TEST_F(TimeEditFixture, CommitSendsTheBoardValueThenThePlayPosition) {
  host.settings.outputProfile = 2;
  edit->SetRange(0, 6000000);
  EXPECT_EQ(CommitText("1.2.3"), 1);
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendBoardValue0A(62300,0)", "SetPlayPosition(62300)"}));
  EXPECT_EQ(appPlayState().playPositionMs.load(), 62300u);
  EXPECT_EQ(edit->text(), QStringLiteral("01 . 02 . 300"));
}

TEST_F(TimeEditFixture, ProfileFourSendsTheChannelValueWithTheEnginesLastValue) {
  host.settings.outputProfile = 4;
  engine.lastValue = 9;
  edit->SetRange(1000, 6000000);
  EXPECT_EQ(CommitText("1.2.3"), 1);
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendChannelValue1A(9,61300)", "SetPlayPosition(62300)"}));
}

TEST_F(TimeEditFixture, NextFocusGetsTheFocusAndAnUnknownIdActsAsNone) {
  Show();
  edit->SetRange(0, 100000);
  edit->SetKind(1389);
  edit->setFocus();
  EXPECT_EQ(CommitText("5"), 1);
  QApplication::processEvents();
  EXPECT_TRUE(next->hasFocus());
  EXPECT_TRUE(edit->IsRangeSet());
  edit->SetRange(0, 100000);
  edit->SetKind(4242);
  edit->setFocus();
  EXPECT_EQ(CommitText("6"), 1);
  EXPECT_TRUE(edit->IsRangeSet());
  EXPECT_FALSE(edit->hasFocus());
}

TEST_F(TimeEditFixture, TypingAllowsTwoPointsAndThreeFractionDigitsAndNoPaste) {
  Show();
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, "1.2.3.4a5");
  EXPECT_EQ(edit->text(), QStringLiteral("1.2.345"));
  QTest::keyClicks(edit, "6");
  EXPECT_EQ(edit->text(), QStringLiteral("1.2.345"));
  QApplication::clipboard()->setText("9");
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("1.2.345"));
}

}  // namespace
