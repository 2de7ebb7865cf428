// The voice-allocation check dialog, offscreen, over a recording binder and the real checker.
#include "TestPaths.h"
#include "app/ui/PolyscanDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/CnvParam.h"
#include "app/core/ConverterBinder.h"
#include "app/core/PolyscanRules.h"
#include "app/core/SettingKeys.h"
#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "tools/demosong/DemoSong.h"
#include "uikit/DialogTemplate.h"

namespace {

QString Field(const QWidget* d, int id) { return ui::item<QLineEdit>(d, id)->text(); }

/// The demo song opened through Midigate beside the program, as the screenshots open it.
class PolyscanFixture : public testing::Test {
 protected:
  void SetUp() override {
    host.settings.chipMode = 3;
    host.settings.outputProfile = 2;
    host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
    host.registry.voiceLibrary = &library;
    ASSERT_TRUE(library.LoadDefaultVoices());
    services = platform::host();
    services.binder = &realBinder;
    scope = std::make_unique<platform::ScopedHost>(services);
    const std::string path = dir.path().toStdString() + "/demo.mid";
    ASSERT_TRUE(demosong::Write(path));
    ASSERT_EQ(doc.OpenWithChannelMask(path, 0xFFFF, 24), 1);
    host.registry.document = &doc;
  }
  void TearDown() override { host.registry.document = nullptr; }

  platform::FakeHost host;
  CVoiceLibrary library;
  ConverterBinder realBinder;
  platform::HostServices services;
  std::unique_ptr<platform::ScopedHost> scope;
  QTemporaryDir dir;
  CKZ1Doc doc;
};

TEST_F(PolyscanFixture, RecordingBinderGetsTheFlagsAndTheResultIsDecoded) {
  platform::FakeBinder binder;
  std::vector<uint32_t> flagsSeen;
  uint32_t sourceSize = 0;
  binder.plugins[19].to = [&](CnvParam& p) -> uint32_t {
    flagsSeen.push_back(p.flags);
    sourceSize = p.srcSize;
    p.flags = 0x0C050008;
    return 960;
  };
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 1);
  CPolyscanDlg d(nullptr, &binder);
  ASSERT_TRUE(ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->isEnabled());
  ui::item<QComboBox>(&d, CPolyscanDlg::kMode)->setCurrentIndex(1);
  ui::item<QCheckBox>(&d, CPolyscanDlg::kOutputFile)->setChecked(true);
  ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->click();
  ASSERT_EQ(flagsSeen, std::vector<uint32_t>{0x800A});
  EXPECT_GT(sourceSize, 0u);
  EXPECT_EQ(Field(&d, CPolyscanDlg::kResult), "Over");
  EXPECT_EQ(Field(&d, CPolyscanDlg::kTime), QString::number(doc.TickToMsByMap(960, 2)));
  EXPECT_EQ(Field(&d, CPolyscanDlg::kFm), "12");
  EXPECT_EQ(Field(&d, CPolyscanDlg::kPcm), "5");

  // A failing call, pressed a second time: only the second result shows.
  binder.plugins[19].to = [](CnvParam&) -> uint32_t { return CNVERR_FAILED; };
  ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->click();
  EXPECT_EQ(Field(&d, CPolyscanDlg::kResult), "Error");
  EXPECT_EQ(Field(&d, CPolyscanDlg::kTime), "");
  EXPECT_EQ(Field(&d, CPolyscanDlg::kFm), "");
}

TEST_F(PolyscanFixture, RealCheckerShowsWhatADirectCallGives) {
  CPolyscanDlg d;
  ASSERT_TRUE(ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->isEnabled());
  ui::item<QComboBox>(&d, CPolyscanDlg::kMode)->setCurrentIndex(1);
  ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->click();

  CMemStream native;
  ASSERT_EQ(doc.makeKZ3NativeFormat(native, 0, 0), 1);
  CnvParam p{};
  p.flags = PolyscanFlags(0, 1, false);
  p.src = native.GetData();
  p.srcSize = static_cast<uint32_t>(native.GetSize());
  const uint32_t result = realBinder.Convert(p, 19, 1);
  ASSERT_LT(result, CNVERR_FAILED);
  const PolyscanResult direct = DecodePolyscanResult(result, p.flags, 1, [this](uint32_t t) { return doc.TickToMsByMap(t, 2); });
  EXPECT_EQ(Field(&d, CPolyscanDlg::kResult).toStdString(), direct.result);
  EXPECT_EQ(Field(&d, CPolyscanDlg::kTime).toStdString(), direct.time);
  EXPECT_EQ(Field(&d, CPolyscanDlg::kFm).toStdString(), direct.fm);
  EXPECT_EQ(Field(&d, CPolyscanDlg::kPcm).toStdString(), direct.pcm);
  EXPECT_FALSE(direct.fm.empty());
}

TEST_F(PolyscanFixture, CheckerThatThrowsShowsError) {
  // The song is open; the checker of this folder throws from its CnvTo.
  host.settings.appDir = std::string(TRILLOT_THROWING_CHECKER_DIR) + "/";
  CPolyscanDlg d;
  ASSERT_TRUE(ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->isEnabled());
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    ui::item<QComboBox>(&d, CPolyscanDlg::kMode)->setCurrentIndex(mode);
    ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->click();
    EXPECT_EQ(Field(&d, CPolyscanDlg::kResult), "Error");
    EXPECT_EQ(Field(&d, CPolyscanDlg::kTime), "");
    EXPECT_EQ(Field(&d, CPolyscanDlg::kFm), "");
    EXPECT_EQ(Field(&d, CPolyscanDlg::kPcm), "");
  }
}

TEST(CPolyscanDlg, ProgramFolderWithoutTheCheckerDisablesCheck) {
  platform::FakeHost host;
  QTemporaryDir empty;
  host.settings.appDir = empty.path().toStdString() + "/";
  ConverterBinder binder;
  CPolyscanDlg d(nullptr, &binder);
  EXPECT_FALSE(ui::item<QPushButton>(&d, CPolyscanDlg::kCheck)->isEnabled());
  EXPECT_EQ(ui::item<QComboBox>(&d, CPolyscanDlg::kMode)->count(), 2);
  EXPECT_EQ(ui::item<QComboBox>(&d, CPolyscanDlg::kMode)->currentIndex(), 0);
}

}  // namespace
