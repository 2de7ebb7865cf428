// The voice scan over the song's events: assignment and query.
#include <gtest/gtest.h>

#include "DocTestSupport.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"

namespace {

using doctest::AddEvent;

class KZ1DocVoiceScan : public doctest::DocTest {
 protected:
  CKZ1Doc& MakeSong() {
    CKZ1Doc& d = Make(3);
    host.registry.voiceLibrary = &library;
    return d;
  }
  // Bank select, program change and one note on a channel.
  void Play(uint32_t tick, int k, int msb, int program, int note) {
    auto& list = *doc->GetMidiList();
    const uint8_t ch = static_cast<uint8_t>(k);
    AddEvent(list, tick, 0, {static_cast<uint8_t>(0xB0 | ch), 0, static_cast<uint8_t>(msb)});
    AddEvent(list, tick, 0, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(program)});
    AddEvent(list, tick, tick + 10, {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(note), 100});
  }

  CVoiceLibrary library;
};

TEST_F(KZ1DocVoiceScan, AssignsEachPlayedVoiceToAChannelSlot) {
  CKZ1Doc& d = MakeSong();
  Play(0, 0, 124, 5, 60);
  Play(0, 1, 124, 16, 64);
  ASSERT_TRUE(d.SetVAMFromMidiList());
  const int a = d.FindVoiceIndex(124, 0, 5, 255);
  const int b = d.FindVoiceIndex(124, 0, 16, 255);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_EQ(d.GetChannelVoiceSlot(0), a);
  EXPECT_EQ(d.GetChannelVoiceSlot(1), b);
  EXPECT_EQ(d.GetChannelSlot(0, 0), a) << "the channel's voice map";
  EXPECT_EQ(d.GetChannelSlot(0, 1), -1);
  EXPECT_EQ(d.GetChannelSlotFlags(a), 1) << "the slot's channel mask";
  EXPECT_EQ(d.GetChannelSlotFlags(b), 2);
}

TEST_F(KZ1DocVoiceScan, LaterVoicesOfAChannelKeepItsInitialVoice) {
  CKZ1Doc& d = MakeSong();
  Play(0, 2, 124, 5, 60);
  Play(100, 2, 124, 7, 60);
  ASSERT_TRUE(d.SetVAMFromMidiList());
  const int first = d.FindVoiceIndex(124, 0, 5, 255);
  const int second = d.FindVoiceIndex(124, 0, 7, 255);
  ASSERT_GE(second, 0);
  EXPECT_EQ(d.GetChannelVoiceSlot(2), first);
  EXPECT_EQ(d.GetChannelSlot(2, 0), first);
  EXPECT_EQ(d.GetChannelSlot(2, 1), second);
}

TEST_F(KZ1DocVoiceScan, DrumBankRules) {
  CKZ1Doc& d = MakeSong();
  Play(0, 9, 125, 0, 12);   // a stream-PCM key: no voice
  Play(10, 9, 125, 20, 36);  // program above 10 becomes 0
  ASSERT_TRUE(d.SetVAMFromMidiList());
  EXPECT_EQ(d.FindVoiceIndex(125, 0, 0, 12), -1);
  EXPECT_GE(d.FindVoiceIndex(125, 0, 0, 36), 0);
  EXPECT_EQ(d.FindVoiceIndex(125, 0, 20, 36), -1);
  EXPECT_EQ(d.GetChannelSlot(9, 1), -1) << "one drum voice only";
}

TEST_F(KZ1DocVoiceScan, MelodyLsbAboveTenAndOtherBanks) {
  CKZ1Doc& d = MakeSong();
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 0, {0xB3, 0, 124});
  AddEvent(list, 0, 0, {0xB3, 32, 11});
  AddEvent(list, 0, 0, {0xC3, 4});
  AddEvent(list, 0, 10, {0x93, 60, 100});
  Play(0, 4, 50, 4, 60);  // a bank the chip does not have
  ASSERT_TRUE(d.SetVAMFromMidiList());
  EXPECT_GE(d.FindVoiceIndex(124, 0, 4, 255), 0);
  EXPECT_EQ(d.FindVoiceIndex(124, 11, 4, 255), -1);
  EXPECT_EQ(d.GetChannelSlot(4, 0), -1);
}

