// A whole song written and read back, and truncated images read under the sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "tests/song/midilist/MidiListTestSupport.h"

namespace midilisttest {
namespace {

Bytes Pattern(uint32_t n, uint32_t seed) {
  Bytes b(n);
  for (uint32_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * 13 + seed) ^ (i >> 7));
  return b;
}

CVoiceItem* NewVoice(CSongSetup& setup, int slot, uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note) {
  auto* item = new CVoiceItem();
  item->SetBankMsb(msb);
  item->SetBankLsb(lsb);
  item->SetProgram(program);
  item->SetNote(note);
  item->SetBO(1);
  setup.SetVoiceItem(slot, item);
  return item;
}

/// A song with every kind of record the dialect carries.
void BuildSong(CMidiList& midi, EventList& first, EventList& second, uint8_t textCode) {
  CContentsInfo& info = midi.GetContentsInfo();
  info.SetTextCodeType(textCode);
  info.SetContentsClass(2);
  info.SetOptionByte1(0xFD);
  info.SetOptionByte2(3);
  info.SetOptionByte3(0xF0);
  info.SetOptionByte4(1);
  info.GetSongTextInfo().SetText(1, "Title, with a comma");
  info.GetSongTextInfo().SetText(2, "Writer");
  info.SetText1("Vendor \x82\xA0");  // a double-byte character of the narrow code page
  info.SetText4("(c) 2026");
  info.SetText7("Group");
  info.SetText9("Last text");

  CSongSetup& setup = midi.GetSongSetup();
  setup.SetMasterVolume(90);
  setup.SetStatus(2, 0x01);
  setup.SetStreamMode(1);
  setup.SetSlotSetting(2, 0, 127);
  CVoiceItem* fm2 = NewVoice(setup, 0, 0x7C, 0, 1, 0);
  fm2->SetAlgorithm(1);
  fm2->SetOpTL(1, 10);
  fm2->SetOpWS(2, 3);
  CVoiceItem* fm4 = NewVoice(setup, 1, 0x7C, 1, 2, 0);
  fm4->SetAlgorithm(4);
  fm4->SetOpTL(4, 20);
  CVoiceItem* pcm = NewVoice(setup, 2, 0x7D, 0, 0, 36);
  pcm->SetPcmFlag(1);
  pcm->SetPcmFs(22050);
  pcm->SetWaveId(5);
  Bytes wave = Pattern(7000, 1);
  pcm->SetWaveSamples(wave.data(), 7000);
  pcm->SetWaveHeaderId(5);
  pcm->SetWaveHeaderFlags(1);
  auto* slot = new CStreamPCMSlot();
  Bytes stream = Pattern(5000, 2);
  slot->SetWaveData(stream.data(), 5000);
  slot->SetRate(8000);
  slot->SetFormat(2);
  slot->SetFlag(1);
  slot->SetId(1);
  slot->SetIndex(2);
  setup.SetStreamPcmSlot(1, slot);
  auto* block = new CNamedBlock();
  Bytes userWave = Pattern(64, 3);
  block->SetData(userWave.data(), 64);
  setup.SetUserWave(3, block);

  first.Add(0, {0xFF, 0x51, 0x03, 0x00, 0x04, 0x12});
  first.Add(0, MakeTempoMessage(600000));
  first.Add(0, {0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08});
  first.Add(0, MakeMasterVolumeMessage(90));
  first.Add(0, MakeCueMeta("START"), 0, kCueStart);
  first.Add(0, {0xB0, 0x07, 100});
  first.Add(0, {0xB0, 0x0A, 64});
  first.Add(0, {0xC0, 0x01});
  first.Add(0, {0xB9, 0x00, 0x7D});
  first.Add(0, {0xC9, 0x00});
  first.Add(0, {0x90, 0x3C, 0x64}, 480);
  first.Add(480, MakeCueMeta("01LSTPA"), 480, 3);
  first.Add(480, {0x90, 0x3E, 0x64}, 960);
  first.Add(960, {0xFF, 0x51, 0x03, 0x00, 0x07, 0xD0});
  first.Add(960, MakeTempoMessage(400000));
  first.Add(960, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
  first.Add(960, {0xB0, 0x07, 80});
  first.Add(1440, {0x90, 0x40, 0x64}, 1920);
  first.Add(1920, MakeCueMeta("STOP"), 1920, kCueStop);
  first.Add(1920, {0xFF, 0x2F, 0x00});

  second.Add(0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x08, 0x00, 0x01, 0x02, 0xF7});
  second.Add(480, {0x99, 0x00, 0x64}, 720);
}

using EventKey = std::tuple<uint32_t, Bytes, uint32_t, uint32_t>;

std::vector<EventKey> Keys(const std::vector<const CSeqEvent*>& events) {
  std::vector<EventKey> keys;
  for (const CSeqEvent* e : events) keys.emplace_back(e->GetTick(), Data(*e), e->GetEndTick(), e->GetExtra());
  std::sort(keys.begin(), keys.end());
  return keys;
}

void ExpectSameVoice(const CVoiceItem* a, const CVoiceItem* b) {
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->GetBankMsb(), b->GetBankMsb());
  EXPECT_EQ(a->GetBankLsb(), b->GetBankLsb());
  EXPECT_EQ(a->GetProgram(), b->GetProgram());
  EXPECT_EQ(a->GetNote(), b->GetNote());
  EXPECT_EQ(a->IsPcm(), b->IsPcm());
  if (a->IsPcm()) {
    EXPECT_TRUE(std::equal(a->GetPcmVoice(), a->GetPcmVoice() + CVoiceItem::kPcmSize, b->GetPcmVoice()));
    ASSERT_EQ(a->GetWaveSampleSize(), b->GetWaveSampleSize());
    EXPECT_TRUE(std::equal(a->GetWaveSamples(), a->GetWaveSamples() + a->GetWaveSampleSize(), b->GetWaveSamples()));
    EXPECT_EQ(a->GetWaveHeaderFlags() & 3, b->GetWaveHeaderFlags() & 3);
  } else {
    // A two-operator voice carries its first 17 bytes only.
    ASSERT_EQ(a->GetFmVoiceLength(), b->GetFmVoiceLength());
    EXPECT_TRUE(std::equal(a->GetFmVoice(), a->GetFmVoice() + a->GetFmVoiceLength(), b->GetFmVoice()));
  }
}

