// The voice-allocation check without a window: the flag word, the decoding of the result and
// the call over a recording binder.
#include "app/core/PolyscanRules.h"

#include <gtest/gtest.h>

#include "app/CnvParam.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"

namespace {

TEST(PolyscanRules, FlagsByModeSettingModeAndOutputFile) {
  struct Case {
    int setting, mode;
    bool file;
    uint32_t flags;
  };
  const Case cases[] = {{0, 0, false, 0x00},  {1, 0, false, 0x02}, {2, 0, false, 0x0A}, {7, 0, false, 0x00},
                        {0, 1, false, 0x08},  {1, 1, false, 0x0A}, {0, 0, true, 0x8000}, {1, 1, true, 0x800A},
                        {2, 1, true, 0x800A}};
  for (const Case& c : cases)
    EXPECT_EQ(PolyscanFlags(c.setting, c.mode, c.file), c.flags) << c.setting << " " << c.mode << " " << c.file;
}

TEST(PolyscanRules, DecodesOverOkAndError) {
  auto ms = [](uint32_t tick) { return tick * 2; };
  EXPECT_EQ(DecodePolyscanResult(960, 0x0C050008, 0, ms), (PolyscanResult{"Over", "1920", "12", "5"}));
  EXPECT_EQ(DecodePolyscanResult(960, 0x0C050000, 0, ms), (PolyscanResult{"OK", "", "", ""}));
  EXPECT_EQ(DecodePolyscanResult(960, 0x0C050000, 1, ms), (PolyscanResult{"OK", "1920", "12", "5"}));
  EXPECT_EQ(DecodePolyscanResult(CNVERR_FAILED, 0x0C050008, 1, ms), (PolyscanResult{"Error", "", "", ""}));
  EXPECT_EQ(DecodePolyscanResult(CNVERR_PARAM, 0, 0, ms), (PolyscanResult{"Error", "", "", ""}));
}

TEST(PolyscanRules, NoSongLeavesEveryFieldEmptyAndCallsNothing) {
  platform::FakeHost host;
  EXPECT_EQ(RunPolyscanCheck(nullptr, 0, 1, false, host.binder), PolyscanResult{});
  EXPECT_TRUE(host.binder.calls.empty());
}

TEST(PolyscanRules, SongWithoutNativeDataLeavesEveryFieldEmpty) {
  platform::FakeHost host;
  host.settings.chipMode = 3;
  CKZ1Doc empty;
  EXPECT_EQ(RunPolyscanCheck(&empty, 0, 1, false, host.binder), PolyscanResult{});
  EXPECT_TRUE(host.binder.calls.empty());
}

}  // namespace
