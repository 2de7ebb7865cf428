// Broken and hostile inputs through the built plug-in: every prefix, random byte changes and a
// chunk size of 0xFFFFFFFF give a result code or well-formed output, never a crash.
#include <gtest/gtest.h>

#include <random>

#include "PluginFixture.h"
#include "VelkgateFixture.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/TempoMessage.h"
#include "song/SmfDialectText.h"
#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "velk/Crc16.h"

namespace velkgate {
namespace {

using testing::Call;
using testing::CallEntry;
using testing::Hex;
using testing::Image;

// Small enough to stay cheap under the sanitizer, large enough for every output here.
constexpr uint32_t kCapacity = 1 << 14;

Call From(CnvEntryFunc entry, const Image& image, uint32_t flags) { return CallEntry(entry, image, flags, kCapacity); }

/// A small song with voices, waves, a title, cue points and a tempo change.
Image RichSong() {
  CMidiList list;
  CSongSetup& setup = list.GetSetup();
  setup.SetTimeBase(480);
  setup.SetOwnsObjects(1);
  auto* fm = new CVoiceItem();
  fm->SetBankMsb(124);
  fm->SetProgram(1);
  fm->SetAlgorithm(4);
  setup.SetVoiceItem(0, fm);
  auto* pcm = new CVoiceItem();
  pcm->SetBankMsb(124);
  pcm->SetProgram(2);
  pcm->SetPcmFlag(1);
  pcm->SetPcmFs(8000);
  pcm->SetWaveId(3);
  Image samples(40, 0x5A);
  pcm->SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
  setup.SetVoiceItem(1, pcm);
  auto* slot = new CStreamPCMSlot();
  slot->SetId(2);
  slot->SetFormat(0);
  slot->SetRate(16000);
  Image wave(60, 0x33);
  slot->SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
  setup.SetStreamPcmSlot(2, slot);
  list.GetContentsInfo().SetOptionByte1(0);
  list.GetContentsInfo().GetSongTextInfo().SetText(1, "Song");
  CEventList& events = list.GetMainList();
  events.Add(testing::Event(0, MakeTempoMessage(500000)));
  events.Add(testing::Event(0, Hex("FF 07 05 53 54 41 52 54"), 0, kCueStart));
  events.Add(testing::Event(0, Hex("C0 01")));
  events.Add(testing::Event(0, Hex("90 3C 64"), 240));
  events.Add(testing::Event(240, Hex("B0 07 50")));
  events.Add(testing::Event(240, Hex("C1 02")));
  events.Add(testing::Event(240, Hex("91 40 50"), 480));
  events.Add(testing::Event(480, MakeTempoMessage(400000)));
  events.Add(testing::Event(480, Hex("E0 00 50")));
  events.Add(testing::Event(480, Hex("90 3E 30"), 960));
  events.Add(testing::Event(960, Hex("FF 07 04 53 54 4F 50"), 960, kCueStop));
  CMemStream out;
  uint32_t report = 0;
  EXPECT_EQ(list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report), 1);
  return testing::StreamBytes(out);
}

class VelkgateRobustness : public testing::VelkgateModule {
 protected:
  void SetUp() override {
    VelkgateModule::SetUp();
    if (HasFatalFailure()) return;
    m_song = RichSong();
    Call image = CallEntry(m_to, m_song, 0x20);
    ASSERT_TRUE(image.Converted()) << std::hex << image.result;
    m_image = image.output;
  }

  /// Whatever comes back is a failure code or a file of its kind.
  static void ExpectResultOrSongData(const Call& c) {
    if (!c.Converted()) return;
    ASSERT_GE(c.output.size(), 22u);
    EXPECT_EQ(std::string(c.output.begin(), c.output.begin() + 4), "MThd");
  }
  static void ExpectResultOrImage(const Call& c) {
    if (!c.Converted()) return;
    ASSERT_GE(c.output.size(), 10u);
    EXPECT_EQ(std::string(c.output.begin(), c.output.begin() + 4), "MMMD");
    EXPECT_EQ(testing::BE32(c.output, 4), c.output.size() - 8);
    BuildCrc16Table();
    uint16_t crc = Crc16(static_cast<uint32_t>(c.output.size() - 2), c.output.data());
    EXPECT_EQ((c.output[c.output.size() - 2] << 8) | c.output.back(), crc);
  }

