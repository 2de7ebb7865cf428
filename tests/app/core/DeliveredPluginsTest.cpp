// The binder against the plug-ins the build puts beside the program: a plain SMF goes in
// through Midigate, the song data it gives back is checked by Polyscan and goes through
// Velkgate to a VELK image and back.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "app/core/ConverterBinder.h"
#include "app/core/ConverterDll.h"
#include "app/core/ConverterReportService.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "velk/Crc16.h"

namespace {

// Format 0, division 480: program 0 on channel 0, then four notes of a beat, one at a time;
// with cues, the song starts on the second note and stops on the fourth.
std::vector<uint8_t> FourNoteSmf(bool cues = false) {
  std::vector<uint8_t> track = {0x00, 0xC0, 0x00};
  for (uint8_t note : {60, 62, 64, 65}) {
    if (cues && note == 62) track.insert(track.end(), {0x00, 0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'});
    if (cues && note == 65) track.insert(track.end(), {0x00, 0xFF, 0x07, 0x04, 'S', 'T', 'O', 'P'});
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

// What a reopened song must keep: its notes (time in milliseconds, key, channel) in order,
// the voices of its slots by address and its cue points in milliseconds.
struct SongFacts {
  std::vector<std::tuple<uint32_t, int, int>> notes;
  std::set<std::tuple<int, int, int, int>> voices;
  std::vector<uint32_t> cues;
};

SongFacts FactsOf(const CKZ1Doc& d) {
  SongFacts f;
  for (const auto& m : *d.GetMidiList()) {
    if (m->GetLength() >= 3 && (m->GetByte(0) & 0xF0) == 0x90 && m->GetByte(2) != 0) {
      f.notes.emplace_back(d.TickToMsByMap(m->GetTick(), 0), m->GetByte(1), m->GetByte(0) & 0x0F);
    }
  }
  const CVoiceAssignTable& table = d.GetVoiceAssignTable();
  for (int i = 0; i < CVoiceAssignTable::kSlotCount; ++i) {
    if (table.GetProgram(i) == CVoiceAssignTable::kUnset) continue;
    f.voices.emplace(table.GetBankMsb(i), table.GetBankLsb(i), table.GetProgram(i), table.GetNote(i));
  }
  for (int k : {CKZ1Doc::kStartCue, CKZ1Doc::kStopCue}) {
    const uint32_t tick = d.GetCuePoint(k);
    f.cues.push_back(tick == CKZ1Doc::kNoCue ? tick : d.TickToMsByMap(tick, 0));
  }
  return f;
}

TEST_F(DeliveredPlugins, SavedVelkSongReopensWithItsNotesVoicesAndCues) {
  m_host.settings.chipMode = 3;
  m_host.settings.outputProfile = 2;
  CVoiceLibrary library;
  ASSERT_TRUE(library.LoadDefaultVoices());
  m_host.registry.voiceLibrary = &library;
  ConverterBinder binder;
  ConverterReportService reports;
  platform::HostServices services = platform::host();
  services.binder = &binder;
  services.reports = &reports;
  platform::ScopedHost scope(services);

  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("trillot_velk_round_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::vector<uint8_t> smf = FourNoteSmf(true);
  std::ofstream((dir / "song.mid").string(), std::ios::binary)
      .write(reinterpret_cast<const char*>(smf.data()), static_cast<std::streamsize>(smf.size()));

  CKZ1Doc song;
  ASSERT_EQ(song.OpenWithChannelMask((dir / "song.mid").string(), 0xFFFF, 24), 1);
  const SongFacts before = FactsOf(song);
  EXPECT_EQ(before.cues, (std::vector<uint32_t>{500, 1500}));
  ASSERT_EQ(before.notes.size(), 4u);
  ASSERT_FALSE(before.voices.empty());

  const std::string path = (dir / "song.mmf").string();
  ASSERT_EQ(song.SaveDocument(path), 1);
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> image{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(image.size(), 4u);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "MMMD");
  const auto n = static_cast<uint32_t>(image.size());
  EXPECT_EQ(VelkCrc16(n - 2, image.data()), (image[n - 2] << 8) | image[n - 1]);

  CKZ1Doc reopened;
  ASSERT_EQ(reopened.OpenWithOptions(path, 200, 0), 1);
  const SongFacts after = FactsOf(reopened);
  ASSERT_EQ(after.notes.size(), before.notes.size());
  for (size_t i = 0; i < before.notes.size(); ++i) {
    SCOPED_TRACE(i);
    const auto [t0, key0, ch0] = before.notes[i];
    const auto [t1, key1, ch1] = after.notes[i];
    EXPECT_EQ(key1, key0);
    EXPECT_EQ(ch1, ch0);
    EXPECT_LE(t1 > t0 ? t1 - t0 : t0 - t1, 4u);
  }
  EXPECT_EQ(after.voices, before.voices);
  ASSERT_EQ(after.cues.size(), before.cues.size());
  for (size_t i = 0; i < before.cues.size(); ++i) {
    EXPECT_LE(after.cues[i] > before.cues[i] ? after.cues[i] - before.cues[i] : before.cues[i] - after.cues[i], 4u);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
