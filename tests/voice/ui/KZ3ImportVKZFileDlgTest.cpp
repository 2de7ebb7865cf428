#include "voice/ui/KZ3ImportVKZFileDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>

namespace {

TEST(CKZ3ImportVKZFileDlg, PanelOpensWithProfileDefaultsAndRecordsThem) {
  CKZ3ImportVKZFileDlg d(QString(), 2);
  d.AddPanel();
  for (int i = 0; i < 20; ++i) {
    ASSERT_NE(d.Box(i), nullptr) << i;
    const bool checked = (i < 9) || (i >= 10 && i < 18);
    EXPECT_EQ(d.Box(i)->isChecked(), checked) << i;
    EXPECT_EQ(d.Box(i)->isEnabled(), checked) << i;
  }
  EXPECT_EQ(d.GetBankChoice(0), 1);
  EXPECT_EQ(d.GetBankChoice(20), 0);
  EXPECT_EQ(d.GetBankChoice(-1), 0);
  // Default extension and filter from strings 2075 and 2089.
  EXPECT_EQ(d.defaultSuffix(), QStringLiteral("vkz"));
  EXPECT_EQ(d.nameFilters(), QStringList{QStringLiteral("Extended voice file (*.vkz)")});
}

TEST(CKZ3ImportVKZFileDlg, UncheckingEnablesTheRestAndRecheckingDisables) {
  CKZ3ImportVKZFileDlg d(QString(), 2);
  d.AddPanel();
  d.Box(12)->click();
  EXPECT_FALSE(d.Box(12)->isChecked());
  EXPECT_TRUE(d.Box(18)->isEnabled());
  EXPECT_TRUE(d.Box(19)->isEnabled());
  EXPECT_EQ(d.GetBankChoice(12), 0);
  d.Box(12)->click();
  EXPECT_FALSE(d.Box(18)->isEnabled());
  EXPECT_EQ(d.GetBankChoice(12), 1);
}

TEST(CKZ3ImportVKZFileDlg, PhraseProfileChecksNineDrums) {
  CKZ3ImportVKZFileDlg d(QString(), 4);
  d.AddPanel();
  EXPECT_TRUE(d.Box(18)->isChecked());
  EXPECT_FALSE(d.Box(19)->isEnabled());
}

}  // namespace
