// Tests of the screenshot table and of the program rendering it.
#include "app/ui/ScreenshotTable.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <set>

#include "tests/app/core/ProgramFolder.h"
#include "tools/demosong/DemoSong.h"

namespace {

bool Uniform(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != img.pixel(0, 0)) return false;
  return true;
}

TEST(ScreenshotTable, RowsHaveDistinctPictureFilesAndAnOpener) {
  std::set<std::string> files;
  for (const ScreenshotRow& row : ScreenshotRows()) {
    EXPECT_TRUE(files.insert(row.file).second) << row.file;
    EXPECT_TRUE(std::string(row.file).ends_with(".png")) << row.file;
    EXPECT_TRUE(static_cast<bool>(row.open)) << row.file;
  }
  EXPECT_EQ(files.count("busy-picture-0.png"), 1u);
  EXPECT_EQ(files.count("message-7091.png"), 1u);
  EXPECT_EQ(files.count("main-window.png"), 1u);
}

TEST(DemoSong, IsAFormat0FileWithOneTrack) {
  const std::vector<uint8_t> song = demosong::Build();
  ASSERT_GT(song.size(), 22u);
  EXPECT_EQ(std::string(song.begin(), song.begin() + 4), "MThd");
  EXPECT_EQ(song[9], 0);   // format 0
  EXPECT_EQ(song[11], 1);  // one track
  EXPECT_EQ(std::string(song.begin() + 14, song.begin() + 18), "MTrk");
  const size_t length = size_t{song[18]} << 24 | size_t{song[19]} << 16 | size_t{song[20]} << 8 | song[21];
  EXPECT_EQ(length + 22, song.size());
  EXPECT_EQ(std::vector<uint8_t>(song.end() - 3, song.end()), (std::vector<uint8_t>{0xFF, 0x2F, 0x00}));
}

// One run of the program renders every picture; the tests read what it wrote.
class ScreenshotProcess : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_folder = new startuptest::ProgramFolder();
    s_shots = s_folder->RuntimeDir() + "/shots";
    ::setenv("TRILLOT_SCREENSHOTS", s_shots.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto run = startuptest::RunProgram(*s_folder, {});
    ::unsetenv("TRILLOT_SCREENSHOTS");
    s_status = run.status;
    s_err = run.err;
  }
  static void TearDownTestSuite() {
    delete s_folder;
    s_folder = nullptr;
  }
  static inline startuptest::ProgramFolder* s_folder = nullptr;
  static inline std::string s_shots;
  static inline int s_status = -1;
  static inline std::string s_err;
};

TEST_F(ScreenshotProcess, ProgramRendersEveryPictureAndEndsWithZero) {
  ASSERT_EQ(s_status, 0) << s_err;
  const std::string shots = s_shots;
  const QImage busy(QString::fromStdString(shots + "/busy-picture-0.png"));
  ASSERT_FALSE(busy.isNull());
  EXPECT_EQ(busy.size(), QSize(166, 53));
  EXPECT_FALSE(Uniform(busy));
  const QImage box(QString::fromStdString(shots + "/message-7091.png"));
  ASSERT_FALSE(box.isNull());
  EXPECT_GT(box.width(), 100);
  EXPECT_GT(box.height(), 40);
  EXPECT_FALSE(Uniform(box));
  // The main window, at its own size.
  const QImage window(QString::fromStdString(shots + "/main-window.png"));
  ASSERT_FALSE(window.isNull());
  EXPECT_GT(window.width(), 600);
  EXPECT_GT(window.height(), 300);
  EXPECT_FALSE(Uniform(window));
}

// Every label, button, check box, radio button, group title and edit of every window shows its
// text whole at the program's font, and every window fits a 1280 x 720 screen.
TEST_F(ScreenshotProcess, EveryTextFitsItsWidgetAndEveryWindowTheScreen) {
  ASSERT_EQ(s_status, 0) << s_err;
  QFile fit(QString::fromStdString(s_shots + "/" + kFitReportFile));
  ASSERT_TRUE(fit.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString report = QString::fromUtf8(fit.readAll());
  EXPECT_TRUE(report.isEmpty()) << report.toStdString();
}

// The same in the Chinese interface, whose texts and glyphs have widths of their own.
TEST_F(ScreenshotProcess, ChineseTextsFitTheirWidgetsToo) {
  startuptest::ProgramFolder folder;
  folder.SetEnv("TRILLOT_LANG", "zh_CN");
  const std::string shots = folder.RuntimeDir() + "/shots";
  folder.SetEnv("TRILLOT_SCREENSHOTS", shots);
  folder.SetEnv("QT_QPA_PLATFORM", "offscreen");
  const auto run = startuptest::RunProgram(folder, {});
  ASSERT_EQ(run.status, 0) << run.err;
  QFile fit(QString::fromStdString(shots + "/" + kFitReportFile));
  ASSERT_TRUE(fit.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString report = QString::fromUtf8(fit.readAll());
  EXPECT_TRUE(report.isEmpty()) << report.toStdString();
}

}  // namespace
