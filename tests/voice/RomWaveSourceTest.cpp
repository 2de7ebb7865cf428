#include "TestPaths.h"
#include "voice/RomWaveSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "WaveFiles.h"
#include "platform/host/testing/FakeHost.h"
#include "voice/Adpcm.h"

namespace {

using wavetest::Bytes;

TEST(RomWaveSource, TableGivesEachWaveItsResourceAndPoints) {
  const int resources[] = {2621, 2623, 2624, 2619, 2620, 2622, 2618};
  const uint16_t endPoints[] = {937, 2971, 3525, 1239, 3323, 4800, 5595};
  for (int id = 0; id < RomWaveSource::kCount; ++id) {
    ASSERT_NE(RomWaveSource::Info(id), nullptr);
    EXPECT_EQ(RomWaveSource::Info(id)->resourceId, resources[id]);
    EXPECT_EQ(RomWaveSource::Info(id)->endPoint, endPoints[id]);
  }
  EXPECT_EQ(RomWaveSource::Info(5)->fs, 16000);
  EXPECT_EQ(RomWaveSource::Info(5)->loopPoint, 1594);
  EXPECT_STREQ(RomWaveSource::Info(6)->name, "Crash Cymbal");
  EXPECT_EQ(RomWaveSource::Info(-1), nullptr);
  EXPECT_EQ(RomWaveSource::Info(7), nullptr);
  EXPECT_EQ(RomWaveSource::FileName(2618), "rom/2618.bin");
}

TEST(RomWaveSource, ReadsTheFileOfTheWaveIdOrNothing) {
  platform::FakeHost host;
  wavetest::TempFile folder({}, "unused");
  host.settings.appDir = folder.Dir();
  EXPECT_TRUE(RomWaveSource::Read(0).empty());
  std::filesystem::create_directory(folder.Dir() + "/ROM");
  const auto write = [&](const std::string& name, const Bytes& bytes) {
    std::FILE* f = std::fopen((folder.Dir() + "/ROM/" + name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  };
  write("2621.BIN", {1, 2, 3});
  write("2623.bin", {});
  EXPECT_EQ(RomWaveSource::Read(0), (Bytes{1, 2, 3}));
  EXPECT_TRUE(RomWaveSource::Read(1).empty());
  EXPECT_TRUE(RomWaveSource::Read(2).empty());
  EXPECT_TRUE(RomWaveSource::Read(7).empty());
  EXPECT_TRUE(RomWaveSource::Read(-1).empty());
}

TEST(RomWaveSource, GeneratedWavesHoldTheirEndPointAndFadeToSilence) {
  platform::FakeHost host;
  host.settings.appDir = TRILLOT_BIN_DIR;
  const size_t sizes[] = {469, 1486, 1763, 620, 1662, 2400, 2798};
  for (int id = 0; id < RomWaveSource::kCount; ++id) {
    SCOPED_TRACE(id);
    const Bytes wave = RomWaveSource::Read(id);
    ASSERT_GE(wave.size(), sizes[id]);
    std::vector<int16_t> samples(wave.size() * 2);
    AdpcmDecode(wave.data(), samples.data(), int32_t(wave.size()));
    int loudest = 0;
    for (int16_t s : samples) loudest = std::max(loudest, std::abs(int(s)));
    EXPECT_GT(loudest, 4000);
    int tail = 0;
    for (size_t i = samples.size() * 9 / 10; i < samples.size(); ++i) tail = std::max(tail, std::abs(int(samples[i])));
    EXPECT_LT(tail, 100);
  }
}

}  // namespace
