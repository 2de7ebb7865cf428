// The voice-allocation check of a song image through the real binder and the plug-ins it loads:
// a checker that throws is a failure, the delivered checker's 0 ("no point reported") a success.
#include "TestPaths.h"
#include "song/SongBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/CnvParam.h"
#include "app/core/ConverterBinder.h"
#include "platform/host/testing/FakeHost.h"
#include "song/SmfVoiceScan.h"
#include "tests/song/SmfTestImages.h"

namespace {

// Channel 1 plays one FM note in mono mode, so the voice scan hands the image to the checker.
smftest::Bytes MonoSong() {
  smftest::Track t;
  t.Event(0, {0xB0, 0, 0})
      .Event(0, {0xB0, 32, 0})
      .Event(0, {0xC0, 0})
      .Event(0, {0xB0, 126, 1})
      .Event(10, {0x90, 60, 100})
      .Event(10, {0x80, 60, 0})
      .EndOfTrack();
  return smftest::Image({t});
}

// Chip mode 3 with the program folder given, plug-ins loaded by the real binder.
class CheckerFolder {
 public:
  explicit CheckerFolder(const std::string& dir) {
    host.settings.chipMode = 3;
    host.settings.appDir = dir + "/";
    services = platform::host();
    services.binder = &binder;
    scope = std::make_unique<platform::ScopedHost>(services);
  }

 private:
  platform::FakeHost host;
  ConverterBinder binder;
  platform::HostServices services;
  std::unique_ptr<platform::ScopedHost> scope;
};

struct Check {
  int returned;
  uint32_t result;
  int status;
};

Check CheckIn(const std::string& dir) {
  CheckerFolder folder(dir);
  const smftest::Bytes image = MonoSong();
  CSongBytes bytes;
  std::copy(image.begin(), image.end(), bytes.Alloc(static_cast<uint32_t>(image.size())));
  int fm = -1, pcm = -1, status = -1;
  uint32_t result = 99;
  const int returned = bytes.CheckVoiceAllocation(0, 0, fm, pcm, &status, &result);
  return {returned, result, status};
}

TEST(SongBytesChecker, ThrowingCheckerGivesTheGeneralFailureAndTheDeliveredOneSucceeds) {
  const Check thrown = CheckIn(TRILLOT_THROWING_CHECKER_DIR);
  EXPECT_EQ(thrown.returned, 0);
  EXPECT_EQ(thrown.result, CNVERR_FAILED);
  EXPECT_EQ(thrown.status, 0);

  const Check delivered = CheckIn(TRILLOT_BIN_DIR);
  EXPECT_EQ(delivered.returned, 1);
  EXPECT_EQ(delivered.result, 0u);
  EXPECT_EQ(delivered.status, 0);
}

TEST(SongBytesChecker, VoiceScanReportsAThrowingCheckerAsTheChecksError) {
  struct Case {
    const char* name;
    std::string dir;
    uint32_t flags;
    int status;
  };
  const Case cases[] = {
      {"throwing checker", TRILLOT_THROWING_CHECKER_DIR,
       CSmfVoiceScan::kCheckMonoMode | CSmfVoiceScan::kCheckError | CSmfVoiceScan::kCheckOverLimit,
       static_cast<int>(CNVERR_FAILED)},
      {"delivered checker", TRILLOT_BIN_DIR, CSmfVoiceScan::kCheckMonoMode | CSmfVoiceScan::kCheckRan, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CheckerFolder folder(c.dir);
    const smftest::Bytes image = MonoSong();
    CSmfVoiceScan scan;
    int status = -1;
    EXPECT_EQ(scan.Scan(image.data(), static_cast<uint32_t>(image.size()), 0, &status), 1);
    EXPECT_EQ(scan.GetCheckFlags(), c.flags);
    EXPECT_EQ(status, c.status);
  }
}

}  // namespace