void ExpectSameContents(const CContentsInfo& a, const CContentsInfo& b) {
  EXPECT_EQ(a.GetTextCodeType(), b.GetTextCodeType());
  EXPECT_EQ(a.GetContentsClass(), b.GetContentsClass());
  EXPECT_EQ(a.GetContentsType(), b.GetContentsType());
  EXPECT_EQ(a.GetOptionByte1(), b.GetOptionByte1());
  EXPECT_EQ(a.GetOptionByte2(), b.GetOptionByte2());
  EXPECT_EQ(a.GetOptionByte3(), b.GetOptionByte3());
  EXPECT_EQ(a.GetOptionByte4(), b.GetOptionByte4());
  for (int k = 1; k <= CContentsInfo::kTextCount; ++k) EXPECT_EQ(a.GetText(k), b.GetText(k)) << "text " << k;
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(std::string(a.GetSongTextInfo().GetText(k)), std::string(b.GetSongTextInfo().GetText(k))) << "song text " << k;
  }
}

class MidiListRoundTrip : public ::testing::TestWithParam<uint8_t> {
 protected:
  platform::FakeHost m_host;
};

TEST_P(MidiListRoundTrip, ReadsBackWhatItWrote) {
  CMidiList source;
  EventList first, second;
  BuildSong(source, first, second, GetParam());
  uint32_t writeFlags = 0;
  int result = 0;
  Bytes image = Write(source, first.list, second.list, &writeFlags, &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(writeFlags, 0u);

  CMidiList copy;
  uint32_t readFlags = 0;
  ASSERT_EQ(Read(copy, image, &readFlags), 1);
  EXPECT_EQ(readFlags, 0u);

  EXPECT_EQ(Keys(Events(copy.GetSongList())), Keys(Events(first.list)));
  EventList expectedSetup;
  expectedSetup.Add(0, MakeDialectMessage(kGroupDevice, kDeviceStreamSlot, Bytes{2, 0, 127}.data(), 3));
  std::vector<const CSeqEvent*> setupEvents = Events(second.list);
  setupEvents.push_back(Events(expectedSetup.list)[0]);
  EXPECT_EQ(Keys(Events(copy.GetSetupList())), Keys(setupEvents));

  const CSongSetup& a = source.GetSongSetup();
  const CSongSetup& b = copy.GetSongSetup();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ExpectSameVoice(a.GetVoiceItem(i), b.GetVoiceItem(i));
  }
  EXPECT_EQ(b.GetVoiceItem(3), nullptr);
  EXPECT_EQ(copy.GetWaveEntry(5).data.size(), 7000u);
  const CStreamPCMSlot* slot = b.GetStreamPcmSlot(1);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->GetRate(), 8000);
  EXPECT_EQ(slot->GetFormat(), 2);
  EXPECT_TRUE(slot->GetFlag());
  EXPECT_EQ(slot->GetId(), 1);
  EXPECT_EQ(slot->GetIndex(), 2);
  ASSERT_EQ(slot->GetDataSize(), 5000u);
  EXPECT_TRUE(std::equal(slot->GetData(), slot->GetData() + 5000, a.GetStreamPcmSlot(1)->GetData()));
  ASSERT_EQ(copy.GetStreamSlotList().GetCount(), 1);
  const CWaveDataChunk* chunk = copy.GetStreamSlotList().GetItem(1);
  EXPECT_EQ(chunk->GetIdNumber(), 1);
  EXPECT_EQ(chunk->GetFormat(), 0x11);
  EXPECT_EQ(chunk->GetRate(), 8000);
  EXPECT_EQ(chunk->GetWaveSize(), 5000u);
  ASSERT_NE(b.GetUserWave(3), nullptr);
  EXPECT_EQ(b.GetUserWave(3)->GetSize(), 64);
  EXPECT_TRUE(std::equal(b.GetUserWave(3)->GetData(), b.GetUserWave(3)->GetData() + 64, a.GetUserWave(3)->GetData()));
  EXPECT_EQ(b.GetMasterVolume(), 90);
  EXPECT_EQ(b.GetStatus(2), 0x01);
  EXPECT_EQ(b.GetStreamMode(), 1);
  EXPECT_EQ(b.GetSlotSettingSecond(2), 127);
  EXPECT_EQ(b.GetVolume(0), 100);
  EXPECT_EQ(copy.GetTimeSignature(), 3);
  ExpectSameContents(source.GetContentsInfo(), copy.GetContentsInfo());
  EXPECT_TRUE(copy.HasContentsHeader());
  EXPECT_EQ(copy.GetTextCode(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(TextCodes, MidiListRoundTrip, ::testing::Values(0, kTextCodeUtf8, kTextCodeUtf16));

class MidiListTruncated : public ::testing::Test {
 protected:
  platform::FakeHost m_host;
};

TEST_F(MidiListTruncated, EveryProperPrefixOfTheGoldenImagesIsRefused) {
  for (int profile : {1, 2}) {
    m_host.settings.outputProfile = profile;
    EventList none;
    CMidiList midi;
    Bytes image = Write(midi, none.list, none.list);
    ASSERT_FALSE(image.empty());
    for (size_t n = 0; n < image.size(); ++n) {
      CMidiList reader;
      ASSERT_EQ(Read(reader, Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n))), 0)
          << "profile " << profile << ", " << n << " bytes";
    }
    CMidiList whole;
    EXPECT_EQ(Read(whole, image), 1);
  }
}

TEST_F(MidiListTruncated, TracksCutAnywhereReadSafely) {
  // A song without its large blocks, cut at every byte with the track length fitted to the cut:
  // a cut inside an event is refused, a cut between events reads what is there.
  CMidiList source;
  EventList first, second;
  BuildSong(source, first, second, kTextCodeUtf8);
  source.GetSongSetup().GetVoiceItem(2)->SetWaveSamples(Pattern(40, 1).data(), 40);
  source.GetSongSetup().GetStreamPcmSlot(1)->SetWaveData(Pattern(30, 1).data(), 30);
  Bytes image = Write(source, first.list, second.list);
  ASSERT_FALSE(image.empty());
  int refused = 0, read = 0;
  for (size_t n = 22; n < image.size(); ++n) {
    Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
    uint32_t length = static_cast<uint32_t>(n - 22);
    for (int i = 0; i < 4; ++i) cut[18 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    CMidiList reader;
    uint32_t flags = 0;
    int result = Read(reader, cut, &flags);
    ASSERT_TRUE(result == 0 || result == 1) << n;
    (result == 1 ? read : refused)++;
    if (result == 1) {
      EXPECT_LT(flags, 0x80000000u) << n;
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace midilisttest
