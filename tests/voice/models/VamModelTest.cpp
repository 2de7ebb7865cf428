#include "voice/models/VamModel.h"

#include <cstring>
#include <string>

#include "tests/voice/models/VamFixture.h"

namespace {

using vamtest::VamTest;

class VamModelTest : public VamTest {
 protected:
  CVamModel& Model(int chipMode, int profile = 2) {
    model.SetMode(chipMode, 128, profile);
    return model;
  }
  std::string Text(int slot, int column) { return model.CellOf(*doc, slot, column).text; }

  CVamModel model;
};

TEST_F(VamModelTest, TotalSizeCountsOperatorsUserWavesAndSamples) {
  Make(3);
  Model(3);
  AddSongWave(15);
  AddSongWave(31);
  Assign(0, Fm(124, 1, 0, 2, {15, 31, 1, 2}));
  Assign(1, Pcm(124, 1, 1, 1001, 4));
  Assign(2, Fm(124, 1, 2, 0));
  Assign(3, Pcm(124, 1, 3, 500, 3, true));
  EXPECT_EQ(Text(0, CVamModel::kColTotalSize), "4126");
  EXPECT_EQ(Text(1, CVamModel::kColTotalSize), "1016");
  EXPECT_EQ(Text(2, CVamModel::kColTotalSize), "16");
  EXPECT_EQ(Text(3, CVamModel::kColTotalSize), "0");
  EXPECT_EQ(Text(0, CVamModel::kColWS15), "used");
  EXPECT_EQ(Text(0, CVamModel::kColWS23), "----");
  EXPECT_EQ(Text(5, CVamModel::kColTotalSize), "");
}

TEST_F(VamModelTest, TotalSizeOfOddSamplesUnderMfiMakerTwo) {
  Make(3, 1);
  host.settings.makerId = 2;
  Model(3, 1);
  Assign(0, Pcm(124, 1, 0, 1000, 4));
  Assign(1, Pcm(124, 1, 1, 1001, 5));
  EXPECT_EQ(Text(0, CVamModel::kColTotalSize), "1016");
  EXPECT_EQ(Text(1, CVamModel::kColTotalSize), "1016");
}

TEST_F(VamModelTest, TypeTextsByBankNoteAndMaker) {
  Make(3);
  Model(3);
  Assign(0, Fm(0, 0, 5, 0));
  Assign(1, Fm(0, 0, 6, 0), 51);
  Assign(2, Fm(124, 1, 0, 2));
  Assign(3, Pcm(124, 1, 1, 10, 2));
  EXPECT_EQ(Text(0, CVamModel::kColType), "F2");
  EXPECT_EQ(Text(1, CVamModel::kColType), "P");
  EXPECT_EQ(Text(2, CVamModel::kColType), "F4");
  EXPECT_EQ(Text(3, CVamModel::kColType), "P");

  Make(3, 1);
  host.settings.makerId = 4;
  Model(3, 1);
  Assign(0, Fm(124, 10, 0, 2));
  EXPECT_EQ(Text(0, CVamModel::kColType), "F2");
}

TEST_F(VamModelTest, WaveIdAndNoteTexts) {
  Make(3);
  Model(3);
  Assign(0, Fm(124, 10, 0, 0));
  Assign(1, Pcm(124, 1, 1, 20, 3, true));
  Assign(2, Pcm(124, 1, 2, 20, 7));
  Assign(3, Fm(124, 1, 3, 0));
  Assign(4, Fm(125, 0, 2, 0), 40);
  doc->GetVoiceAssignTable().SetNote(3, 60);
  EXPECT_EQ(Text(0, CVamModel::kColWaveId), "ROM");
  EXPECT_EQ(Text(1, CVamModel::kColWaveId), "RM 3");
  EXPECT_EQ(Text(2, CVamModel::kColWaveId), "7");
  EXPECT_EQ(Text(3, CVamModel::kColWaveId), "----");
  EXPECT_EQ(Text(3, CVamModel::kColNote), "0");
  EXPECT_EQ(Text(4, CVamModel::kColNote), "40");
}

struct HitCase {
  int chipMode;
  int profile;
  int hScroll;
  int x;
  int y;
  int column;
  int row;
};

TEST_F(VamModelTest, HitTestsByLayout) {
  const HitCase cases[] = {
      {3, 2, 0, 10, 50, -1, -1},
      {3, 2, 0, 30, 50, CVamModel::kColC, 0},
      {3, 2, 0, 300, 60, CVamModel::kColName, 0},
      {3, 2, 0, 300, 65, -1, -1},
      {3, 2, 0, 500, 50, CVamModel::kColWS15, 0},
      {3, 4, 0, 460, 30, CVamModel::kColCh1, 0},
      {3, 4, 0, 760, 50, CVamModel::kColCh16, 1},
      {1, 2, 0, 200, 30, CVamModel::kColName, 0},
      {1, 2, 0, 340, 30, -1, -1},
      {3, 2, 6, 30, 50, CVamModel::kColName, 0},
      {3, 2, 0, 30, 40, -1, -1},
  };
  for (const HitCase& c : cases) {
    Make(c.chipMode, c.profile);
    Model(c.chipMode, c.profile);
    int row = -2;
    EXPECT_EQ(model.HitTest(c.x, c.y, 2000, 2000, c.hScroll, 0, &row), c.column)
        << c.chipMode << "/" << c.profile << " (" << c.x << ", " << c.y << ")";
    EXPECT_EQ(row, c.row) << c.chipMode << "/" << c.profile << " (" << c.x << ", " << c.y << ")";
  }
  EXPECT_EQ(model.GetHeaderHeight(), 25);
  Model(3, 4);
  EXPECT_EQ(model.GetHeaderHeight(), 0);
}

TEST_F(VamModelTest, AllTabSelectsUnusedSlotAndChannelTabKeepsSelection) {
  Make(3);
  Model(3);
  Assign(0, Fm(124, 1, 0, 0));
  Assign(1, Fm(124, 1, 1, 0));
  doc->SetSlotUse(0, 1, 0);  // slot 1: no channel uses it
  EXPECT_EQ(model.RowColour(*doc, 1, -1), CVamModel::kGrey);
  model.ClickName(*doc, 1);
  EXPECT_EQ(model.GetSelected(), 1);

  model.SetChannelFilter(0);
  EXPECT_EQ(model.GetSelected(), -1);
  model.ClickName(*doc, 0);
  EXPECT_EQ(model.GetSelected(), 0);
  model.ClickName(*doc, 1);
  EXPECT_EQ(model.GetSelected(), 0);
  model.ClickName(*doc, 50);
  EXPECT_EQ(model.GetSelected(), -1);
}

TEST_F(VamModelTest, FixedBankRowIsDrawnDark) {
  Make(3);
  Model(3);
  Assign(0, Fm(124, 10, 0, 0));
  Assign(1, Fm(124, 1, 0, 0));
  EXPECT_EQ(model.RowColour(*doc, 0, -1), CVamModel::kFixedBank);
  EXPECT_EQ(model.RowColour(*doc, 1, -1), 0u);
}

TEST_F(VamModelTest, ChannelToggleMarksSongAndSetsViewFlag) {
  Make(3, 4);
  Model(3, 4);
  Assign(0, Fm(124, 1, 0, 0));
  doc->SetChannelValue(2, 1);
  ASSERT_EQ(doc->SetChannelPart(2, 3, 1), 1);
  doc->ClearSlotUse(-1);
  doc->ResetModifiedFlags();
  EXPECT_TRUE(model.ToggleChannel(*doc, 0, 2));
  EXPECT_NE(doc->TestModifiedFlags(3), 0u);
  EXPECT_EQ(doc->GetSlotUse(2, 0), doc->GetChannelPart(2));
  EXPECT_EQ(doc->GetViewFlag(), 1);
  EXPECT_EQ(model.CellOf(*doc, 0, CVamModel::kColCh1 + 2).text, std::to_string(doc->GetChannelPart(2)));

  EXPECT_TRUE(model.ToggleChannel(*doc, 0, 2));
  EXPECT_EQ(doc->GetSlotUse(2, 0), 0);
  EXPECT_EQ(doc->GetViewFlag(), 0);
}

TEST_F(VamModelTest, RightClickRowFollowsVerticalPosition) {
  Make(1);
  Model(1);
  EXPECT_EQ(model.RightClickRow(50, 0), 1);
  EXPECT_EQ(model.RightClickRow(50, 4), 5);
  EXPECT_EQ(model.RightClickRow(50, 40), 15);
}

TEST_F(VamModelTest, ListCopiedFourOperatorVoiceRefusedInGmMode) {
  Make(3);
  Model(3);
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
  Assign(0, Fm(124, 1, 0, 0));
  const CVoiceItem four = Fm(124, 1, 9, 2);
  shell.SetClipVoiceItem(new CVoiceItem(four), 1);
  model.SetSelected(0);
  EXPECT_EQ(model.Paste(*doc, &library, shell), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7069});
  EXPECT_EQ(doc->GetVoiceItem(0)->GetAlgorithm(), 0);

