// The contents-information dialogs, offscreen, over a record of their own.
#include "app/ui/InformationDlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/host/testing/FakeHost.h"
#include "uikit/DialogTemplate.h"
#include "velk/ContentsInfo.h"

namespace {

struct Recorder {
  std::vector<int> remembered;
  int modified = 0;
  bool idle = true;
  InformationHost Host() {
    return {[this](int v) { remembered.push_back(v); }, [this] { return idle; }, [this] { ++modified; }};
  }
};

QComboBox* Combo(const QWidget* d, int id) { return ui::item<QComboBox>(d, id); }

TEST(CInformationDlg, Profile2OpensAtUtf8RemembersAndStoresOnOk) {
  platform::FakeHost host;
  CContentsInfo info;
  info.SetTextCodeType(0x23);
  info.SetContentsTypeByte(0x32);
  info.SetText(1, "Vendor");
  CSongTextInfo song;
  song.SetText(1, "Title");
  info.SetSongTextInfo(song);
  Recorder rec;
  CInformationDlg d(nullptr, &info, rec.Host());
  EXPECT_EQ(Combo(&d, CInformationDlg::kCodeType)->currentText(), "UTF-8");
  EXPECT_EQ(rec.remembered, std::vector<int>{0x23});
  EXPECT_FALSE(Combo(&d, CInformationDlg::kContentsClass)->isEnabled());
  EXPECT_TRUE(Combo(&d, CInformationDlg::kCodeType)->isEnabled());
  EXPECT_TRUE(ui::item<QWidget>(&d, CInformationDlg::kPhrase)->isHidden());
  EXPECT_EQ(ui::item<QPlainTextEdit>(&d, 1445)->toPlainText(), "Vendor");
  EXPECT_EQ(ui::item<QPlainTextEdit>(&d, 1444)->toPlainText(), "Title");

  ui::item<QPlainTextEdit>(&d, 1433)->setPlainText("Artist");
  Combo(&d, CInformationDlg::kCodeType)->setCurrentIndex(1);
  QTimer::singleShot(0, [&d] { ui::item<QPushButton>(&d, 1)->click(); });
  EXPECT_EQ(d.DoModal(), QDialog::Accepted);
  EXPECT_EQ(info.GetTextCodeType(), 1);
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(5)), "Artist");
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(1)), "Title");
  EXPECT_EQ(info.GetText(1), "Vendor");
  EXPECT_EQ(rec.remembered, (std::vector<int>{0x23, 1}));
  EXPECT_EQ(rec.modified, 1);
}

TEST(CInformationDlg, UnknownCodeTypeOpensAtTheRememberedEntryAndCancelStoresNothing) {
  platform::FakeHost host;
  host.settings.infoCodeType = 2;
  CContentsInfo info;
  info.SetTextCodeType(0x05);
  info.SetByteD(9);
  Recorder rec;
  CInformationDlg d(nullptr, &info, rec.Host());
  EXPECT_EQ(Combo(&d, CInformationDlg::kCodeType)->currentIndex(), 2);
  EXPECT_EQ(Combo(&d, CInformationDlg::kChannelCondition)->currentIndex(), -1);
  ui::item<QPlainTextEdit>(&d, 1445)->setPlainText("Changed");
  QTimer::singleShot(0, [&d] { ui::item<QPushButton>(&d, 2)->click(); });
  EXPECT_EQ(d.DoModal(), QDialog::Rejected);
  EXPECT_EQ(info.GetText(1), "");
  EXPECT_EQ(info.GetTextCodeType(), 0x05);
  EXPECT_EQ(rec.modified, 0);
}

