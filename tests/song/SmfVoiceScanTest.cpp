// The voice-usage scan with a fake voice-allocation checker.
#include "song/SmfVoiceScan.h"

#include <gtest/gtest.h>

#include <vector>

#include "SmfTestImages.h"
#include "app/CnvParam.h"
#include "platform/host/testing/FakeHost.h"
#include "song/SmfDialect.h"

namespace {

using smftest::Bytes;
using smftest::Track;

constexpr int kChecker = 19;

Bytes VoiceDefinition(uint8_t msb, uint8_t lsb, uint8_t program, uint8_t key, uint8_t type) {
  uint8_t head[] = {msb, lsb, program, key, type};
  Bytes block(16, 0);
  return MakePackedDialectMessage(kGroupDevice, kDeviceVoice, head, 5, block.data(), 16);
}

// A channel set to a bank and program, in mono mode, playing the given notes.
Track MonoChannel(uint8_t ch, uint8_t msb, uint8_t lsb, uint8_t program,
                  std::initializer_list<uint8_t> notes) {
  Track t;
  t.Event(0, {static_cast<uint8_t>(0xB0 | ch), 0, msb})
      .Event(0, {static_cast<uint8_t>(0xB0 | ch), 32, lsb})
      .Event(0, {static_cast<uint8_t>(0xC0 | ch), program})
      .Event(0, {static_cast<uint8_t>(0xB0 | ch), 126, 1});
  for (uint8_t note : notes) {
    t.Event(10, {static_cast<uint8_t>(0x90 | ch), note, 100})
        .Event(10, {static_cast<uint8_t>(0x80 | ch), note, 0});
  }
  return t;
}

struct Checker {
  platform::FakeHost host;
  uint32_t fmCount = 0, pcmCount = 0;
  uint32_t returned = 480;
  uint32_t extraFlags = 0;
  std::vector<uint32_t> flagsIn;

  Checker() {
    host.binder.plugins[kChecker].to = [this](CnvParam& p) {
      flagsIn.push_back(p.flags);
      EXPECT_EQ(p.dstSize, 2 * p.srcSize);
      p.flags |= (fmCount << 24) | (pcmCount << 16) | extraFlags;
      return returned;
    };
  }
};

struct ScanResult {
  uint32_t checkFlags, streamFlags, stop;
  int status;
};

ScanResult RunScan(const Track& t, int polyphonyMode = 0) {
  Bytes image = smftest::Image({t});
  CSmfVoiceScan scan;
  int status = -1;
  EXPECT_EQ(scan.Scan(image.data(), static_cast<uint32_t>(image.size()), polyphonyMode, &status), 1);
  return {scan.GetCheckFlags(), scan.GetStreamFlags(), scan.GetStopPosition(), status};
}

TEST(SmfVoiceScan, MonoChannelVoiceUseAndLimits) {
  Track pcmVoice = MonoChannel(2, 0x7C, 0, 5, {60});
  struct Case {
    const char* name;
    Track track;
    int mode;
    uint32_t fm, pcm;
    uint32_t checkFlags;
    bool checked;
  } cases[] = {
      {"GM bank FM under 17", MonoChannel(0, 0, 0, 0, {60}), 0, 16, 0, 0x09, true},
      {"GM bank FM at 17", MonoChannel(0, 0, 0, 0, {60}), 0, 17, 0, 0x19, true},
      {"32-voice mode allows 32 FM", MonoChannel(0, 0, 0, 0, {60}), 1, 32, 0, 0x09, true},
      {"32-voice mode limit", MonoChannel(0, 0, 0, 0, {60}), 1, 33, 0, 0x19, true},
      {"fixed FM bank", MonoChannel(0, 0x7C, 10, 3, {60}), 0, 17, 0, 0x19, true},
      {"GM kit note 52 is FM", MonoChannel(9, 0, 0, 0, {52}), 0, 0, 9, 0x09, true},
      {"GM kit note 51 is PCM", MonoChannel(9, 0, 0, 0, {51}), 0, 0, 9, 0x19, true},
      {"drum set 10 note 52 is PCM", MonoChannel(9, 0x7D, 0, 10, {52}), 0, 0, 9, 0x19, true},
      {"drum set 10 note 60 is FM", MonoChannel(9, 0x7D, 0, 10, {60}), 0, 0, 9, 0x09, true},
      {"PCM under 9", MonoChannel(9, 0x7D, 0, 10, {36}), 0, 0, 8, 0x09, true},
      {"only the first note after the program", MonoChannel(9, 0, 0, 0, {52, 36}), 0, 0, 9, 0x09,
       true},
      {"undefined user voice uses nothing", pcmVoice, 0, 17, 9, 0x08, false},
      {"other bank uses nothing", MonoChannel(0, 5, 0, 0, {60}), 0, 17, 9, 0x08, false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Checker checker;
    checker.fmCount = c.fm;
    checker.pcmCount = c.pcm;
    ScanResult r = RunScan(c.track, c.mode);
    EXPECT_EQ(r.checkFlags, c.checkFlags);
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(checker.flagsIn.size(), c.checked ? 1u : 0u);
    if (c.checked) {
      EXPECT_EQ(checker.flagsIn[0], c.mode == 1 ? 0x02u : 0u);
    }
  }
}

TEST(SmfVoiceScan, VoiceDefinitionsDecideUserVoices) {
  struct Case {
    const char* name;
    Bytes definition;
    uint8_t msb, program, note;
    uint32_t checkFlags;
  } cases[] = {
      {"melodic PCM voice", VoiceDefinition(0x7C, 0, 5, 0, 1), 0x7C, 5, 60, 0x19},
      {"melodic FM voice", VoiceDefinition(0x7C, 0, 5, 0, 0), 0x7C, 5, 60, 0x09},
      {"drum PCM voice on its key", VoiceDefinition(0x7D, 0, 3, 40, 1), 0x7D, 3, 40, 0x19},
      {"drum PCM voice on another key", VoiceDefinition(0x7D, 0, 3, 40, 1), 0x7D, 3, 41, 0x08},
      {"another program", VoiceDefinition(0x7C, 0, 6, 0, 1), 0x7C, 5, 60, 0x08},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Checker checker;
    checker.pcmCount = 9;
    Track t;
    t.Event(0, c.definition);
    t.Append(MonoChannel(1, c.msb, 0, c.program, {c.note}));
    Bytes image = smftest::Image({t});
    CSmfVoiceScan scan;
    scan.Scan(image.data(), static_cast<uint32_t>(image.size()), 0, nullptr);
    EXPECT_EQ(scan.GetCheckFlags(), c.checkFlags);
  }
}

TEST(SmfVoiceScan, CheckerFailuresAreReported) {
  Track mono = MonoChannel(0, 0, 0, 0, {60});
  {
    SCOPED_TRACE("missing checker");
    platform::FakeHost host;
    ScanResult r = RunScan(mono);
    EXPECT_EQ(r.status, CSmfVoiceScan::kStatusNoChecker);
    EXPECT_EQ(r.checkFlags, 0x08u);
  }
  {
    SCOPED_TRACE("error code");
    Checker checker;
    checker.returned = CNVERR_FORMAT;
    ScanResult r = RunScan(mono);
    EXPECT_EQ(static_cast<uint32_t>(r.status), CNVERR_FORMAT);
    EXPECT_EQ(r.checkFlags, 0x08u | 0x04u | 0x10u);
  }
  {
    SCOPED_TRACE("over the limit without an error code");
    Checker checker;
    checker.extraFlags = 0x08;
    ScanResult r = RunScan(mono);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.checkFlags, 0x08u | 0x02u | 0x10u);
  }
}

TEST(SmfVoiceScan, NoMonoModeNeverRunsTheChecker) {
  Checker checker;
  Track t;
  t.Event(0, {0xB0, 126, 0}).Event(0, {0x90, 60, 100}).Event(10, {0x80, 60, 0});
  ScanResult r = RunScan(t);
  EXPECT_EQ(r.checkFlags, 0u);
  EXPECT_TRUE(checker.flagsIn.empty());
}

TEST(SmfVoiceScan, StreamFlagsFollowTheWaveFormat) {
  struct Case {
    uint8_t flags;
    uint32_t streamFlags;
  } cases[] = {{0x00, 0}, {0x01, 0}, {0x22, 1}, {0x02, 1}, {0x03, 2}, {0x27, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.flags});
    uint8_t head[] = {1, c.flags};
    uint8_t data[] = {0x1F, 0x40, 1, 2};
    Track t;
    t.Event(0, MakePackedDialectMessage(kGroupDevice, kDeviceStreamWave, head, 2, data, 4));
    EXPECT_EQ(RunScan(t).streamFlags, c.streamFlags);
  }
}