  shell.SetClipVoiceItem(new CVoiceItem(four), 2);
  EXPECT_EQ(model.Paste(*doc, &library, shell), 1);
  EXPECT_EQ(doc->GetVoiceItem(0)->GetAlgorithm(), 2);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7069});
}

TEST_F(VamModelTest, PcmPasteTakesFreeIdOrLeavesSlotIntact) {
  Make(3);
  Model(3);
  Assign(0, Pcm(124, 1, 0, 30, 0));
  Assign(1, Fm(124, 1, 1, 0));
  shell.SetClipVoiceItem(new CVoiceItem(Pcm(124, 2, 5, 40, 0)), 1);
  model.SetSelected(1);
  ASSERT_EQ(model.Paste(*doc, &library, shell), 1);
  EXPECT_EQ(doc->GetVoiceItem(1)->GetWaveId(), 1);
  EXPECT_EQ(doc->GetVoiceItem(1)->GetWaveHeaderId(), 1);

  // Every id taken: pasting onto a PCM slot reuses the id its own wave frees.
  for (int i = 2; i < 128; ++i) Assign(i, Pcm(124, 3, i, 4, i));
  shell.SetClipVoiceItem(new CVoiceItem(Pcm(124, 2, 6, 41, 0)), 1);
  model.SetSelected(5);
  EXPECT_EQ(model.Paste(*doc, &library, shell), 1);
  EXPECT_EQ(doc->GetVoiceItem(5)->GetWaveId(), 5);
  EXPECT_EQ(doc->GetVoiceItem(5)->GetWaveSampleSize(), 41u);
  EXPECT_TRUE(host.messages.ShownIds().empty());
}