  Image m_song;
  Image m_image;
};

TEST_F(VelkgateRobustness, EveryPrefixOfAnImageFails) {
  for (size_t n = 0; n < m_image.size(); ++n) {
    Call c = From(m_from, Image(m_image.begin(), m_image.begin() + static_cast<long>(n)), 0);
    ASSERT_GE(c.result, CNVERR_FAILED) << n;
    EXPECT_EQ(c.result, n < 4 ? CNVERR_FORMAT : CNVERR_FAILED) << n;
  }
  EXPECT_TRUE(CallEntry(m_from, m_image, 0).Converted());
}

TEST_F(VelkgateRobustness, EveryPrefixOfASongGivesAResultCode) {
  for (size_t n = 0; n < m_song.size(); ++n) {
    SCOPED_TRACE(n);
    ExpectResultOrImage(From(m_to, Image(m_song.begin(), m_song.begin() + static_cast<long>(n)), 0x20));
  }
  EXPECT_EQ(CallEntry(m_to, Image(m_song.begin(), m_song.begin() + 13), 0x20).result, CNVERR_FAILED);
}

TEST_F(VelkgateRobustness, RandomByteChangesNeverCrash) {
  std::mt19937 random(2970);
  for (int i = 0; i < 1000; ++i) {
    bool image = i % 2 == 0;
    Image bytes = image ? m_image : m_song;
    size_t at = random() % bytes.size();
    bytes[at] = static_cast<uint8_t>(random());
    SCOPED_TRACE(std::to_string(i) + " at " + std::to_string(at));
    if (image) {
      Call c = From(m_from, bytes, i % 4 == 0 ? CNVF_RETIME_480 : 0);
      ExpectResultOrSongData(c);
    } else {
      ExpectResultOrImage(From(m_to, bytes, i % 3 == 0 ? 0xA0 : 0x20));
    }
  }
}

std::string Text(const char* hex) {
  const Image bytes = Hex(hex);
  return std::string(bytes.begin(), bytes.end());
}

/// The data bytes of every channel message and device message of a song-data SMF with bit 7
/// set; empty when there is none.
std::string HighDataBytes(const Image& smf) {
  std::string found;
  size_t p = 22;
  auto varLen = [&] {
    uint32_t v = 0;
    uint8_t c = 0;
    do {
      c = smf.at(p++);
      v = (v << 7) | (c & 0x7F);
    } while (c & 0x80);
    return v;
  };
  while (p < smf.size()) {
    varLen();
    const size_t at = p;
    const uint8_t status = smf.at(p++);
    if (status == 0xFF) {
      ++p;
      p += varLen();
    } else if (status == 0xF0) {
      const uint32_t n = varLen();
      const bool device = n > 3 && smf.at(p) == 0x43 && smf.at(p + 1) == 0x79;
      for (uint32_t k = 0; device && k + 1 < n; ++k)
        if (smf.at(p + k) & 0x80) found += "device message at " + std::to_string(at) + "; ";
      p += n;
    } else {
      const int data = ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
      for (int k = 0; k < data; ++k)
        if (smf.at(p++) & 0x80) found += "channel message at " + std::to_string(at) + "; ";
    }
  }
  return found;
}

TEST_F(VelkgateRobustness, DataBytesWithBitSevenAreMaskedOrRefused) {
  // The plain image keeps the sequence as written: its note, program and bend bytes are found
  // there as they stand in the song.
  struct Case {
    const char* name;
    std::string pattern;
    size_t byte;  // the byte of the pattern that gets bit 7
    bool refused;
    std::string kept;  // the message the song data holds when not refused
  };
  const Case cases[] = {
      {"velocity", Text("90 3C 64"), 2, true, ""},
      {"program", Text("C1 02"), 1, false, Text("C1 02")},
      {"bend", Text("E0 00 50"), 2, false, Text("E0 00 50")},
      {"volume", Text("B0 07 50"), 2, false, Text("B0 07 50")},
  };
  Call plain = CallEntry(m_to, m_song, 0x20);
  ASSERT_TRUE(plain.Converted());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    size_t at = testing::Find(plain.output, c.pattern);
    ASSERT_NE(at, std::string::npos);
    Image changed = plain.output;
    changed[at + c.byte] |= 0x80;
    Call back = CallEntry(m_from, changed, 0);
    if (c.refused) {
      EXPECT_EQ(back.result, CNVERR_FAILED);
      continue;
    }
    ASSERT_TRUE(back.Converted()) << std::hex << back.result;
    EXPECT_EQ(HighDataBytes(back.output), "");
    EXPECT_NE(testing::Find(back.output, c.kept), std::string::npos);
  }
  // Any byte of the image with bit 7 set: refused, or song data of 7-bit data bytes.
  for (size_t at = 0; at < plain.output.size(); ++at) {
    Image changed = plain.output;
    changed[at] |= 0x80;
    Call back = CallEntry(m_from, changed, 0);
    if (back.Converted()) {
      EXPECT_EQ(HighDataBytes(back.output), "") << at;
    }
  }
}

TEST_F(VelkgateRobustness, AChunkSizeOf0xFFFFFFFFFailsBeforeAllocating) {
  // Under the sanitizer an allocation of that size would abort the test.
  for (const char* id : {"MMMD", "CNTI", "OPDA", "MTR\x05", "Mtsu", "Mtsq", "Mtsp", "MSTR", "Mssq"}) {
    SCOPED_TRACE(id);
    size_t at = testing::Find(m_image, std::string(id, 4));
    ASSERT_NE(at, std::string::npos);
    Image broken = m_image;
    for (int k = 4; k < 8; ++k) broken[at + k] = 0xFF;
    EXPECT_EQ(CallEntry(m_from, broken, 0).result, CNVERR_FAILED);
  }
}

}  // namespace
}  // namespace velkgate