TEST(SmfVoiceScan, StopPositionAgainstTheLastNoteRelease) {
  struct Case {
    const char* name;
    uint32_t stopDelta;  // after the note on at tick 0; the release is at tick 100
    uint32_t expected;
  } cases[] = {{"at the release", 100, 1}, {"after", 150, 1}, {"before", 99, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Track t;
    t.Event(0, {0x90, 60, 100});
    if (c.stopDelta < 100) {
      t.Meta(c.stopDelta, 0x07, "STOP").Event(100 - c.stopDelta, {0x90, 60, 0});
    } else {
      t.Event(100, {0x90, 60, 0}).Meta(c.stopDelta - 100, 0x07, "STOP");
    }
    EXPECT_EQ(RunScan(t).stop, c.expected);
  }
  Track none;
  none.Event(0, {0x90, 60, 100});
  EXPECT_EQ(RunScan(none).stop, 0u);
}

TEST(SmfVoiceScan, UnreadableImageGivesStatusTwo) {
  Checker checker;
  Track runningStatus;
  runningStatus.Event(0, {0xB0, 126, 1}).Event(0, {0x90, 60, 100}).Event(0, {61, 100});
  ScanResult r = RunScan(runningStatus);
  EXPECT_EQ(r.status, CSmfVoiceScan::kStatusUnreadable);
  EXPECT_EQ(r.checkFlags, 0u);
  EXPECT_TRUE(checker.flagsIn.empty());
  // The track has no end-of-track event: every cut leaves it short of its declared length, so
  // every cut is unreadable, and only the whole image is read.
  Bytes valid = smftest::Image({MonoChannel(0, 0, 0, 0, {60})});
  for (size_t n = 0; n <= valid.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes cut(valid.begin(), valid.begin() + static_cast<ptrdiff_t>(n));
    CSmfVoiceScan scan;
    int status = -1;
    EXPECT_EQ(scan.Scan(cut.data(), static_cast<uint32_t>(cut.size()), 0, &status), 1);
    EXPECT_EQ(status, n < valid.size() ? CSmfVoiceScan::kStatusUnreadable : 0);
  }
}

}  // namespace
