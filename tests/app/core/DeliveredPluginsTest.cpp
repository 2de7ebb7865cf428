// The binder against the plug-ins the build puts beside the program: a plain SMF goes in
// through Midigate, the song data it gives back is checked by Polyscan and goes through
// Velkgate to a VELK image and back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/ConverterDll.h"
#include "platform/host/testing/FakeHost.h"

namespace {

// Format 0, division 480: program 0 on channel 0, then four notes of a beat, one at a time.
std::vector<uint8_t> FourNoteSmf() {
  std::vector<uint8_t> track = {0x00, 0xC0, 0x00};
  for (uint8_t note : {60, 62, 64, 65}) {
    const uint8_t on[] = {0x00, 0x90, note, 100, 0x83, 0x60, 0x80, note, 0x40};
    track.insert(track.end(), std::begin(on), std::end(on));
  }
  const uint8_t end[] = {0x00, 0xFF, 0x2F, 0x00};
  track.insert(track.end(), std::begin(end), std::end(end));
  std::vector<uint8_t> smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                              'M', 'T', 'r', 'k'};
  uint32_t n = static_cast<uint32_t>(track.size());
  for (int shift : {24, 16, 8, 0}) smf.push_back(static_cast<uint8_t>(n >> shift));
  smf.insert(smf.end(), track.begin(), track.end());
  return smf;
}

class DeliveredPlugins : public ::testing::Test {
 protected:
  DeliveredPlugins() { m_host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/"; }
  platform::FakeHost m_host;
};

TEST_F(DeliveredPlugins, AreFoundBesideTheProgramWithTheirVersions) {
  CConverterDll dll;
  EXPECT_EQ(dll.IsAvailable(7, 0), 1);
  EXPECT_EQ(dll.IsAvailable(7, 1), 1);
  EXPECT_EQ(dll.IsAvailable(19, 1), 1);
  std::string text;
  dll.GetVersionText(7, text);
  EXPECT_EQ(text, "2.9.7");
  EXPECT_EQ(dll.GetVersion(19) & 0xFFFF, 0x1410u);
  EXPECT_EQ(dll.IsAvailable(8, 0), 1);
  EXPECT_EQ(dll.IsAvailable(8, 1), 1);
  dll.GetVersionText(8, text);
  EXPECT_EQ(text, "2.9.7");
  m_host.settings.chipMode = 5;
  EXPECT_EQ(dll.IsAvailable(19, 1), 1);
}

TEST_F(DeliveredPlugins, ImportedSongDataPassesTheVoiceCheck) {
  std::vector<uint8_t> smf = FourNoteSmf();
  std::vector<uint8_t> songData(smf.size() * 8 + 4096);
  CnvParam in{};
  in.src = smf.data();
  in.srcSize = static_cast<uint32_t>(smf.size());
  in.dst = songData.data();
  in.dstSize = static_cast<uint32_t>(songData.size());
  CConverterDll midigate;
  uint32_t written = midigate.Convert(&in, 20, 7, 0);
  ASSERT_TRUE(IsConvertSuccess(written)) << std::hex << written;
  ASSERT_LE(written, songData.size());
  EXPECT_EQ(std::string(songData.begin(), songData.begin() + 4), "MThd");

  CnvParam check{};
  check.src = songData.data();
  check.srcSize = written;
  CConverterDll polyscan;
  // Within the limits and without the peak option no point is reported.
  EXPECT_EQ(polyscan.Convert(&check, 20, 19, 1), 0u);
  EXPECT_EQ(check.flags & CNVF_CHECK_OVER, 0u);

  // The peak is one FM voice, first reached by the note at tick 0.
  check.flags = CNVF_CHECK_PEAK;
  EXPECT_EQ(polyscan.Convert(&check, 20, 19, 1), 1u);
  EXPECT_EQ(CheckFmCount(check.flags), 1u);
  EXPECT_EQ(CheckPcmCount(check.flags), 0u);
}

TEST_F(DeliveredPlugins, VelkgateConvertsSongDataToAVelkImageAndBack) {
  std::vector<uint8_t> smf = FourNoteSmf();
  std::vector<uint8_t> songData(smf.size() * 8 + 4096);
  CnvParam in{};
  in.src = smf.data();
  in.srcSize = static_cast<uint32_t>(smf.size());
  in.dst = songData.data();
  in.dstSize = static_cast<uint32_t>(songData.size());
  uint32_t written = CConverterDll().Convert(&in, 20, 7, 0);
  ASSERT_TRUE(IsConvertSuccess(written)) << std::hex << written;

  std::vector<uint8_t> image(65536);
  CnvParam save{};
  save.flags = 0x20;
  save.src = songData.data();
  save.srcSize = written;
  save.dst = image.data();
  save.dstSize = static_cast<uint32_t>(image.size());
  uint32_t saved = CConverterDll().Convert(&save, 20, 8, 1);
  ASSERT_TRUE(IsConvertSuccess(saved)) << std::hex << saved;
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "MMMD");

  std::vector<uint8_t> reopened(saved * 4 + 4096);
  CnvParam open{};
  open.src = image.data();
  open.srcSize = saved;
  open.dst = reopened.data();
  open.dstSize = static_cast<uint32_t>(reopened.size());
  uint32_t read = CConverterDll().Convert(&open, 20, 8, 0);
  ASSERT_TRUE(IsConvertSuccess(read)) << std::hex << read;
  EXPECT_EQ(std::string(reopened.begin(), reopened.begin() + 4), "MThd");
  EXPECT_EQ(open.flags & 0x70000000u, 0u);  // the tag it wrote checks valid
}

}  // namespace
