// The song document's smaller services: density checks, numbered exports, master volume,
// phrase parts, slot use, channel voice maps, wave blocks and lists.
#include <gtest/gtest.h>

#include "DocTestSupport.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;

class KZ1DocServices : public doctest::DocTest {};

CMidiMsg& AddVolume(CKZ1Doc::EventList& list, uint32_t tick, uint8_t value) {
  return AddEvent(list, tick, 0, {0xF0, 0x08, 0x43, 0x79, 0x06, 0x7F, 0x00, value, 0xF7});
}

TEST_F(KZ1DocServices, MasterVolumeGoesIntoTheLastMessageBeforeTheFirstNote) {
  CKZ1Doc& d = Make(3);
  auto& list = *d.GetMidiList();
  CMidiMsg& early = AddVolume(list, 0, 100);
  CMidiMsg& atNote = AddVolume(list, 10, 50);
  AddEvent(list, 10, 20, {0x90, 60, 0});
  CMidiMsg& late = AddVolume(list, 20, 70);
  EXPECT_EQ(d.SetMasterVolumeEvent(90), 1);
  EXPECT_EQ(early.GetByte(7), 100);
  EXPECT_EQ(atNote.GetByte(7), 90);
  EXPECT_EQ(late.GetByte(7), 70);

  AddEvent(*d.GetMidiListPCM(), 5, 20, {0x90, 0, 100});
  EXPECT_EQ(d.SetMasterVolumeEvent(30), 1) << "a stream-PCM key sounds first";
  EXPECT_EQ(early.GetByte(7), 30);
  EXPECT_EQ(atNote.GetByte(7), 90);
}

TEST_F(KZ1DocServices, MasterVolumeWithoutNotesOrUnderProfileOne) {
  CKZ1Doc& d = Make(3);
  CMidiMsg& volume = AddVolume(*d.GetMidiList(), 0, 100);
  EXPECT_EQ(d.SetMasterVolumeEvent(90), 0);
  AddEvent(*d.GetMidiList(), 10, 20, {0x91, 60, 90});
  host.settings.outputProfile = 1;
  EXPECT_EQ(d.SetMasterVolumeEvent(90), 1);
  EXPECT_EQ(volume.GetByte(7), 100);
}

TEST_F(KZ1DocServices, DensityChecks) {
  struct Row {
    const char* name;
    int chip, profile, modeParameter;
    uint32_t average, maximum;
    int want;
    std::vector<int> ids;
  };
  const Row rows[] = {
      {"profile 4 passes", 3, 4, 1, 900, 2000, 1, {}},
      {"both over", 3, 2, 1, 501, 1001, 0, {7061, 7062}},
      {"at the limits", 3, 8, 1, 500, 1000, 1, {}},
      {"maximum only", 5, 1, 1, 10, 1001, 0, {7062}},
      {"no board", 3, 2, 0, 501, 1001, 0, {7063}},
      {"chip mode 1", 1, 2, 0, 501, 1001, 1, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CKZ1Doc& d = Make(r.chip);
    host.messages.shown.clear();
    host.settings.outputProfile = r.profile;
    host.settings.modeParameter = r.modeParameter;
    d.SetDensityInfo(0, r.average, r.maximum, 0, 0, {});
    EXPECT_EQ(d.CheckDensity(), r.want);
    EXPECT_EQ(host.messages.ShownIds(), r.ids);
  }
}

TEST_F(KZ1DocServices, DensityCheckForBoardSkipsTheBoardTest) {
  CKZ1Doc& d = Make(3);
  host.settings.modeParameter = 0;
  d.SetDensityInfo(0, 100, 1001, 0, 0, {});
  EXPECT_EQ(d.CheckDensityForBoard(), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7062});
}

TEST_F(KZ1DocServices, NumberedExport) {
  CKZ1Doc& d = Make(3);
  host.settings.outputProfile = 4;
  d.SetNumberedExport(1);
  d.SetPathName("/tmp/song.spf");
  EXPECT_EQ(d.IsNumberedExport(), 1);
  d.SetPathName("/tmp/song.MMF");
  EXPECT_EQ(d.IsNumberedExport(), 0);
  d.SetPathName("/tmp/song.spf");
  host.settings.outputProfile = 2;
  EXPECT_EQ(d.IsNumberedExport(), 0);
  host.settings.outputProfile = 4;
  d.SetNumberedExport(0);
  EXPECT_EQ(d.IsNumberedExport(), 0);
}