TEST_F(VamModelTest, RefusedPcmPasteLeavesTheSlotsWave) {
  Make(3, 1);
  Model(3, 1);
  for (int shape = 0; shape < 32; ++shape) AddSongWave(shape);
  Assign(0, Pcm(124, 1, 0, 30, 4));
  shell.SetClipVoiceItem(new CVoiceItem(Pcm(124, 2, 5, 40, 0)), 1);
  model.SetSelected(0);
  EXPECT_EQ(model.Paste(*doc, &library, shell), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7057});
  EXPECT_EQ(doc->GetVoiceItem(0)->GetWaveSampleSize(), 30u);
  EXPECT_EQ(doc->GetVoiceItem(0)->GetWaveId(), 4);
}

TEST_F(VamModelTest, CopyAndPasteEnabling) {
  Make(3);
  Model(3);
  Assign(0, Fm(124, 10, 0, 0));
  Assign(1, Fm(124, 1, 1, 0));
  EXPECT_FALSE(model.CanCopy(doc.get(), shell));
  model.SetSelected(0);
  EXPECT_FALSE(model.CanCopy(doc.get(), shell));
  model.SetSelected(1);
  EXPECT_TRUE(model.CanCopy(doc.get(), shell));
  EXPECT_FALSE(model.CanPaste(doc.get(), shell));
  model.Copy(*doc, shell);
  EXPECT_EQ(shell.GetClipVoiceKind(), 2);
  EXPECT_TRUE(model.CanPaste(doc.get(), shell));
  model.SetSelected(0);
  EXPECT_FALSE(model.CanPaste(doc.get(), shell));
  model.SetSelected(1);
  shell.idle = 0;
  EXPECT_FALSE(model.CanCopy(doc.get(), shell));
  EXPECT_FALSE(model.CanPaste(doc.get(), shell));
}

