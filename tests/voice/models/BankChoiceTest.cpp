#include "voice/models/BankChoice.h"

#include <gtest/gtest.h>

namespace {

TEST(CBankChoice, OpensWithNineBanksAndEightDrumsUnderProfileTwo) {
  CBankChoice c;
  c.Open(2);
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(c.IsChecked(i)) << i;
  EXPECT_FALSE(c.IsChecked(9));
  EXPECT_FALSE(c.IsEnabled(9));
  for (int i = 10; i < 18; ++i) EXPECT_TRUE(c.IsChecked(i)) << i;
  EXPECT_FALSE(c.IsEnabled(18));
  EXPECT_FALSE(c.IsEnabled(19));
  EXPECT_EQ(c.GetBankChoice(0), 1);
  EXPECT_EQ(c.GetBankChoice(9), 0);
}

TEST(CBankChoice, PhraseProfilesAllowNineDrums) {
  for (int profile : {4, 6}) {
    CBankChoice c;
    c.Open(profile);
    EXPECT_TRUE(c.IsChecked(18));
    EXPECT_FALSE(c.IsChecked(19));
    EXPECT_FALSE(c.IsEnabled(19));
  }
}

TEST(CBankChoice, UncheckingEnablesAndRecheckingDisables) {
  CBankChoice c;
  c.Open(2);
  c.Click(3, false);
  EXPECT_TRUE(c.IsEnabled(9));
  EXPECT_EQ(c.GetBankChoice(3), 0);
  c.Click(9, true);
  EXPECT_FALSE(c.IsEnabled(3));
  EXPECT_EQ(c.GetBankChoice(9), 1);
  c.Click(3, true);  // disabled: ignored
  EXPECT_FALSE(c.IsChecked(3));
}

TEST(CBankChoice, IndexOutsideRangeGivesZero) {
  CBankChoice c;
  c.Open(2);
  EXPECT_EQ(c.GetBankChoice(20), 0);
  EXPECT_EQ(c.GetBankChoice(-1), 0);
}

}  // namespace
