// The song initialisation from a MIDI list: events, cues, time base, limits, voices and board.
#include <memory>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "song/SeqEvent.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/midilist/MidiList.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Add(CMidiList& list, uint32_t tick, const Bytes& bytes, uint32_t end = 0, uint32_t cue = 0) {
  list.AddSongEvent(std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(bytes.size()),
                                                bytes.data(), end ? end : tick, cue));
}

void AddPcm(CMidiList& list, uint32_t tick, const Bytes& bytes, uint32_t end = 0) {
  list.AddSetupEvent(std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(bytes.size()),
                                                 bytes.data(), end ? end : tick, 0));
}

// A list of one note on channel 0 from tick 0 to `end`, at `usPerTick`.
std::unique_ptr<CMidiList> Song(uint32_t end = 480, uint32_t usPerTick = 1000) {
  auto list = std::make_unique<CMidiList>();
  list->SetTempo(usPerTick);
  Add(*list, 0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(usPerTick >> 16),
                 static_cast<uint8_t>(usPerTick >> 8), static_cast<uint8_t>(usPerTick)});
  Add(*list, 0, {0xB0, 0x00, 0x7C});
  Add(*list, 0, {0xC0, 0x05});
  Add(*list, 0, {0x90, 60, 100}, end);
  return list;
}

CVoiceItem* FmItem(int program, int algorithm) {
  auto* item = new CVoiceItem();
  item->SetBankMsb(124);
  item->SetBankLsb(0);
  item->SetProgram(static_cast<uint8_t>(program));
  const uint8_t fm[CVoiceItem::kFmSize] = {0x00, 0x01, static_cast<uint8_t>(algorithm), 0x11, 0x22};
  item->SetFmVoice(fm);
  return item;
}

class KZ1DocInit : public doctest::DocTest {
 protected:
  /// A reset document as the readers hand it to the initialisation.
  CKZ1Doc& Reset(int chipMode = 3) {
    CKZ1Doc& d = Make(chipMode);
    d.ResetSong();
    return d;
  }
  bool BoardSent(const Bytes& message) const {
    for (const auto& call : host.board.calls) {
      if (call.bytes == message) return true;
    }
    return false;
  }
};

TEST_F(KZ1DocInit, EventsCuesAndTempoComeFromTheList) {
  CKZ1Doc& d = Reset();
  auto list = Song(960, 1250);
  Add(*list, 480, {0xFF, 0x07, 0x07, '0', '1', 'L', 'S', 'T', 'P', 'A'}, 0, 3);
  Add(*list, 480, {0xFF, 0x06, 0x03, 'Q', '0', '0'});
  Add(*list, 720, {0xFF, 0x06, 0x03, 'Q', '0', 'F'});
  ASSERT_EQ(d.init(*list, 1, 0), 1);
  ASSERT_EQ(d.GetMidiList()->size(), 7u);
  EXPECT_EQ(d.GetMidiList()->back()->GetByte(5), 'F');
  EXPECT_EQ(d.GetCuePoint(3), 480u);
  EXPECT_EQ(d.GetMarkerTickA(), 480u);
  EXPECT_EQ(d.GetMarkerTickB(), 720u);
  EXPECT_EQ(d.TickToMsByMap(480, 0), 600u);
  EXPECT_EQ(d.GetChannelValue(0), 1);
  EXPECT_EQ(d.GetChannelValue(1), 0);
  EXPECT_EQ(d.GetRefreshSuppress(), 0);
}

TEST_F(KZ1DocInit, ModeSettingTwoKeepsThePcmListEmpty) {
  for (int setting : {0, 2}) {
    CKZ1Doc& d = Reset();
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", setting);
    auto list = Song();
    AddPcm(*list, 0, {0x99, 1, 100}, 100);
    ASSERT_EQ(d.init(*list, 1, 0), 1);
    EXPECT_EQ(d.GetMidiListPCM()->size(), setting == 2 ? 0u : 1u) << setting;
    EXPECT_EQ(d.GetChannelUsed(9), setting == 2 ? 0 : 1) << setting;
  }
}

TEST_F(KZ1DocInit, TimeBaseByListAndProfile) {
  const struct {
    int profile;
    uint16_t listTimeBase;
    int timeBase;
  } cases[] = {{2, 8, 4}, {2, 10, 10}, {2, 5, 5}, {2, 20, 20}, {2, 0, 4}, {4, 8, 20}, {4, 10, 20}};
  for (const auto& c : cases) {
    host.settings.outputProfile = c.profile;
    CKZ1Doc& d = Reset();
    auto list = Song();
    list->SetTimeBase(c.listTimeBase);
    ASSERT_EQ(d.init(*list, 1, 0), 1);
    EXPECT_EQ(d.GetTimeBaseKZ3(), c.timeBase) << c.profile << " " << c.listTimeBase;
    EXPECT_EQ(d.TestModifiedFlags(3), 2u) << "the time base marks nothing modified";
  }
}

