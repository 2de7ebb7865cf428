// The list against the delivered plug-ins, loaded from the build's program folder: what it
// writes passes Polyscan's check and Midigate's export, and it reads what Midigate imports.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "platform/dynlib/DynamicLibrary.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "tests/song/SmfTestImages.h"
#include "tests/song/midilist/MidiListTestSupport.h"

namespace midilisttest {
namespace {

class MidiListPlugins : public ::testing::Test {
 protected:
  void SetUp() override {
    m_host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
    ASSERT_TRUE(m_midigate.Open(std::string(TRILLOT_BIN_DIR) + "/Midigate.so")) << m_midigate.LastError();
    ASSERT_TRUE(m_polyscan.Open(std::string(TRILLOT_BIN_DIR) + "/Polyscan.so")) << m_polyscan.LastError();
  }

  /// A song of two channels: an FM voice of the song and notes that overlap by two.
  Bytes WrittenSong() {
    CMidiList midi;
    auto* item = new CVoiceItem();
    item->SetBankMsb(0x7C);
    item->SetProgram(3);
    item->SetAlgorithm(0);
    midi.GetSongSetup().SetVoiceItem(0, item);
    m_song.Add(0, MakeCueMeta("START"), 0, 8);
    m_song.Add(0, {0xB0, 0x00, 0x7C});
    m_song.Add(0, {0xB0, 0x20, 0x00});
    m_song.Add(0, {0xC0, 0x03});
    m_song.Add(0, {0xC1, 0x00});
    for (uint32_t i = 0; i < 8; ++i) {
      m_song.Add(i * 240, {0x90, static_cast<uint8_t>(60 + i), 100}, i * 240 + 480);
      m_song.Add(i * 240, {0x91, static_cast<uint8_t>(48 + i), 90}, i * 240 + 120);
    }
    m_song.Add(2400, MakeCueMeta("STOP"), 2400, 9);
    int result = 0;
    Bytes image = Write(midi, m_song.list, m_none.list, nullptr, &result);
    EXPECT_EQ(result, 1);
    return image;
  }

  uint32_t Call(platform::DynamicLibrary& lib, const char* entry, CnvParam& param) {
    auto fn = lib.Function<CnvEntryFunc>(entry);
    EXPECT_NE(fn, nullptr) << entry;
    return fn ? fn(&param, kCnvParamSize) : 0;
  }

  platform::FakeHost m_host;
  platform::DynamicLibrary m_midigate;
  platform::DynamicLibrary m_polyscan;
  EventList m_song, m_none;
};

TEST_F(MidiListPlugins, AWrittenSongPassesTheVoiceCheck) {
  Bytes song = WrittenSong();
  CnvParam check{};
  check.src = song.data();
  check.srcSize = static_cast<uint32_t>(song.size());
  check.flags = CNVF_CHECK_PEAK;
  uint32_t result = Call(m_polyscan, "CnvTo", check);
  ASSERT_LT(result, CNVERR_FAILED) << std::hex << result;
  EXPECT_EQ(check.flags & CNVF_CHECK_OVER, 0u);
  // At the peak the two channels sound three notes at once.
  EXPECT_EQ(CheckFmCount(check.flags), 3u);
}

TEST_F(MidiListPlugins, AWrittenSongExportsThroughMidigate) {
  Bytes song = WrittenSong();
  Bytes smf(song.size() * 4 + 1024);
  CnvParam param{};
  param.src = song.data();
  param.srcSize = static_cast<uint32_t>(song.size());
  param.dst = smf.data();
  param.dstSize = static_cast<uint32_t>(smf.size());
  uint32_t written = Call(m_midigate, "CnvTo", param);
  ASSERT_TRUE(IsConvertSuccess(written)) << std::hex << written;
  smf.resize(written);
  int notes = 0;
  for (const TrackEvent& e : TrackEvents(smf)) notes += (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] != 0;
  EXPECT_EQ(notes, 16);
}

TEST_F(MidiListPlugins, MidigatesImportReadsWithItsNotes) {
  smftest::Track t;
  t.Event(0, {0xC0, 0x00});
  for (uint8_t note : {60, 62, 64, 65}) t.Event(0, {0x90, note, 100}).Event(480, {0x80, note, 0x40});
  t.EndOfTrack();
  Bytes smf = smftest::Image({t});
  Bytes songData(smf.size() * 8 + 4096);
  CnvParam param{};
  param.src = smf.data();
  param.srcSize = static_cast<uint32_t>(smf.size());
  param.dst = songData.data();
  param.dstSize = static_cast<uint32_t>(songData.size());
  uint32_t written = Call(m_midigate, "CnvFrom", param);
  ASSERT_TRUE(IsConvertSuccess(written)) << std::hex << written;
  songData.resize(written);
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, songData, &flags), 1);
  EXPECT_LT(flags, 0x80000000u);
  std::vector<std::pair<uint32_t, uint32_t>> notes;
  for (const CSeqEvent* e : Events(midi.GetSongList())) {
    if ((e->GetDataByte(0) & 0xF0) == 0x90) notes.emplace_back(e->GetDataByte(1), e->GetDuration());
  }
  EXPECT_EQ(notes, (std::vector<std::pair<uint32_t, uint32_t>>{{60, 480}, {62, 480}, {64, 480}, {65, 480}}));
}

}  // namespace
}  // namespace midilisttest