TEST_F(VamModelTest, GenerationOneNameReadsAtMostSixteenCharacters) {
  Make(1);
  Model(1);
  uint8_t voice[33];
  std::memset(voice, 'A', sizeof voice);
  doc->GetVoiceAssignTable().SetAddress(0, 0, 0, 0, 0);
  doc->GetVoiceAssignTable().SetKZ1Voice(0, voice);
  EXPECT_EQ(Text(0, CVamModel::kColName), std::string(16, 'A'));
}

TEST_F(VamModelTest, RowsShownOnlyWhenFirstChannelValueIsOne) {
  Make(3);
  EXPECT_TRUE(CVamModel::RowsShown(*doc));
  doc->SetChannelValue(0, 0);
  EXPECT_FALSE(CVamModel::RowsShown(*doc));
  doc->SetChannelValue(3, 2);
  EXPECT_FALSE(CVamModel::RowsShown(*doc));
}

TEST_F(VamModelTest, PopupItemsGreyByTheirRules) {
  Make(1);
  Model(1);
  doc->GetVoiceAssignTable().SetAddress(2, 0, 0, 0, 0);
  doc->SetSlotUse(4, 2, 1);
  EXPECT_FALSE(model.SlotPopupStates(*doc).newEnabled);
  EXPECT_FALSE(model.SlotPopupStates(*doc).deleteEnabled);
  model.SetSelected(3);  // unassigned
  EXPECT_TRUE(model.SlotPopupStates(*doc).newEnabled);
  model.SetSelected(2);
  EXPECT_FALSE(model.SlotPopupStates(*doc).newEnabled);
  EXPECT_TRUE(model.SlotPopupStates(*doc).deleteEnabled);
  model.SetChannelFilter(4);
  model.SetSelected(2);
  EXPECT_FALSE(model.SlotPopupStates(*doc).deleteEnabled);  // channel 5 plays it
  model.SetChannelFilter(5);
  model.SetSelected(2);
  EXPECT_TRUE(model.SlotPopupStates(*doc).deleteEnabled);

  Make(3);
  Model(3);
  model.SetSelected(-1);
  EXPECT_TRUE(model.ShowsCopyPastePopup(*doc));
  EXPECT_FALSE(model.VoiceListCommandsEnabled(*doc));  // nothing assigned
  Assign(0, Fm(124, 10, 0, 0));
  Assign(1, Fm(124, 1, 1, 0));
  EXPECT_TRUE(model.VoiceListCommandsEnabled(*doc));
  model.SetSelected(0);
  EXPECT_FALSE(model.ShowsCopyPastePopup(*doc));  // fixed bank
  model.SetSelected(1);
  EXPECT_TRUE(model.ShowsCopyPastePopup(*doc));
  doc->SetChannelValue(0, 2);
  EXPECT_FALSE(model.VoiceListCommandsEnabled(*doc));  // the rows are not drawn
}

}  // namespace