TEST_F(KZ1DocInit, SectionOfTwoMillionMillisecondsIsTheLimit) {
  // One tick is a millisecond. The time base (4 ms) is the quantum of the shown length, not of
  // the limit: 2,000,001 to 2,000,003 ms show as 2000000 and are refused all the same.
  for (uint32_t end : {2000000u, 2000001u, 2000003u, 2000004u}) {
    host.messages.shown.clear();
    CKZ1Doc& d = Reset();
    auto list = Song(end, 1000);
    const int result = d.init(*list, 1, 0);
    EXPECT_EQ(result, end == 2000000u ? 1 : 0) << end;
    EXPECT_EQ(host.messages.ShownIds(), end == 2000000u ? std::vector<int>{} : std::vector<int>{7058});
    if (result) {
      EXPECT_EQ(d.GetPlayTimeText().rfind("2000000(", 0), 0u) << d.GetPlayTimeText();
    }
  }
  ASSERT_FALSE(host.ui.timeRanges.empty());
  EXPECT_EQ(host.ui.timeRanges.front(), (std::pair<uint32_t, uint32_t>{0, 2000000}));
}

TEST_F(KZ1DocInit, StopwatchesNameThePhases) {
  CKZ1Doc& d = Reset();
  auto list = Song();
  ASSERT_EQ(d.init(*list, 1, 0), 1);
  std::vector<std::string> names;
  for (const auto& w : d.GetInitStopwatches()) names.push_back(w.GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"CKZ1Doc::init  Setup MidiList",
                                             "CKZ1Doc::init  SetVAMFromMidiList()",
                                             "CKZ1Doc::init  Setup VoiceItem"}));
}

TEST_F(KZ1DocInit, ReserveByteOfTheListIsSentAndKept) {
  CKZ1Doc& d = Reset();
  auto list = Song();
  list->GetSongSetup().SetStreamMode(1);
  ASSERT_EQ(d.init(*list, 1, 0), 1);
  EXPECT_TRUE(BoardSent({0xF0, 0x43, 0x79, 0x06, 0x7F, 0x07, 0x01, 0xF7}));
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "KZ-3_StreamPCMReserve", 0), 1);
  EXPECT_EQ(d.GetSongSetup().GetStreamMode(), 1);
}

TEST_F(KZ1DocInit, FourOperatorVoiceInGmModeIsRefusedWithoutABoardMessage) {
  for (int profile : {2, 6}) {
    host.settings.outputProfile = profile;
    host.messages.shown.clear();
    host.board.calls.clear();
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 1);
    CKZ1Doc& d = Reset();
    auto list = Song();
    list->GetSongSetup().SetVoiceItem(0, FmItem(5, 4));
    const int result = d.init(*list, 1, 0);
    if (profile == 6) {
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(host.messages.shown.empty());
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7056});
      EXPECT_TRUE(host.board.calls.empty());
    }
  }
}

TEST_F(KZ1DocInit, MoreThanThirtyTwoWaveIdsFailUnderProfileOne) {
  for (int waves : {32, 33}) {
    host.settings.outputProfile = 1;
    host.messages.shown.clear();
    CKZ1Doc& d = Reset();
    auto list = Song();
    const uint8_t samples[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < waves; ++i) {
      auto* item = new CVoiceItem();
      item->SetBankMsb(124);
      item->SetProgram(static_cast<uint8_t>(10 + i));
      item->SetPcmFlag(1);
      item->SetWaveId(static_cast<uint8_t>(i));
      item->SetWaveSamples(samples, sizeof samples);
      list->GetSongSetup().SetVoiceItem(i, item);
    }
    EXPECT_EQ(d.init(*list, 1, 0), waves == 32 ? 1 : 0) << waves;
    EXPECT_EQ(host.messages.ShownIds(), waves == 32 ? std::vector<int>{} : std::vector<int>{7057});
  }
}

TEST_F(KZ1DocInit, NoFreeVoiceSlotFailsInsteadOfWritingSlotMinusOne) {
  CKZ1Doc& d = Reset();
  auto list = Song();
  for (int i = 0; i < 128; ++i) list->GetSongSetup().SetVoiceItem(i, FmItem(i, 0));
  EXPECT_EQ(d.init(*list, 1, 0), 0);
}

TEST_F(KZ1DocInit, OwnVoiceItemsEnterTheirSlotsAndUserWavesAreSent) {
  CKZ1Doc& d = Reset();
  auto list = Song();
  list->GetSongSetup().SetVoiceItem(0, FmItem(5, 1));
  ASSERT_EQ(d.init(*list, 1, 0), 1);
  const int slot = d.FindVoiceIndex(124, 0, 5, 0);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(d.GetVoiceItem(slot)->GetFmVoice()[3], 0x11);
  EXPECT_EQ(d.GetSongSetup().GetVoiceItem(slot), d.GetVoiceItem(slot));
  EXPECT_EQ(d.GetChannelVoiceSlot(0), slot);
}

