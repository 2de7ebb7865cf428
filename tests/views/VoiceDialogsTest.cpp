// Tests of the Voice Change and Voice Index dialogs.
#include "views/VoiceDialogs.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "SongViewHostFake.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/DialogTemplate.h"

namespace {

class VoiceDialogsTest : public ::testing::Test {
 protected:
  void Make(int chipMode) {
    fake.settings.chipMode = chipMode;
    doc = std::make_unique<CKZ1Doc>();
    host.doc = doc.get();
  }
  static QLineEdit* Edit(QDialog& d, int id) { return ui::item<QLineEdit>(&d, id); }
  static bool Enabled(QDialog& d, int id) { return ui::item<QWidget>(&d, id)->isEnabled(); }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST(VoiceChangeCheck, BankDecidesOkAndTheNoteInChipMode3) {
  struct Case {
    int msb;
    int lsb;
    std::optional<bool> ok;
    std::optional<bool> note;
  };
  const Case cases[] = {{124, 7, true, false}, {125, 1, false, true}, {125, 0, true, true},
                        {0, 0, true, std::nullopt}, {0, 1, false, std::nullopt}, {3, 0, false, std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.msb << "/" << c.lsb);
    const VoiceChangeState s = VoiceChangeCheck(3, c.msb, c.lsb);
    EXPECT_EQ(s.ok, c.ok);
    EXPECT_EQ(s.noteEnabled, c.note);
  }
  EXPECT_FALSE(VoiceChangeCheck(1, 3, 0).ok.has_value());
}

TEST_F(VoiceDialogsTest, VoiceChangeFollowsTheTypedBank) {
  Make(3);
  CVoiceChangeDlg dlg(host);
  dlg.SetVoiceSlot(0);
  dlg.show();
  auto* ok = ui::item<QPushButton>(&dlg, 1);
  EXPECT_TRUE(ok->isEnabled());  // slot 0 holds 0/0/0/0
  Edit(dlg, CVoiceChangeDlg::kBankMsb)->setText("124");
  Edit(dlg, CVoiceChangeDlg::kBankLsb)->setText("9");
  EXPECT_TRUE(ok->isEnabled());
  EXPECT_FALSE(Enabled(dlg, CVoiceChangeDlg::kNote));
  EXPECT_FALSE(Enabled(dlg, CVoiceChangeDlg::kNoteSpin));
  Edit(dlg, CVoiceChangeDlg::kBankMsb)->setText("125");
  EXPECT_TRUE(Enabled(dlg, CVoiceChangeDlg::kNote));
  EXPECT_FALSE(ok->isEnabled());
  Edit(dlg, CVoiceChangeDlg::kBankMsb)->setText("3");
  EXPECT_FALSE(ok->isEnabled());
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(VoiceDialogsTest, SetUpTextsDoNotRunTheCheckTwice) {
  Make(3);
  CVoiceChangeDlg dlg(host);
  Edit(dlg, CVoiceChangeDlg::kBankMsb)->setText("999");  // before the set-up: not checked
  EXPECT_TRUE(fake.messages.shown.empty());
  dlg.SetVoiceSlot(0);
  dlg.show();
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(VoiceDialogsTest, ChipMode1DisablesBankAndNote) {
  Make(1);
  CVoiceChangeDlg dlg(host);
  dlg.show();
  EXPECT_FALSE(Enabled(dlg, CVoiceChangeDlg::kBankMsb));
  EXPECT_FALSE(Enabled(dlg, CVoiceChangeDlg::kBankLsb));
  EXPECT_FALSE(Enabled(dlg, CVoiceChangeDlg::kNote));
  EXPECT_FALSE(Enabled(dlg, CVoiceChangeDlg::kNoteSpin));
  EXPECT_TRUE(Enabled(dlg, CVoiceChangeDlg::kProgram));
}

TEST_F(VoiceDialogsTest, OkAssignsTheVoiceAndMarksTheSong) {
  Make(3);
  doc->ResetModifiedFlags();
  CVoiceChangeDlg dlg(host);
  dlg.SetVoiceSlot(2);
  dlg.show();
  Edit(dlg, CVoiceChangeDlg::kBankMsb)->setText("124");
  Edit(dlg, CVoiceChangeDlg::kProgram)->setText("5");
  QTest::mouseClick(ui::item<QPushButton>(&dlg, 1), Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(doc->GetVoiceBankMsb(2), 124);
  EXPECT_EQ(doc->GetVoiceProgram(2), 5);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
}

TEST_F(VoiceDialogsTest, OutOfRangeBankShowsTheRangeTextAndKeepsTheSong) {
  Make(3);
  doc->ResetModifiedFlags();
  CVoiceChangeDlg dlg(host);
  dlg.SetVoiceSlot(2);
  dlg.show();
  Edit(dlg, CVoiceChangeDlg::kBankMsb)->setText("256");
  ASSERT_FALSE(fake.messages.shown.empty());
  EXPECT_EQ(fake.messages.shown.back().text, "Enter an integer between 0 and 255.");
  dlg.accept();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(doc->GetVoiceProgram(2), 255);
  EXPECT_EQ(doc->TestModifiedFlags(3), 0u);
}

TEST_F(VoiceDialogsTest, VoiceIndexRangeFollowsTheChipMode) {
  Make(3);
  {
    CVoiceIndexDlg dlg(host);
    dlg.show();
    Edit(dlg, CVoiceIndexDlg::kIndexEdit)->setText("129");
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(fake.messages.shown.back().text, "Enter an integer between 1 and 128.");
    Edit(dlg, CVoiceIndexDlg::kIndexEdit)->setText("128");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  }
  EXPECT_EQ(VoiceIndexRangeFor(1).max, 8);
  EXPECT_EQ(VoiceIndexRangeFor(2).max, 16);
  EXPECT_EQ(VoiceIndexRangeFor(5).max, 128);
}

TEST_F(VoiceDialogsTest, VoiceIndexGivesAnUnassignedSlotTheChannelsVoiceFirst) {
  Make(3);
  doc->ResetModifiedFlags();
  ASSERT_EQ(doc->GetVoiceProgram(9), 255);
  const int msb = doc->GetChannelBankMsb(3);
  const int program = doc->GetChannelProgram(3);
  CVoiceIndexDlg dlg(host);
  dlg.SetChannel(3);
  dlg.show();
  EXPECT_EQ(Edit(dlg, CVoiceIndexDlg::kIndexEdit)->text(), QString::number(doc->GetChannelVoiceSlot(3) + 1));
  Edit(dlg, CVoiceIndexDlg::kIndexEdit)->setText("10");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(doc->GetChannelVoiceSlot(3), 9);
  // The document's assignment keeps addresses apart: the slot gets the channel's bank, and its
  // program or the next one free.
  EXPECT_EQ(doc->GetVoiceBankMsb(9), msb);
  EXPECT_GE(doc->GetVoiceProgram(9), program);
  EXPECT_NE(doc->GetVoiceProgram(9), 255);
  EXPECT_EQ(doc->GetVoiceNote(9), 0);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
}

TEST_F(VoiceDialogsTest, VoiceIndexOkIsDisabledWhileTheSongPlays) {
  Make(3);
  host.deviceIdle = 0;
  CVoiceIndexDlg dlg(host);
  dlg.show();
  EXPECT_FALSE(ui::item<QPushButton>(&dlg, 1)->isEnabled());
}

}  // namespace
