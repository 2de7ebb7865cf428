// Tempo index, initial channel values from the events, channel volume, stream-PCM settings
// and the output setup.
#include <vector>

#include "DocTestSupport.h"
#include "song/Voice2.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;

class KZ1DocChannels : public doctest::DocTest {
 protected:
  // As the loader leaves the setup before a reader runs: no channel value taken.
  static void ClearChannelValues(CKZ1Doc& d) {
    for (int k = 0; k < 16; ++k) {
      d.GetSongSetup().SetBankMsb(k, 255);
      d.GetSongSetup().SetBankLsb(k, 255);
      d.GetSongSetup().SetProgram(k, 255);
      d.GetSongSetup().SetVolume(k, 255);
    }
  }
};

TEST_F(KZ1DocChannels, TempoIndexFollowsTheTimeBaseInChipModeOne) {
  CKZ1Doc& d = Make(1);
  d.SetTimeBase(5);
  EXPECT_EQ(d.GetTempoFromIndex(0), 437);
  d.SetTimeBase(10);
  EXPECT_EQ(d.GetTempoFromIndex(0), 546) << "10 ms counts as 4";
  d.SetTimeBase(0);
  EXPECT_EQ(d.GetTempoFromIndex(0), 1092);
  EXPECT_EQ(d.GetTempoFromIndex(-1), 0);
  EXPECT_EQ(d.GetTempoFromIndex(82), 9);
  EXPECT_EQ(d.GetTempoFromIndex(83), 0);
  EXPECT_EQ(d.GetTempoIndex(600), 2) << "546 is the first entry not above 600";
  EXPECT_EQ(d.GetTempoIndex(5), 82) << "none not above";
  EXPECT_EQ(d.QuantizeTempo(600), 546);
  EXPECT_EQ(d.QuantizeTempo(546), 546);
  d.ResetModifiedFlags();
  EXPECT_EQ(d.CheckSmfTempo(546), 546);
  EXPECT_TRUE(host.messages.shown.empty());
  EXPECT_EQ(d.CheckSmfTempo(600), 1);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7054});
  EXPECT_EQ(d.GetTempo(), 546);
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
}

TEST_F(KZ1DocChannels, TempoIndexIsTheArgumentInChipModeThree) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.GetTempoFromIndex(123), 123);
  EXPECT_EQ(d.GetTempoIndex(77), 77);
  EXPECT_EQ(d.QuantizeTempo(601), 601);
  EXPECT_EQ(d.CheckSmfTempo(601), 601);
  EXPECT_TRUE(host.messages.shown.empty());
  host.settings.chipMode = 4;
  EXPECT_EQ(d.GetTempoFromIndex(3), 0);
}

TEST_F(KZ1DocChannels, TimeBaseInMillisecondsQuantizesTheTempo) {
  CKZ1Doc& d = Make(2);
  d.SetTempo(500);
  ASSERT_EQ(d.SetTimeBaseMs(5), 1);
  EXPECT_EQ(d.GetTempo(), 437);
  EXPECT_EQ(d.GetPendingTimeBase(), 4);
  EXPECT_EQ(Make(3).SetTimeBaseMs(5), 0);
}

TEST_F(KZ1DocChannels, InitialValuesComeFromEventsBeforeTheFirstNote) {
  CKZ1Doc& d = Make(3);
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 0, {0xB1, 0, 124});
  AddEvent(list, 0, 0, {0xB1, 32, 3});
  AddEvent(list, 0, 0, {0xC1, 17});
  AddEvent(list, 0, 100, {0x91, 60, 100});
  AddEvent(list, 50, 0, {0xC1, 40});  // after the first note: ignored
  AddEvent(list, 60, 0, {0xB1, 7, 90});  // volume counts at any time in chip mode 3
  AddEvent(list, 0, 0, {0xC2, 5});
  ClearChannelValues(d);
  d.InitChannelSetupFromEvents();
  const CSongSetup& s = d.GetSongSetup();
  EXPECT_EQ(s.GetBankMsb(1), 124);
  EXPECT_EQ(s.GetBankLsb(1), 3);
  EXPECT_EQ(s.GetProgram(1), 17);
  EXPECT_EQ(s.GetVolume(1), 90);
  EXPECT_EQ(s.GetProgram(2), 5);
  EXPECT_EQ(s.GetBankMsb(2), 124) << "defaults come from channel 1";
  EXPECT_EQ(s.GetBankLsb(2), 3);
  EXPECT_EQ(s.GetProgram(3), 17);
  EXPECT_EQ(s.GetVolume(3), 255) << "chip mode 3 sets no default volume";
}

TEST_F(KZ1DocChannels, ChipModeTwoUsesTheFirstNoteRuleForVolume) {
  CKZ1Doc& d = Make(2);
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 100, {0x90, 60, 100});
  AddEvent(list, 60, 0, {0xB0, 7, 90});
  ClearChannelValues(d);
  d.InitChannelSetupFromEvents();
  EXPECT_EQ(d.GetSongSetup().GetVolume(0), 127) << "late volume ignored, slot 0 gives 127";
  EXPECT_EQ(d.GetSongSetup().GetBankMsb(0), 0);
  EXPECT_EQ(d.GetSongSetup().GetProgram(0), 0);
}