TEST_F(KZ1DocInit, StreamSlotsOfTheListAreTakenAndSent) {
  CKZ1Doc& d = Reset();
  auto list = Song();
  auto* slot = new CStreamPCMSlot();
  const uint8_t wave[4] = {1, 2, 3, 4};
  slot->SetWaveData(wave, 4);
  slot->SetRate(8000);
  list->GetSongSetup().SetStreamPcmSlot(3, slot);
  ASSERT_EQ(d.init(*list, 1, 0), 1);
  EXPECT_EQ(d.GetStreamPcmSlot(3)->GetDataSize(), 4u);
  EXPECT_EQ(d.GetStreamPcmSlot(3)->GetBankMsb(), 125);
  EXPECT_TRUE(BoardSent({0xF0, 0x43, 0x79, 0x06, 0x7F, 0x06, 0x03, 0xF7}));
  const auto names = host.board.CallNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "SendVoiceItem"), names.end());
}

TEST_F(KZ1DocInit, AverageDensityIsComputedInSixtyFourBits) {
  CKZ1Doc& d = Reset();
  auto list = Song();
  ASSERT_EQ(d.init(*list, 1, 0), 1);
  EXPECT_EQ(d.HasDensityInfo(), 1);
  EXPECT_EQ(d.GetAveDensity(),
            list->GetDensityLength()
                ? static_cast<uint32_t>(uint64_t{list->GetDensityTotal()} * 1000 / list->GetDensityLength())
                : 0u);
}

TEST_F(KZ1DocInit, MergeLeavesNoHolesAndNoExtensionSlots) {
  CKZ1Doc& d = Reset();
  for (int p = 1; p <= 5; ++p) d.AssignVoice(p, 124, 0, 20 + p, 0);
  d.AssignVoice(300, 124, 0, 40, 0);
  auto list = Song();
  ASSERT_EQ(d.init(*list, 0, 0), 1);
  int used = 0;
  while (used < 128 && d.GetVoiceProgram(used) != 255) ++used;
  for (int i = used; i < 128; ++i) EXPECT_EQ(d.GetVoiceProgram(i), 255) << i;
  for (int i = 256; i < 512; ++i) EXPECT_EQ(d.GetVoiceProgram(i), 255) << i;
  EXPECT_GE(used, 1);
  EXPECT_GE(d.FindVoiceIndex(124, 0, 5, 0), 0);
  EXPECT_EQ(d.GetVoiceProgram(d.GetChannelVoiceSlot(0)), 5);
}

TEST_F(KZ1DocInit, MergeIntoFullVoiceSlotsUsesTheExtensionAreaAndEmptiesIt) {
  // Every slot 1..127 holds a voice the new song does not play: the song's own voice can only
  // find room beyond them, and the compaction brings it back below 128.
  CKZ1Doc& d = Reset();
  for (int p = 1; p < 128; ++p) ASSERT_EQ(d.AssignVoice(p, 124, 1, p, 0), 1) << p;
  auto list = Song();
  ASSERT_EQ(d.init(*list, 0, 0), 1);
  EXPECT_EQ(d.IsImporting(), 0);
  const int slot = d.GetChannelVoiceSlot(0);
  ASSERT_LT(slot, 128);
  EXPECT_EQ(d.GetVoiceBankLsb(slot), 0);
  EXPECT_EQ(d.GetVoiceProgram(slot), 5);
  for (int i = 256; i < 512; ++i) EXPECT_EQ(d.GetVoiceProgram(i), 255) << i;
}

TEST_F(KZ1DocInit, PhraseProfileGivesTheFirstFourNoteChannelsPartOne) {
  struct Case {
    int profile;
    int keep;
  };
  for (const Case c : {Case{4, 1}, Case{4, 0}, Case{2, 1}}) {
    SCOPED_TRACE(testing::Message() << c.profile << " keep " << c.keep);
    host.settings.outputProfile = c.profile;
    CKZ1Doc& d = Reset();
    auto list = Song();
    // Notes on channels 0, 2, 3, 4 and 5; channel 1 has none.
    for (uint8_t k : {2, 3, 4, 5}) Add(*list, 0, {static_cast<uint8_t>(0x90 | k), 60, 100}, 240);
    d.ResetModifiedFlags();
    ASSERT_EQ(d.init(*list, c.keep, 0), 1);
    const int part = c.profile == 4 ? 1 : 0;
    const int expected[6] = {part, 0, part, part, part, 0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(d.GetChannelPart(k), expected[k]) << k;
    EXPECT_EQ(d.TestModifiedFlags(3), 0u) << "the parts the song starts with change nothing";
  }
}

TEST_F(KZ1DocInit, DebugFlagFormsTheTraceTextOfTheLastList) {
  const struct {
    int debug;
    int setting;
    const char* text;
  } cases[] = {{0, 0, ""},
               {1, 0, "CKZ1Doc::init m_midlist_PCM.AddTail"},
               {1, 2, "CKZ1Doc::init m_midlist.AddTail"}};
  for (const auto& c : cases) {
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.setting);
    CKZ1Doc& d = Reset();
    d.SetDebugFlag(c.debug);
    auto list = Song();
    AddPcm(*list, 0, {0x99, 1, 100}, 100);
    ASSERT_EQ(d.init(*list, 1, 0), 1);
    EXPECT_EQ(d.GetDebugText(), c.text) << c.debug << " " << c.setting;
    EXPECT_EQ(d.GetMidiList()->size(), 4u);
  }
}

}  // namespace
