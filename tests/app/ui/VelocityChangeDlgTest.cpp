// Tests of the Velocity Change dialog: the rate edit and its Enter, OK on the song with its
// change marks and undo, Cancel, the channel list and the spin.
#include "app/ui/VelocityChangeDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "app/ui/RateEdit.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/views/SongViewHostFake.h"
#include "uikit/UpDownControl.h"

namespace {

using viewtest::AddEvent;

class VelocityChangeDlgTest : public ::testing::Test {
 protected:
  VelocityChangeDlgTest() {
    fake.settings.chipMode = 3;
    doc = std::make_unique<CKZ1Doc>();
    doc->SetRefreshSuppress(0);
    host.doc = doc.get();
    AddEvent(*doc->GetMidiList(), 0, 480, {0x90, 60, 100});
    AddEvent(*doc->GetMidiList(), 0, 480, {0x91, 62, 100});
    AddEvent(*doc->GetMidiListPCM(), 0, 480, {0x99, 1, 100});
  }
  void Type(CVelocityChangeDlg& dlg, const char* text) { dlg.RateEdit()->setText(QString::fromLatin1(text)); }
  int Velocity(CKZ1Doc::EventList& list, size_t index) {
    auto it = list.begin();
    std::advance(it, static_cast<long>(index));
    return (*it)->GetByte(2);
  }

  platform::FakeHost fake;
  SongViewHostFake host;
  std::unique_ptr<CKZ1Doc> doc;
};

TEST_F(VelocityChangeDlgTest, StartsAtOneHundredOnAll) {
  CVelocityChangeDlg dlg(host);
  EXPECT_EQ(dlg.RateEdit()->text(), "100");
  EXPECT_EQ(dlg.Channel(), CVelocityChangeDlg::kAll);
  EXPECT_EQ(dlg.ChannelList()->count(), 18);
  EXPECT_EQ(dlg.ChannelList()->itemText(0), "  1");
  EXPECT_EQ(dlg.ChannelList()->itemText(15), " 16");
  EXPECT_EQ(dlg.ChannelList()->itemText(16), "STM");
  EXPECT_EQ(dlg.ChannelList()->currentText(), "ALL");
  EXPECT_EQ(dlg.windowTitle(), "Velocity Change");
}

TEST_F(VelocityChangeDlgTest, ListModeTwoLeavesTheStreamEntryOut) {
  CVelocityChangeDlg dlg(host);
  dlg.ChannelList()->setCurrentIndex(16);
  EXPECT_EQ(dlg.Channel(), CVelocityChangeDlg::kStreamPcm);
  dlg.SetChannelMode(2);
  EXPECT_EQ(dlg.ListMode(), 2);
  ASSERT_EQ(dlg.ChannelList()->count(), 17);
  EXPECT_EQ(dlg.ChannelList()->itemText(16), "ALL");
  EXPECT_EQ(dlg.StmIndex(), -1);
  EXPECT_EQ(dlg.Channel(), CVelocityChangeDlg::kAll) << "a channel the list cannot show";
  dlg.ChannelList()->setCurrentIndex(3);
  EXPECT_EQ(dlg.Channel(), 3);
}

TEST_F(VelocityChangeDlgTest, EnterInTheRateEditClampsAndMovesOn) {
  CVelocityChangeDlg dlg(host);
  dlg.show();
  dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  dlg.RateEdit()->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(dlg.RateEdit()->hasFocus());
  EXPECT_FALSE(dlg.OkButton()->isEnabled()) << "OK waits while the rate edit has the focus";
  dlg.RateEdit()->clear();
  QTest::keyClicks(dlg.RateEdit(), "300");
  QTest::keyClick(dlg.RateEdit(), Qt::Key_Return);
  EXPECT_EQ(dlg.RateEdit()->text(), "200");
  EXPECT_EQ(dlg.Rate(), 200);
  EXPECT_TRUE(dlg.OkButton()->isEnabled());
  EXPECT_FALSE(dlg.RateEdit()->hasFocus());
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(Velocity(*doc->GetMidiList(), 0), 100) << "Enter in the edit applies nothing";
}

TEST_F(VelocityChangeDlgTest, EnterInTheChannelListMovesOnAndElsewhereCancels) {
  CVelocityChangeDlg dlg(host);
  dlg.show();
  dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  dlg.ChannelList()->setFocus();
  QApplication::processEvents();
  QTest::keyClick(dlg.ChannelList(), Qt::Key_Return);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.ChannelList()->hasFocus());
  auto* spin = dlg.findChild<ui::UpDownControl*>(QStringLiteral("c2438"));
  spin->setFocus();
  QTest::keyClick(spin, Qt::Key_Return);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(Velocity(*doc->GetMidiList(), 0), 100);
}

