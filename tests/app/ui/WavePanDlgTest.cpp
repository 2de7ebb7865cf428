// Tests of the StreamPCM Wave Panpot dialog: set values, opening per mode, the OK rule, OK,
// and the opener that windows below the shell call.
#include "app/ui/WavePanDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/core/WavePanOpener.h"
#include "app/ui/ValueEdit.h"
#include "platform/host/testing/FakeHost.h"

namespace {

QRadioButton* Radio(CWavePanDlg& dlg, int id) { return dlg.findChild<QRadioButton*>(QStringLiteral("c%1").arg(id)); }

TEST(WavePanDlg, SetValuesIgnoresModeThreeAndPan128) {
  platform::FakeHost fake;
  CWavePanDlg dlg;
  EXPECT_EQ(dlg.GetMode(), 0);
  EXPECT_EQ(dlg.GetPan(), 64);
  dlg.SetValues(3, 128);
  EXPECT_EQ(dlg.GetMode(), 0);
  EXPECT_EQ(dlg.GetPan(), 64);
  dlg.SetValues(2, 127);
  EXPECT_EQ(dlg.GetMode(), 2);
  EXPECT_EQ(dlg.GetPan(), 127);
  dlg.SetValues(7, 0);
  EXPECT_EQ(dlg.GetMode(), 2);
  EXPECT_EQ(dlg.GetPan(), 0);
}

TEST(WavePanDlg, OpeningInPanOffShowsTheStoredValueDisabled) {
  platform::FakeHost fake;
  CWavePanDlg dlg;
  dlg.SetValues(CWavePanDlg::kModePanOff, 30);
  dlg.show();
  EXPECT_EQ(dlg.windowTitle(), "StreamPCM Wave Panpot");
  EXPECT_TRUE(Radio(dlg, CWavePanDlg::kPanOff)->isChecked());
  EXPECT_EQ(dlg.PanEdit()->text(), "30");
  EXPECT_FALSE(dlg.PanEdit()->isEnabled());
  EXPECT_FALSE(dlg.findChild<QWidget*>(QStringLiteral("c2131"))->isEnabled());
  Radio(dlg, CWavePanDlg::kPanpot)->click();
  EXPECT_TRUE(dlg.PanEdit()->isEnabled());
  Radio(dlg, CWavePanDlg::kClear)->click();
  EXPECT_FALSE(dlg.PanEdit()->isEnabled());
}

TEST(WavePanDlg, EmptyPanOr128DisablesOk) {
  platform::FakeHost fake;
  for (const char* text : {"", "128", "-1", "1000"}) EXPECT_FALSE(CWavePanDlg::PanTextAllowsOk(text)) << text;
  for (const char* text : {"0", "64", "127", "007"}) EXPECT_TRUE(CWavePanDlg::PanTextAllowsOk(text)) << text;
  CWavePanDlg dlg;
  dlg.show();
  dlg.PanEdit()->clear();
  EXPECT_FALSE(dlg.OkButton()->isEnabled());
  dlg.PanEdit()->setText("100");
  EXPECT_TRUE(dlg.OkButton()->isEnabled());
  {
    // The value edit itself refuses 128; a text that got past it still keeps OK off.
    const QSignalBlocker block(dlg.PanEdit());
    dlg.PanEdit()->setText("128");
  }
  dlg.OnChangePan();
  EXPECT_FALSE(dlg.OkButton()->isEnabled());
}

TEST(WavePanDlg, OkGivesTheCheckedModeAndThePan) {
  platform::FakeHost fake;
  CWavePanDlg dlg;
  dlg.SetValues(CWavePanDlg::kModePanpot, 10);
  dlg.show();
  dlg.PanEdit()->setText("99");
  Radio(dlg, CWavePanDlg::kClear)->click();
  dlg.OkButton()->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.GetMode(), CWavePanDlg::kModeClear);
  EXPECT_EQ(dlg.GetPan(), 99);
}

TEST(WavePanOpener, RunsTheDialogAndWritesBackOnlyOnOk) {
  platform::FakeHost fake;
  WavePanChoice choice{2, 40};
  SetWavePanOpener({});
  EXPECT_FALSE(OpenWavePanDialog(choice));
  InstallWavePanOpener();
  for (bool ok : {false, true}) {
    QTimer::singleShot(0, [ok] {
      auto* dlg = dynamic_cast<CWavePanDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dlg, nullptr);
      EXPECT_TRUE(dlg->findChild<QRadioButton*>(QStringLiteral("c2242"))->isChecked());
      dlg->PanEdit()->setText("41");
      if (ok) dlg->findChild<QRadioButton*>(QStringLiteral("c2240"))->click();
      ok ? dlg->OnOK() : dlg->reject();
    });
    EXPECT_EQ(OpenWavePanDialog(choice), ok);
  }
  EXPECT_EQ(choice.mode, 0);
  EXPECT_EQ(choice.pan, 41);
  SetWavePanOpener({});
}

}  // namespace