TEST(CInformationDlg, OkKeepsStoredLineBreaksAndTypedOnesTakeTheRecordsForm) {
  struct Case {
    const char* stored;  // the vendor text of a file made elsewhere
    const char* typed;   // what the user types into the empty artist field
    const char* artist;  // what OK stores
  };
  const Case cases[] = {{"Line 1\r\nLine 2", "One\nTwo", "One\r\nTwo"},
                        {"Line 1\nLine 2", "One\nTwo", "One\nTwo"},
                        {"One line", "One\nTwo", "One\r\nTwo"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    platform::FakeHost host;
    CContentsInfo info;
    info.SetTextCodeType(0x23);
    info.SetText(1, c.stored);
    info.SetText(8, "Kept\r\nas it is\r\n");
    Recorder rec;
    CInformationDlg d(nullptr, &info, rec.Host());
    ui::item<QPlainTextEdit>(&d, 1433)->setPlainText(QString::fromLatin1(c.typed));
    QTimer::singleShot(0, [&d] { ui::item<QPushButton>(&d, 1)->click(); });
    ASSERT_EQ(d.DoModal(), QDialog::Accepted);
    EXPECT_EQ(info.GetText(1), c.stored);
    EXPECT_EQ(info.GetText(8), "Kept\r\nas it is\r\n");
    EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(5)), c.artist);
  }
}

TEST(CInformationDlg, PlayingDisablesOkAndProfile4ShowsThePhrase) {
  platform::FakeHost host;
  host.settings.outputProfile = 4;
  CContentsInfo info;
  Recorder rec;
  rec.idle = false;
  CInformationDlg d(nullptr, &info, rec.Host());
  EXPECT_FALSE(ui::item<QPushButton>(&d, 1)->isEnabled());
  EXPECT_FALSE(ui::item<QWidget>(&d, CInformationDlg::kPhrase)->isHidden());
}

TEST(CMFiInfoDlg, TitleCutDateLimitedAndDistributionStored) {
  platform::FakeHost host;
  host.settings.outputProfile = 1;
  host.settings.makerId = 2;
  CContentsInfo info;
  info.SetOptionByte1(0xF8);
  info.SetTextCodeType(0x20);
  CSongTextInfo song;
  song.SetText(1, std::string(60, 'a'));
  info.SetSongTextInfo(song);
  Recorder rec;
  CMFiInfoDlg d(nullptr, &info, rec.Host());
  EXPECT_EQ(ui::item<QLineEdit>(&d, CMFiInfoDlg::kTitle)->text(), QString(50, 'a'));
  EXPECT_EQ(Combo(&d, CMFiInfoDlg::kCodeType)->currentText(), "UCS-2");
  EXPECT_EQ(Combo(&d, CMFiInfoDlg::kMfiVersion)->currentText(), "ver 3.0");
  EXPECT_FALSE(Combo(&d, CMFiInfoDlg::kMfiVersion)->isEnabled());
  auto* date = ui::item<QLineEdit>(&d, CMFiInfoDlg::kDateCreated);
  QTest::keyClicks(date, "2026121112");
  EXPECT_EQ(date->text(), "20261211");
  Combo(&d, CMFiInfoDlg::kDistribution)->setCurrentIndex(1);
  ui::item<QPushButton>(&d, 1)->click();
  EXPECT_EQ(info.GetOptionByte1(), 0xFC);
  EXPECT_EQ(info.GetText(5), "20261211");
  EXPECT_EQ(std::string(info.GetSongTextInfo().GetText(1)), std::string(50, 'a'));
  EXPECT_EQ(rec.remembered, (std::vector<int>{0x20, 0x20}));
}

TEST(CMFiInfoDlg, OtherMakersHideTheCodeType) {
  platform::FakeHost host;
  host.settings.outputProfile = 6;
  CContentsInfo info;
  Recorder rec;
  CMFiInfoDlg d(nullptr, &info, rec.Host());
  EXPECT_TRUE(Combo(&d, CMFiInfoDlg::kCodeType)->isHidden());
  EXPECT_TRUE(ui::item<QWidget>(&d, CMFiInfoDlg::kCodeTypeLabel)->isHidden());
  ui::item<QPushButton>(&d, 1)->click();
  EXPECT_EQ(info.GetTextCodeType(), 0);
  EXPECT_TRUE(rec.remembered.empty());
}

}  // namespace