TEST_F(KZ1DocVoiceScan, NoteWithoutProgramPlaysVoiceZero) {
  CKZ1Doc& d = MakeSong();
  AddEvent(*d.GetMidiList(), 0, 10, {0x95, 60, 100});
  ASSERT_TRUE(d.SetVAMFromMidiList());
  EXPECT_EQ(d.GetChannelSlot(5, 0), d.FindVoiceIndex(0, 0, 0, 255));
}

TEST_F(KZ1DocVoiceScan, FourOperatorPresetVoiceInGmModeStopsTheScan) {
  CKZ1Doc& d = MakeSong();
  CVoiceItem fourOps;
  fourOps.SetAlgorithm(2);
  library.SetVoice(124, 0, 5, 0, fourOps);
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 1);
  Play(0, 0, 124, 5, 60);
  Play(0, 1, 124, 6, 60);
  EXPECT_FALSE(d.SetVAMFromMidiList());
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7056});
  EXPECT_EQ(d.FindVoiceIndex(124, 0, 6, 255), -1) << "the scan stopped";
}

TEST_F(KZ1DocVoiceScan, FourOperatorVoiceIsFineOutsideGmModeOrUnderProfileFour) {
  CVoiceItem fourOps;
  fourOps.SetAlgorithm(2);
  for (const auto& [mode, profile] : {std::pair{0, 2}, std::pair{1, 4}, std::pair{2, 6}}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode << " profile " << profile);
    host.messages.shown.clear();
    CKZ1Doc& d = MakeSong();
    library.SetVoice(124, 0, 5, 0, fourOps);
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", mode);
    host.settings.outputProfile = profile;
    Play(0, 0, 124, 5, 60);
    EXPECT_TRUE(d.SetVAMFromMidiList());
    EXPECT_TRUE(host.messages.shown.empty());
  }
}

TEST_F(KZ1DocVoiceScan, OtherChipModesDoNothing) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 10, {0x90, 60, 100});
  EXPECT_TRUE(d.SetVAMFromMidiList());
  EXPECT_EQ(d.GetChannelSlot(0, 0), -1);
}

TEST_F(KZ1DocVoiceScan, ProgramChangeWithoutNoteIsAssignedOnlyForTheMakerProfiles) {
  for (const bool maker4 : {false, true}) {
    SCOPED_TRACE(maker4);
    CKZ1Doc& d = MakeSong();
    host.settings.outputProfile = maker4 ? 1 : 2;
    host.settings.makerId = maker4 ? 4 : 1;
    auto& list = *d.GetMidiList();
    AddEvent(list, 0, 0, {0xB2, 0, 124});
    AddEvent(list, 0, 0, {0xC2, 33});
    ASSERT_TRUE(d.SetVAMFromMidiList());
    EXPECT_EQ(d.FindVoiceIndex(124, 0, 33, 255) >= 0, maker4);
  }
}

TEST_F(KZ1DocVoiceScan, ProgramChangeAfterTheStopPointWaitsForNoNote) {
  CKZ1Doc& d = MakeSong();
  host.settings.outputProfile = 1;
  host.settings.makerId = 4;
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x09}, 9);
  AddEvent(list, 0, 0, {0xB2, 0, 124});
  AddEvent(list, 0, 0, {0xC2, 33});
  ASSERT_TRUE(d.SetVAMFromMidiList());
  EXPECT_EQ(d.FindVoiceIndex(124, 0, 33, 255), -1);
}

TEST_F(KZ1DocVoiceScan, QueryFindsAPlayedAddress) {
  CKZ1Doc& d = MakeSong();
  Play(0, 0, 124, 5, 60);
  Play(0, 9, 125, 0, 40);
  EXPECT_TRUE(d.FindVoiceUse(0, 124, 0, 5, 255));
  EXPECT_TRUE(d.FindVoiceUse(255, 124, 0, 5, 255));
  EXPECT_TRUE(d.FindVoiceUse(0, 124, 0, 5, 60));
  EXPECT_FALSE(d.FindVoiceUse(0, 124, 0, 5, 61));
  EXPECT_FALSE(d.FindVoiceUse(1, 124, 0, 5, 255));
  EXPECT_FALSE(d.FindVoiceUse(0, 124, 0, 6, 255));
  EXPECT_TRUE(d.FindVoiceUse(9, 125, 0, 0, 40));
  EXPECT_EQ(d.GetChannelSlot(0, 0), -1) << "a query assigns nothing";
}

}  // namespace
