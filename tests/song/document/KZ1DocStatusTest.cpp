// Chip-mode limits, channel status fields and the stream-PCM slots with their keys.
#include "DocTestSupport.h"
#include "song/VoiceItem.h"

namespace {

class KZ1DocStatus : public doctest::DocTest {};

TEST_F(KZ1DocStatus, ChipModeLimitsByMode) {
  struct Case {
    int mode, channels, second, waveScan, mask;
  };
  const Case cases[] = {{1, 4, 8, 16, 0x000F}, {2, 16, 16, 16, 0xFFFF}, {3, 16, 16, 128, 0xFFFF},
                        {5, 16, 16, 128, 0xFFFF}};
  for (const auto& c : cases) {
    CKZ1Doc& d = Make(c.mode);
    EXPECT_EQ(d.GetChannelCount(), c.channels) << c.mode;
    EXPECT_EQ(d.GetSecondChannelCount(), c.second) << c.mode;
    EXPECT_EQ(d.GetWaveScanSlotCount(), c.waveScan) << c.mode;
    EXPECT_EQ(d.GetChannelMask(), c.mask) << c.mode;
  }
  CKZ1Doc& d = Make(3);
  d.SetChannelWord(2, 9);
  d.SetChipModeLimits(4);
  EXPECT_EQ(d.GetChannelCount(), 16) << "mode 4 leaves every value";
  EXPECT_EQ(d.GetChannelWord(2), 9);
  d.SetChipModeLimits(1);
  EXPECT_EQ(d.GetChannelCount(), 4);
  EXPECT_EQ(d.GetChannelWord(2), 0);
}

TEST_F(KZ1DocStatus, StatusFieldsWriteOnlyTheirOwnBits) {
  CKZ1Doc& d = Make(3);
  d.GetSongSetup().SetStatus(0, 0x40);
  d.SetChannelStatusHigh(0, 2);
  EXPECT_EQ(d.GetSongSetup().GetStatus(0), 0x80) << "bit 7 set, bit 6 cleared";
  EXPECT_EQ(d.GetChannelStatusHigh(0), 2);
  d.SetChannelVS(0, 1);
  d.SetChannelLED(0, 1);
  d.SetChannelKind(0, 3);
  EXPECT_EQ(d.GetSongSetup().GetStatus(0), 0x80 | 0x20 | 0x10 | 0x03);
  EXPECT_EQ(d.GetChannelVS(0), 1);
  EXPECT_EQ(d.GetChannelLED(0), 1);
  EXPECT_EQ(d.GetChannelKind(0), 3);

  CKZ1Doc& one = Make(1);
  one.SetChannelStatusHigh(1, 1);
  one.SetChannelVS(1, 1);
  EXPECT_EQ(one.GetSongSetup().GetStatus(1), 0x08 | 0x04);
  EXPECT_EQ(one.SetChannelLED(1, 1), 1);
  EXPECT_EQ(one.GetChannelLED(1), 0) << "no LED flag in chip mode 1";
  EXPECT_EQ(one.GetSongSetup().GetStatus(1), 0x0C);

  host.settings.chipMode = 4;
  EXPECT_EQ(one.GetChannelKind(1), 0) << "no kind in chip mode 4";
  host.settings.chipMode = 7;
  EXPECT_EQ(one.GetChannelVS(1), 0);
  EXPECT_EQ(one.SetChannelVS(1, 0), 1);
  EXPECT_EQ(one.GetSongSetup().GetStatus(1), 0x0C) << "setters do nothing outside 1..5";
}

TEST_F(KZ1DocStatus, StreamPcmSlotsHaveFixedKeys) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.GetStreamPcmSlotCount(), 49);
  EXPECT_EQ(d.GetStreamPcmSlotNote(1), 0);
  EXPECT_EQ(d.GetStreamPcmSlotNote(13), 12);
  EXPECT_EQ(d.GetStreamPcmSlotNote(14), 92);
  EXPECT_EQ(d.GetStreamPcmSlotNote(49), 127);
  EXPECT_EQ(d.FindStreamPcmSlotByNote(92), 14);
  EXPECT_EQ(d.FindStreamPcmSlotByNote(0), 1);
  EXPECT_EQ(d.FindStreamPcmSlotByNote(50), 255);
  EXPECT_EQ(d.GetStreamPcmSlot(50), nullptr);
}