TEST_F(KZ1DocServices, ChannelPartMovesOnPastAFullPart) {
  CKZ1Doc& d = Make(3);
  for (int k = 0; k < 16; ++k) d.SetChannelValue(k, 1);
  for (int k = 1; k <= 4; ++k) ASSERT_EQ(d.SetChannelPart(k, 2, 1), 1);
  EXPECT_EQ(d.SetChannelPart(0, 2, 1), 1);
  EXPECT_EQ(d.GetChannelPart(0), 3);
  EXPECT_EQ(d.SetChannelPart(0, 2, -1), 1);
  EXPECT_EQ(d.GetChannelPart(0), 1);
  for (int k = 5; k <= 8; ++k) ASSERT_EQ(d.SetChannelPart(k, 4, 1), 1);
  EXPECT_EQ(d.SetChannelPart(0, 4, 1), 1);
  EXPECT_EQ(d.GetChannelPart(0), 0);
  EXPECT_EQ(d.SetChannelPart(1, 2, 1), 1) << "a channel already holding the part keeps it";
  EXPECT_EQ(d.GetChannelPart(1), 2);
}

TEST_F(KZ1DocServices, ChannelPartRefusals) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.SetChannelPart(0, 1, 1), 0) << "a channel without notes";
  d.SetChannelValue(0, 1);
  host.settings.outputProfile = 4;
  d.SetNumberedExport(1);
  d.SetPathName("/tmp/song.spf");
  EXPECT_EQ(d.SetChannelPart(0, 1, 1), 0);
  d.SetNumberedExport(0);
  EXPECT_EQ(d.SetChannelPart(0, 1, 1), 1);
  EXPECT_EQ(d.SetChannelPart(0, 5, 1), 0);
  EXPECT_EQ(d.SetChannelPart(16, 1, 1), 0);
}

TEST_F(KZ1DocServices, ChannelPartDerivesTheChannelsSlotUse) {
  CKZ1Doc& d = Make(3);
  d.SetChannelValue(3, 1);
  d.SetSlotUse(3, 40, 7);
  d.SetChannelSlot(3, 5, 0);
  ASSERT_EQ(d.SetChannelPart(3, 1, 1), 1);
  EXPECT_EQ(d.GetSlotUse(3, 40), 0);
  EXPECT_EQ(d.GetSlotUse(3, 5), 1);
  EXPECT_EQ(d.TestModifiedFlags(1), 1u);
}

TEST_F(KZ1DocServices, ChannelSlotGivesUpAt126) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.SetChannelSlot(0, 7, 3), 1);
  EXPECT_EQ(d.GetChannelSlot(0, 3), 7);
  EXPECT_EQ(d.GetChannelSlot(0, 0), -1);
  EXPECT_EQ(d.SetChannelSlot(0, 8, 0), 1);
  EXPECT_EQ(d.SetChannelSlot(0, 8, 0), 1) << "held already";
  EXPECT_EQ(d.GetChannelSlot(0, 0), 8);
  EXPECT_EQ(d.GetChannelSlot(0, 1), -1);
  for (int i = 0; i < 126; ++i) d.SetChannelTableWord(1, i, 1000 + i);
  EXPECT_EQ(d.SetChannelSlot(1, 9, 0), 0);
  EXPECT_EQ(d.GetChannelSlot(1, 126), -1);
  EXPECT_EQ(d.SetChannelSlot(1, 1125, 0), 1);
}

TEST_F(KZ1DocServices, SlotFlagsAndResetSong) {
  CKZ1Doc& d = Make(3);
  d.SetChannelSlotFlag(3, 200);
  d.SetChannelSlotFlag(15, 200);
  d.SetChannelSlotFlag(16, 200);
  d.SetChannelSlotFlag(0, 512);
  EXPECT_EQ(d.GetChannelSlotFlags(200), 0x8008);
  d.ResetSong();
  EXPECT_EQ(d.GetChannelSlotFlags(200), 0);
}

TEST_F(KZ1DocServices, SlotUseHelpers) {
  CKZ1Doc& d = Make(3);
  ASSERT_EQ(d.AssignVoice(1, 125, 0, 0, 36), 1);
  ASSERT_EQ(d.AssignVoice(2, 125, 0, 0, 38), 1);
  d.SetSlotUse(9, 1, 2);
  EXPECT_EQ(d.GetVoiceUse(9, 125, 0, 0, 36), 2);
  EXPECT_EQ(d.GetVoiceUse(9, 125, 0, 0, 40), 0);
  EXPECT_EQ(d.FindSameVoiceSlot(9, 2), 0) << "slot 1 plays the same bank and program";
  EXPECT_EQ(d.FindSameVoiceSlot(8, 2), 1);
  EXPECT_EQ(d.FindSameVoiceSlot(9, 1), 1) << "same note";
  d.SetSlotUse(4, 1, 1);
  d.ClearSlotUse(9);
  EXPECT_EQ(d.GetSlotUse(9, 1), 0);
  EXPECT_EQ(d.GetSlotUse(4, 1), 1);
  d.ClearSlotUse(-1);
  EXPECT_EQ(d.GetSlotUse(4, 1), 0);
  EXPECT_EQ(d.CountUsedVoiceItems(), 3);
}

