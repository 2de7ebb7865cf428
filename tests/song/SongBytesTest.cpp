// The song image and its hand-over to the voice-allocation checker.
#include "song/SongBytes.h"

#include <gtest/gtest.h>

#include "app/CnvParam.h"
#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"

namespace {

void FillImage(CSongBytes& bytes, uint32_t n) {
  CMemStream s;
  for (uint32_t i = 0; i < n; ++i) s.WriteByte(static_cast<uint8_t>(i));
  EXPECT_EQ(bytes.CopyFrom(s), n);
}

TEST(SongBytes, CopyFromTakesEveryByte) {
  CSongBytes bytes;
  FillImage(bytes, 5);
  EXPECT_EQ(bytes.GetSize(), 5u);
  EXPECT_EQ(bytes.GetLength(), 5u);
  EXPECT_EQ(bytes.GetData()[4], 4);
  EXPECT_NE(bytes.Alloc(3), nullptr);
  EXPECT_EQ(bytes.GetSize(), 3u);
  EXPECT_EQ(bytes.GetLength(), 0u);
  bytes.Free();
  EXPECT_EQ(bytes.GetData(), nullptr);
  EXPECT_EQ(bytes.GetSize(), 0u);
}

TEST(SongBytes, EmptyImageNeverCallsTheChecker) {
  platform::FakeHost host;
  host.binder.plugins[kConverterVoiceChecker].to = [](CnvParam&) { return 1u; };
  CSongBytes bytes;
  int fm = -1, pcm = -1, status = -1;
  uint32_t result = 99;
  EXPECT_EQ(bytes.CheckVoiceAllocation(0, 0, fm, pcm, &status, &result), 0);
  EXPECT_TRUE(host.binder.calls.empty());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(result, 0u);
}

TEST(SongBytes, MissingCheckerGivesStatusThree) {
  platform::FakeHost host;
  CSongBytes bytes;
  FillImage(bytes, 4);
  int fm = 0, pcm = 0, status = 0;
  uint32_t result = 99;
  EXPECT_EQ(bytes.CheckVoiceAllocation(0, 0, fm, pcm, &status, &result), 0);
  EXPECT_EQ(status, 3);
  EXPECT_EQ(result, 0u);
}

TEST(SongBytes, HandsTheImageOverAndReadsTheCounts) {
  struct Case {
    const char* name;
    int polyphony, option;
    uint32_t flagsIn;
    uint32_t returned;
    uint32_t flagsOut;
    int expected, fm, pcm;
  };
  const Case cases[] = {
      {"within limits", 0, 0, 0x00, 120, 0x11080000, 1, 0x11, 0x08},
      {"polyphony mode 1 and option 1", 1, 1, 0x0A, 0, 0x02030000, 1, 2, 3},
      {"over the limit", 1, 0, 0x02, 7, 0x21090008, 0, 0x21, 9},
      {"plug-in error", 0, 0, 0x00, CNVERR_FORMAT, 0x21090000, 0, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::FakeHost host;
    CSongBytes bytes;
    FillImage(bytes, 10);
    CnvParam seen{};
    host.binder.plugins[kConverterVoiceChecker].to = [&](CnvParam& p) {
      seen = p;
      p.flags = c.flagsOut;
      return c.returned;
    };
    int fm = -1, pcm = -1, status = -1;
    uint32_t result = 0;
    EXPECT_EQ(bytes.CheckVoiceAllocation(c.polyphony, c.option, fm, pcm, &status, &result), c.expected);
    ASSERT_EQ(host.binder.calls.size(), 1u);
    EXPECT_EQ(host.binder.calls[0], (std::pair<int, int>{19, 1}));
    EXPECT_EQ(seen.flags, c.flagsIn);
    EXPECT_EQ(seen.src, bytes.GetData());
    EXPECT_EQ(seen.srcSize, 10u);
    EXPECT_NE(seen.dst, nullptr);
    EXPECT_EQ(seen.dstSize, 20u);
    EXPECT_EQ(result, c.returned);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fm, c.fm);
    EXPECT_EQ(pcm, c.pcm);
  }
}

TEST(SongBytes, OutPointersMayBeOmitted) {
  platform::FakeHost host;
  host.binder.plugins[kConverterVoiceChecker].to = [](CnvParam& p) {
    p.flags = 0x01010000;
    return 0u;
  };
  CSongBytes bytes;
  FillImage(bytes, 2);
  int fm = 0, pcm = 0;
  EXPECT_EQ(bytes.CheckVoiceAllocation(0, 0, fm, pcm, nullptr, nullptr), 1);
  EXPECT_EQ(fm, 1);
}

}  // namespace
