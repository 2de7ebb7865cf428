// The About box with the real plug-ins, and the start-up picture, offscreen.
#include "TestPaths.h"
#include "app/ui/AboutDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "app/ui/SplashWnd.h"
#include "platform/host/testing/FakeHost.h"
#include "uikit/DialogTemplate.h"
#include "uikit/StartupPicture.h"

namespace {

std::vector<std::pair<QString, QString>> Rows(const CAboutDlg& d) {
  std::vector<std::pair<QString, QString>> rows;
  for (int i = 0; i < d.PluginList()->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = d.PluginList()->topLevelItem(i);
    rows.emplace_back(item->text(0), item->text(1));
  }
  return rows;
}

QString Text(const QWidget* w, int id) { return ui::item<QLabel>(w, id)->text(); }

TEST(CAboutDlg, ShowsModeProfileVersionsAndPluginsBesideTheProgram) {
  platform::FakeHost host;
  host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
  CAboutDlg d;
  EXPECT_EQ(Text(&d, CAboutDlg::kKzMode), "KZ-3");
  EXPECT_EQ(Text(&d, CAboutDlg::kContentsClass), "KORVAN");
  EXPECT_EQ(Text(&d, CAboutDlg::kVersion), "Version 1.3.1");
  EXPECT_EQ(Text(&d, CAboutDlg::kEmulatorVersion), "1.0.0.2013");
  using Row = std::pair<QString, QString>;
  EXPECT_EQ(Rows(d), (std::vector<Row>{{"Midigate.DLL", "2.9.7"}, {"Velkgate.DLL", "2.9.7"}, {"Polyscan.DLL", "1.4.1"}}));
  d.resize(400, 300);
  d.show();
  QApplication::processEvents();
  const int width = d.PluginList()->viewport()->width();
  EXPECT_EQ(d.PluginList()->columnWidth(0), width * 3 / 4);
  EXPECT_EQ(d.PluginList()->columnWidth(1), width / 4);
}

TEST(CAboutDlg, MissingPluginKeepsItsRowWithAnEmptyVersion) {
  platform::FakeHost host;
  QTemporaryDir empty;
  host.settings.appDir = empty.path().toStdString() + "/";
  host.settings.outputProfile = 4;
  CAboutDlg d;
  using Row = std::pair<QString, QString>;
  EXPECT_EQ(Rows(d), (std::vector<Row>{{"Midigate.DLL", ""}, {"Phrasegate.DLL", ""}}));
  EXPECT_EQ(Text(&d, CAboutDlg::kContentsClass), "VELK/Phrase");
}

class CSplashWndTest : public ::testing::Test {
 protected:
  void SetUp() override { CSplashWnd::InstallHook(); }
  void TearDown() override {
    CSplashWnd::Close();
    CSplashWnd::SetMode(false, 0);
    ui::StartupPicture::Instance().SetHook({});
    QApplication::processEvents();
  }
};

TEST_F(CSplashWndTest, ModeFiveShowsTwoPicturesByItsTicks) {
  CSplashWnd::SetMode(true, 5);
  ui::StartupPicture::Instance().Show();
  CSplashWnd* w = CSplashWnd::Current();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Bitmap(), 2543);
  EXPECT_EQ(w->size(), QSize(400, 240));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_LE((w->geometry().center() - screen.center()).manhattanLength(), 2);
  // Our own picture, not a uniform placeholder.
  const QImage img = w->grab().toImage();
  EXPECT_NE(img.pixelColor(5, 5), img.pixelColor(395, 235));
  ui::StartupPicture::Instance().Show();
  EXPECT_EQ(CSplashWnd::Current(), w) << "one picture at a time";
  w->OnTimer();
  EXPECT_EQ(CSplashWnd::Current(), w);
  EXPECT_EQ(w->Bitmap(), 2544);
  EXPECT_EQ(w->Mode(), 6);
  w->OnTimer();
  EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

TEST_F(CSplashWndTest, KeysAndClicksAdvanceOrCloseAndAreConsumed) {
  CSplashWnd::SetMode(true, 5);
  CSplashWnd::Show();
  QWidget other;
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  QKeyEvent overrideEvent(QEvent::ShortcutOverride, Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_TRUE(ui::StartupPicture::Instance().Filter(&other, &overrideEvent));
  EXPECT_TRUE(ui::StartupPicture::Instance().Filter(&other, &space));
  ASSERT_NE(CSplashWnd::Current(), nullptr);
  EXPECT_EQ(CSplashWnd::Current()->Mode(), 6);
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  EXPECT_TRUE(ui::StartupPicture::Instance().Filter(&other, &click));
  EXPECT_EQ(CSplashWnd::Current(), nullptr);
  EXPECT_FALSE(ui::StartupPicture::Instance().Filter(&other, &space)) << "nothing up: keys pass";
}

TEST_F(CSplashWndTest, MessageBoxClosesItAndMissingPicturesShowNothing) {
  for (int mode : {0, 1, 2, 5}) {
    CSplashWnd::SetMode(true, mode);
    CSplashWnd::Show();
    ASSERT_NE(CSplashWnd::Current(), nullptr) << mode;
    ui::StartupPicture::Instance().Close();
    EXPECT_EQ(CSplashWnd::Current(), nullptr) << mode;
  }
  for (int mode : {3, 4, 7}) {
    CSplashWnd::SetMode(true, mode);
    CSplashWnd::Show();
    EXPECT_EQ(CSplashWnd::Current(), nullptr) << mode;
  }
  CSplashWnd::SetMode(false, 5);
  CSplashWnd::Show();
  EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

}  // namespace
