// Reader rules that depend on the output profile and the maker, chords and the density figures.
#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"
#include "song/SmfDialect.h"
#include "song/VoiceItem.h"
#include "tests/song/SmfTestImages.h"
#include "tests/song/midilist/MidiListTestSupport.h"

namespace midilisttest {
namespace {

using smftest::Image;
using smftest::Track;

class MidiListReaderRules : public ::testing::Test {
 protected:
  platform::FakeHost m_host;

  static std::vector<Bytes> ChannelEvents(const CMidiList& midi, uint8_t kind) {
    std::vector<Bytes> out;
    for (const CSeqEvent* e : Events(midi.GetSongList())) {
      if ((e->GetDataByte(0) & 0xF0) == kind) out.push_back(Data(*e));
    }
    return out;
  }
};

TEST_F(MidiListReaderRules, ChordEventsAreKeptOnlyWhenValid) {
  struct Case {
    const char* name;
    Bytes data;
    bool kept;
  };
  const Case cases[] = {
      {"root and bass", {0x43, 0x7B, 0x01, 0x31, 0x05, 0x24, 0x10}, true},
      {"no bass", {0x43, 0x7B, 0x01, 0x31, 0x05, 0x7F}, true},
      {"root nibble 0", {0x43, 0x7B, 0x01, 0x30, 0x05, 0x7F}, false},
      {"root octave 7", {0x43, 0x7B, 0x01, 0x71, 0x05, 0x7F}, false},
      {"type 35", {0x43, 0x7B, 0x01, 0x31, 35, 0x7F}, false},
      {"bass type 35", {0x43, 0x7B, 0x01, 0x31, 0x05, 0x24, 35}, false},
      {"bass without its type", {0x43, 0x7B, 0x01, 0x31, 0x05, 0x24}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes meta = {0xFF, 0x7F, static_cast<uint8_t>(c.data.size())};
    meta.insert(meta.end(), c.data.begin(), c.data.end());
    Track t;
    t.Event(0, meta).EndOfTrack();
    CMidiList midi;
    ASSERT_EQ(Read(midi, Image({t})), 1);
    bool found = false;
    for (const CSeqEvent* e : Events(midi.GetSongList())) found = found || Data(*e) == meta;
    EXPECT_EQ(found, c.kept);
  }
}

TEST_F(MidiListReaderRules, MakerFourUnderProfileOneGivesEveryChannelABank) {
  m_host.settings.outputProfile = 1;
  m_host.settings.makerId = 4;
  Track t;
  t.Event(0, {0xC0, 0x05}).Event(0, {0xC9, 0x03}).Event(0, {0xB2, 0x00, 0x7C}).Event(0, {0xB2, 0x20, 0x0A})
      .Event(0, {0xC2, 0x01}).EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 1u);
  EXPECT_EQ(ChannelEvents(midi, 0xB0),
            (std::vector<Bytes>{{0xB0, 0x00, 0x7C}, {0xB9, 0x00, 0x7D}, {0xB2, 0x00, 0x00}, {0xB2, 0x20, 0x0A}}));
  EXPECT_EQ(ChannelEvents(midi, 0xC0), (std::vector<Bytes>{{0xC0, 0x05}, {0xC9, 0x00}, {0xC2, 0x01}}));
}

TEST_F(MidiListReaderRules, PhraseProfileGivesChannelTenADrumBank) {
  m_host.settings.outputProfile = 4;
  Track t;
  t.Event(0, {0xB9, 0x00, 0x05}).Event(0, {0xC9, 0x02}).Event(0, {0xC8, 0x02}).Meta(0, 0x07, "START")
      .EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 1u);  // no cue checks in phrase mode
  EXPECT_EQ(ChannelEvents(midi, 0xB0), (std::vector<Bytes>{{0xB9, 0x00, 0x7D}}));
  for (const CSeqEvent* e : Events(midi.GetSongList())) EXPECT_NE(e->GetDataByte(1), 0x07);
}

TEST_F(MidiListReaderRules, VoiceOfTheSecondFormCarriesItsExtensionBlock) {
  Bytes plain(CVoiceItem::kExtSize + CVoiceItem::kPcmSize, 0);
  plain[CVoiceItem::kExtSize + 0] = 8000 >> 8;
  plain[CVoiceItem::kExtSize + 1] = 8000 & 0xFF;
  plain[CVoiceItem::kExtSize + 15] = 9;  // wave id
  Bytes packed(PackedSize7In8(static_cast<uint32_t>(plain.size())));
  Pack7In8(plain.data(), static_cast<uint32_t>(plain.size()), packed.data());
  Bytes message = {0xF0, static_cast<uint8_t>(packed.size() + 11), 0x43, 0x79, 0x07, 0x7F, 0x01, 0x7D, 0x00, 0x02, 0x30, 0x03};
  message.insert(message.end(), packed.begin(), packed.end());
  message.push_back(0xF7);
  Track t;
  t.Event(0, message).EndOfTrack();
  CMidiList midi;
  uint32_t flags = 0;
  ASSERT_EQ(Read(midi, Image({t}), &flags), 1);
  EXPECT_EQ(flags, 0u);
  const CVoiceItem* item = midi.GetSongSetup().GetVoiceItem(0);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetExtFlag(), 1);
  EXPECT_TRUE(item->IsPcm());
  EXPECT_EQ(item->GetPcmFs(), 8000);
  EXPECT_EQ(item->GetWaveId(), 9);
  EXPECT_EQ(item->GetNote(), 0x30);
}

TEST_F(MidiListReaderRules, DensityFiguresComeFromTheInput) {
  Track t;
  for (int i = 0; i < 50; ++i) t.Event(0, {0x90, 60, 100}).Event(96, {0x80, 60, 0});
  t.EndOfTrack();
  CMidiList midi;
  ASSERT_EQ(Read(midi, Image({t})), 1);
  EXPECT_FALSE(midi.GetDensityFailed());
  EXPECT_GT(midi.GetDensityLength(), 0u);
  EXPECT_GT(midi.GetMaxDensity(), 0u);
  EXPECT_EQ(midi.GetEventCount(), midi.GetDensityTotal());
  std::vector<CMsgKey> points;
  EXPECT_EQ(midi.CopyPoints(points), 1);
  EXPECT_EQ(points.size(), midi.GetDensityPoints().size());
  EXPECT_FALSE(points.empty());
  EXPECT_EQ(midi.CopyPoints(points), 0);
}

}  // namespace
}  // namespace midilisttest