TEST_F(VelocityChangeDlgTest, OkClampsTheRateAndScalesTheChosenChannel) {
  CVelocityChangeDlg dlg(host);
  dlg.show();
  dlg.ChannelList()->setCurrentIndex(0);
  Type(dlg, "40");
  dlg.OnOK();
  EXPECT_EQ(dlg.RateEdit()->text(), "50");
  EXPECT_EQ(dlg.AppliedRate(), 50);
  EXPECT_EQ(dlg.AppliedChannel(), 0);
  EXPECT_EQ(Velocity(*doc->GetMidiList(), 0), 50);
  EXPECT_EQ(Velocity(*doc->GetMidiList(), 1), 100) << "channel 2 untouched";
  EXPECT_EQ(Velocity(*doc->GetMidiListPCM(), 0), 100);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(host.songWindowUpdates, 1);
  EXPECT_EQ(fake.ui.voiceWindowUpdates, 1);
}

TEST_F(VelocityChangeDlgTest, OkOnAllScalesBothListsSetsTheMarksAndDropsTheUndo) {
  ASSERT_EQ(doc->TransposeChannel(0, 2, 0, 1000), 1);
  ASSERT_NE(doc->CanUndo(), 0);
  CVelocityChangeDlg dlg(host);
  Type(dlg, "150");
  dlg.OnOK();
  EXPECT_EQ(Velocity(*doc->GetMidiList(), 0), 127);
  EXPECT_EQ(Velocity(*doc->GetMidiList(), 1), 127);
  EXPECT_EQ(Velocity(*doc->GetMidiListPCM(), 0), 127);
  EXPECT_EQ(doc->TestModifiedFlags(3), 3u);
  EXPECT_EQ(doc->CanUndo(), 0);
}

TEST_F(VelocityChangeDlgTest, CancelRestoresTheValuesOfTheLastOk) {
  CVelocityChangeDlg dlg(host);
  dlg.ChannelList()->setCurrentIndex(5);
  Type(dlg, "120");
  dlg.OnOK();
  dlg.show();
  dlg.ChannelList()->setCurrentIndex(16);
  Type(dlg, "80");
  dlg.OnCancel();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.RateEdit()->text(), "120");
  EXPECT_EQ(dlg.Channel(), 5);
  EXPECT_EQ(dlg.ChannelList()->currentIndex(), 5);
  dlg.ResetValues();
  EXPECT_EQ(dlg.RateEdit()->text(), "100");
  EXPECT_EQ(dlg.AppliedChannel(), CVelocityChangeDlg::kAll);
  EXPECT_EQ(dlg.ChannelList()->currentText(), "ALL");
}

TEST_F(VelocityChangeDlgTest, SpinUpRaisesAndDownLowersWithinTheRange) {
  CVelocityChangeDlg dlg(host);
  auto* spin = dlg.findChild<ui::UpDownControl*>(QStringLiteral("c2438"));
  spin->stepUp();
  EXPECT_EQ(dlg.RateEdit()->text(), "101");
  spin->stepDown();
  spin->stepDown();
  EXPECT_EQ(dlg.RateEdit()->text(), "99");
  Type(dlg, "200");
  spin->stepUp();
  EXPECT_EQ(dlg.Rate(), 200);
  Type(dlg, "50");
  spin->stepDown();
  EXPECT_EQ(dlg.Rate(), 50);
  Type(dlg, "30");
  spin->stepUp();
  EXPECT_EQ(dlg.Rate(), 30) << "outside 50..199 the arrow does nothing";
}

}  // namespace