TEST_F(KZ1DocStatus, NoByteAbove127SelectsAStreamPcmSlot) {
  CKZ1Doc& d = Make(3);
  d.GetStreamPcmTable()[20].SetNote(0xA0);  // a key the table was given from outside
  for (int note : {0x80, 0xA0, 0xFF, 0x100, -1}) EXPECT_EQ(d.FindStreamPcmSlotByNote(note), 255) << note;
  d.FreeStreamPcmSlots();
  EXPECT_EQ(d.GetStreamPcmSlotNote(1), 255) << "a missing table reads key 255 everywhere";
  EXPECT_EQ(d.FindStreamPcmSlotByNote(255), 255);
  EXPECT_EQ(d.FindStreamPcmSlotByNote(0), 255);
}

TEST_F(KZ1DocStatus, CopyIntoASlotKeepsItsKey) {
  CKZ1Doc& d = Make(3);
  CStreamPCMSlot source;
  source.SetNote(3);
  source.SetRate(8000);
  const uint8_t wave[] = {9, 8, 7};
  source.SetWaveData(wave, 3);
  ASSERT_EQ(d.SetStreamPcmSlot(14, source), 1);
  const CStreamPCMSlot& slot = *d.GetStreamPcmSlot(14);
  EXPECT_EQ(slot.GetNote(), 92);
  EXPECT_EQ(slot.GetBankMsb(), 125);
  EXPECT_EQ(slot.GetBankLsb(), 0);
  EXPECT_EQ(slot.GetProgram(), 0);
  EXPECT_EQ(slot.GetRate(), 8000);
  EXPECT_EQ(slot.GetDataSize(), 3u);
  ASSERT_EQ(d.ClearStreamPcmSlot(14), 1);
  EXPECT_EQ(d.GetStreamPcmSlotProgram(14), 255);
  EXPECT_EQ(d.GetStreamPcmSlotNote(14), 92);
  d.ResetSong();
  EXPECT_EQ(d.GetStreamPcmSlot(14)->GetDataSize(), 0u) << "a new song has no stream waves";
}

TEST_F(KZ1DocStatus, ChannelVoiceCountsOfChipModeTwo) {
  CKZ1Doc& d = Make(2);
  EXPECT_EQ(d.CountChannelVoices(5), 1);
  CVoiceItem four;
  four.SetKind(4);
  d.GetVoiceAssignTable().SetVoiceItem(1, four);
  EXPECT_EQ(d.CountChannelVoices(5), 0);
  EXPECT_EQ(d.CountChannelVoices(1), 1);
  d.GetVoiceAssignTable().SetBankMsb(5, 0);
  EXPECT_EQ(d.CheckChannelForVoice(1, four), 0) << "slot 5 holds a voice";
  d.GetVoiceAssignTable().SetBankMsb(5, 255);
  EXPECT_EQ(d.CheckChannelForVoice(1, four), 1);
  EXPECT_EQ(d.CheckChannelForVoice(5, four), 0);
  EXPECT_EQ(Make(3).CountChannelVoices(5), 1);
}

TEST(KZ1DocHelpers, SmallFunctions) {
  EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);
  EXPECT_EQ(IsStreamPcmChipMode(5), 1);
  EXPECT_EQ(IsStreamPcmChipMode(4), 0);
}

TEST_F(KZ1DocStatus, SecondAreaIsTheMakerDrumRule) {
  host.settings.outputProfile = 1;
  host.settings.makerId = 2;
  EXPECT_EQ(IsKZ3DrumNoteAllowed(0x7D, 0, 10, 30), 1);
  EXPECT_EQ(IsKZ3DrumNoteAllowed(0x7D, 0, 10, 35), 0);
  EXPECT_EQ(IsKZ3DrumNoteAllowed(0x7D, 0, 11, 30), 0);
  EXPECT_EQ(IsKZ3DrumNoteAllowed(0, 0, 5, 83), 1);
  EXPECT_EQ(IsKZ3DrumNoteAllowed(0, 1, 5, 83), 0);
  CKZ1Doc& d = Make(3);
  d.GetVoiceAssignTable().SetAddress(130, 0x7D, 0, 10, 30);
  EXPECT_EQ(d.FindVoiceIndex(0x7D, 0, 10, 30), 130);
  EXPECT_EQ(d.FindUnusedVoiceSlot(0x7D, 0, 10, 31), 128);
  host.settings.makerId = 1;
  EXPECT_EQ(IsKZ3DrumNoteAllowed(0x7D, 0, 10, 30), 0);
  EXPECT_EQ(d.FindUnusedVoiceSlot(124, 0, 0, 0), 1);
}

}  // namespace