TEST_F(KZ1DocChannels, StreamWaveEntriesComeFromSlotMessagesUnlessAKeyIsFirst) {
  CKZ1Doc& d = Make(3);
  auto& pcm = *d.GetMidiListPCM();
  AddEvent(pcm, 0, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x0B, 2, 1, 40, 0xF7});
  AddEvent(pcm, 0, 10, {0x99, 93, 100});  // slot 15
  AddEvent(pcm, 5, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x0B, 15, 1, 41, 0xF7});
  AddEvent(pcm, 5, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x0B, 3, 3, 42, 0xF7});
  d.InitChannelSetupFromEvents();
  const CSongSetup& s = d.GetSongSetup();
  EXPECT_EQ(s.GetSlotSettingFirst(1), 1);
  EXPECT_EQ(s.GetSlotSettingSecond(1), 40);
  EXPECT_EQ(s.GetSlotSettingFirst(14), 255) << "slot 15's key came first";
  EXPECT_EQ(s.GetSlotSettingFirst(2), 255) << "kind above 2";
}

TEST_F(KZ1DocChannels, ChannelVolumeWritesTheFirstVolumeEvent) {
  CKZ1Doc& d = Make(3);
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 0, {0xB2, 7, 100});
  AddEvent(list, 10, 0, {0xB2, 7, 80});
  ASSERT_EQ(d.SetChannelVolume(2, 64), 1);
  EXPECT_EQ(Bytes(*list.front()), (std::vector<uint8_t>{0xB2, 7, 64}));
  EXPECT_EQ(Bytes(*list.back()), (std::vector<uint8_t>{0xB2, 7, 80}));
  EXPECT_EQ(d.GetChannelVolume(2), 64);
  EXPECT_EQ(d.GetSongSetup().GetNoVolumeEvent(2), 0);
  EXPECT_EQ(host.ui.songWindowUpdates, 1);
  d.SetChannelVolume(3, 50);
  EXPECT_EQ(d.GetSongSetup().GetNoVolumeEvent(3), 1);
  EXPECT_EQ(host.ui.songWindowUpdates, 1);
}

TEST_F(KZ1DocChannels, StreamPcmSettingWritesTheSlotEventUnlessAKeySoundsFirst) {
  CKZ1Doc& d = Make(3);
  auto& pcm = *d.GetMidiListPCM();
  AddEvent(pcm, 0, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x0B, 2, 0, 0, 0xF7});
  AddEvent(pcm, 0, 10, {0x99, 2, 100});  // slot 3's key
  AddEvent(pcm, 5, 0, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7F, 0x0B, 3, 0, 0, 0xF7});
  ASSERT_EQ(d.SetStreamPcmSetting(2, 1, 33), 1);
  EXPECT_EQ(pcm.front()->GetByte(8), 1);
  EXPECT_EQ(pcm.front()->GetByte(9), 33);
  EXPECT_EQ(d.GetSongSetup().GetSlotFlag(1), 0);
  ASSERT_EQ(d.SetStreamPcmSetting(3, 2, 44), 1);
  EXPECT_EQ(pcm.back()->GetByte(8), 0);
  EXPECT_EQ(d.GetSongSetup().GetSlotFlag(2), 1);
  EXPECT_EQ(d.GetSongSetup().GetSlotSettingSecond(2), 44);
  EXPECT_EQ(d.SetStreamPcmSetting(50, 0, 0), 0);
}

TEST_F(KZ1DocChannels, OutputSetupCarriesVoicesAndSilencesMutedChannels) {
  CKZ1Doc& d = Make(3);
  d.GetSongSetup().SetVolume(2, 100);
  d.SetChannelMute(2, 1);
  SongOutputRecord record;
  d.BuildOutputSetup(record, 1);
  EXPECT_EQ(record.bytes[SongOutputRecord::kVolumeOffset + 2], 100);
  d.BuildOutputSetup(record, 0);
  EXPECT_EQ(record.bytes[SongOutputRecord::kVolumeOffset + 2], 0);

  CSongSetup map;
  d.BuildAssignMap(map);
  EXPECT_EQ(map.GetVoiceItem(0), d.GetVoiceItem(0));
  EXPECT_EQ(map.GetVoiceItem(1), nullptr);
  EXPECT_EQ(map.GetStreamPcmSlot(1), nullptr);
  CStreamPCMSlot slot;
  d.SetStreamPcmSlot(1, slot);
  d.BuildAssignMap(map);
  EXPECT_EQ(map.GetStreamPcmSlot(1), d.GetStreamPcmSlot(1)) << "held at its slot number";
  EXPECT_EQ(map.GetStreamPcmSlot(0), nullptr);
  EXPECT_EQ(map.GetMasterVolume(), 100);
}

TEST_F(KZ1DocChannels, OutputSetupOfChipModeOneHoldsVoiceEntries) {
  CKZ1Doc& d = Make(1);
  uint8_t voice[33] = {};
  for (int i = 0; i < 33; ++i) voice[i] = static_cast<uint8_t>(i);
  d.GetVoiceAssignTable().SetAddress(1, 0, 0, 7, 0);
  d.GetVoiceAssignTable().SetKZ1Voice(1, voice);
  SongOutputRecord record;
  d.BuildOutputSetup(record, 1);
  const uint8_t* entry = record.bytes + SongOutputRecord::kBlockOffset + 16;
  EXPECT_EQ(entry[0], 1);
  EXPECT_EQ(entry[1], 0);
  EXPECT_EQ(entry[2], 7);
  EXPECT_EQ(entry[3], 32);
  EXPECT_EQ(entry[4], 20);
  EXPECT_EQ(entry[15], 31);
}

TEST_F(KZ1DocChannels, OutputSetupOfChipModeTwoPointsAtChangedVoices) {
  CKZ1Doc& d = Make(2);
  CVoice2 changed;
  changed.SetAlgorithm(5);
  d.GetVoiceAssignTable().SetVoice2(3, changed);
  SongOutputRecord record;
  d.BuildOutputSetup(record, 1);
  EXPECT_EQ(record.words[3], reinterpret_cast<std::uintptr_t>(d.GetVoiceAssignTable().GetVoice2(3)));
  EXPECT_EQ(record.words[4], 0u);
}

}  // namespace