TEST_F(KZ1DocServices, WaveBlocks) {
  CKZ1Doc& d = Make(3);
  CNamedBlock block;
  const uint8_t data[] = {1, 2, 3};
  block.SetData(data, 3);
  block.SetName("wave");
  EXPECT_EQ(d.SetWaveBlock(4, &block), 1);
  ASSERT_NE(d.GetWaveBlock(4), nullptr);
  EXPECT_NE(d.GetWaveBlock(4), &block);
  EXPECT_EQ(d.GetWaveBlock(4)->GetSize(), 3);
  EXPECT_EQ(d.SetWaveBlock(4, nullptr), 1);
  EXPECT_EQ(d.GetWaveBlock(4), nullptr);
  EXPECT_EQ(d.SetWaveBlock(32, &block), 0);
}

TEST_F(KZ1DocServices, DensityAndStreamSizeLists) {
  CKZ1Doc& d = Make(3);
  d.SetDensityInfo(2, 300, 800, 1234, 5000, {CMsgKey(1, 2, 3), CMsgKey(4, 5, 6)});
  EXPECT_EQ(d.HasDensityInfo(), 1);
  EXPECT_EQ(d.GetDensityFlag(), 2);
  EXPECT_EQ(d.GetMaxDensityTime(), 1234u);
  EXPECT_EQ(d.GetGraphLength(), 5000u);
  std::vector<CMsgKey> keys;
  EXPECT_EQ(d.MakeMsgKeys(keys), 1);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[1].GetThird(), 6u);
  EXPECT_EQ(d.MakeMsgKeys(keys), 0) << "a target that is not empty";
  EXPECT_EQ(keys.size(), 2u);
  d.ResetDensityInfo(0);
  EXPECT_EQ(d.HasDensityInfo(), 0);
  EXPECT_EQ(d.GetGraphLength(), 5000u);
  d.ResetDensityInfo(1);
  EXPECT_EQ(d.GetGraphLength(), 0u);

  d.SetStreamSizeList(10, 20, {CValuePoint(1, 2, 3)});
  EXPECT_EQ(host.ui.streamSizeGraphBuilds, 1);
  EXPECT_EQ(d.GetStreamSummary2(), 20u);
  EXPECT_EQ(d.GetWaveList().size(), 1u);
  d.ClearWaveList(0);
  EXPECT_EQ(host.ui.streamSizeGraphBuilds, 1);
  EXPECT_EQ(d.GetStreamSummary1(), 0xFFFFFFFFu);
  EXPECT_TRUE(d.GetWaveList().empty());
  d.ClearWaveList(1);
  EXPECT_EQ(host.ui.streamSizeGraphBuilds, 2);
}

TEST_F(KZ1DocServices, ResetSongClearsDensityAndWaveList) {
  CKZ1Doc& d = Make(3);
  d.SetDensityInfo(2, 300, 800, 1234, 5000, {CMsgKey(1, 2, 3)});
  d.SetStreamSizeList(10, 20, {CValuePoint(1, 2, 3)});
  d.ResetSong();
  EXPECT_EQ(d.HasDensityInfo(), 0);
  EXPECT_EQ(d.GetGraphLength(), 0u);
  EXPECT_TRUE(d.GetDensityList().empty());
  EXPECT_TRUE(d.GetWaveList().empty());
  EXPECT_EQ(d.GetStreamSummary1(), 0xFFFFFFFFu);
}

TEST_F(KZ1DocServices, CollectMetaEventsCopiesTimeSignatures) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 0, {0xFF, 0x58, 0x04, 3, 2, 24, 8});
  AddEvent(*d.GetMidiList(), 0, 0, {0xFF, 0x51, 0x03, 7, 0xA1, 0x20});
  AddEvent(*d.GetMidiList(), 960, 0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});
  CKZ1Doc::EventList target;
  EXPECT_EQ(d.CollectMetaEvents(target), 1);
  ASSERT_EQ(target.size(), 2u);
  EXPECT_EQ(target.back()->GetTick(), 960u);
  EXPECT_EQ(target.back()->GetExtra(), 10u);
  EXPECT_EQ(Bytes(*target.front())[3], 3);
  EXPECT_EQ(d.CollectMetaEvents(target), 0);
  EXPECT_EQ(target.size(), 2u);
}

TEST_F(KZ1DocServices, BoardValueNeedsABoardDevice) {
  CKZ1Doc& d = Make(3);
  d.SetBoardValue(480);
  EXPECT_EQ(d.HasTickUnit(), 1);
  EXPECT_EQ(d.GetBoardValue(), 480);
  host.board.device = false;
  EXPECT_EQ(d.GetBoardValue(), 0);
}

}  // namespace
