// Tests of the property sheet's page rules.
#include "uikit/PropertySheet.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

class FakePage : public ui::PropertyPage {
 public:
  FakePage(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {
    edit = new QLineEdit(this);
  }
  bool refuseKill = false;
  bool refuseApply = false;
  QLineEdit* edit;

  void OnSetActive() override { m_log.push_back(m_name + ".active"); }
  bool OnKillActive() override {
    m_log.push_back(m_name + ".kill");
    return !refuseKill;
  }
  bool OnApply() override {
    m_log.push_back(m_name + ".apply");
    return !refuseApply;
  }
  void OnOk() override { m_log.push_back(m_name + ".ok"); }
  void OnCancel() override { m_log.push_back(m_name + ".cancel"); }

 private:
  std::string m_name;
  std::vector<std::string>& m_log;
};

struct SheetFixture : ::testing::Test {
  std::vector<std::string> log;
  ui::PropertySheet sheet{"Voice"};
  FakePage* a = new FakePage("a", log);
  FakePage* b = new FakePage("b", log);
  FakePage* c = new FakePage("c", log);
  SheetFixture() {
    sheet.AddPage(a, "A");
    sheet.AddPage(b, "B");
    sheet.AddPage(c, "C");
    log.clear();
  }
};

TEST_F(SheetFixture, PageRefusingKillActiveKeepsItsTab) {
  a->refuseKill = true;
  sheet.Tabs()->setCurrentIndex(1);
  EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);
  EXPECT_EQ(sheet.ActiveIndex(), 0);
  a->refuseKill = false;
  EXPECT_TRUE(sheet.SetActivePage(1));
  EXPECT_EQ(log, (std::vector<std::string>{"a.kill", "a.kill", "b.active"}));
}

TEST_F(SheetFixture, OkAppliesEveryPageShownAndARefusalKeepsTheSheetOnThatPage) {
  sheet.show();
  sheet.SetActivePage(2);  // a and c shown, b never
  log.clear();
  a->refuseApply = true;
  sheet.Ok();
  EXPECT_EQ(log, (std::vector<std::string>{"c.kill", "a.apply", "a.active"}));
  EXPECT_EQ(sheet.ActiveIndex(), 0);
  EXPECT_EQ(sheet.result(), 0);
  EXPECT_TRUE(sheet.isVisible());
  a->refuseApply = false;
  log.clear();
  sheet.Ok();
  EXPECT_EQ(log, (std::vector<std::string>{"a.kill", "a.apply", "c.apply", "a.ok", "c.ok"}));
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

TEST_F(SheetFixture, CancelCallsEveryPagesCancel) {
  sheet.show();
  sheet.Cancel();
  EXPECT_EQ(log, (std::vector<std::string>{"a.cancel", "b.cancel", "c.cancel"}));
  EXPECT_EQ(sheet.result(), QDialog::Rejected);
}

TEST_F(SheetFixture, ReturnAndEnterAreSwallowed) {
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  a->edit->setFocus();
  QTest::keyClick(a->edit, Qt::Key_Return);
  QTest::keyClick(a->edit, Qt::Key_Enter);
  QTest::keyClick(&sheet, Qt::Key_Return);
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_TRUE(log.empty());
}

TEST_F(SheetFixture, ApplyKeepsTheSheetOpen) {
  sheet.show();
  QTest::mouseClick(sheet.ApplyButton(), Qt::LeftButton);
  EXPECT_EQ(log, (std::vector<std::string>{"a.kill", "a.apply"}));
  EXPECT_TRUE(sheet.isVisible());
}

}  // namespace
