// The document's use of voice slots by channel as the voice assignment map edits it.
#include <algorithm>
#include <iterator>

#include "tests/song/document/DocTestSupport.h"

namespace {

class KZ1DocSlotUse : public doctest::DocTest {
 protected:
  void SetUp() override {
    Make(3);
    doc->ClearSlotUse(-1);
    doc->GetVoiceAssignTable().SetAddress(3, 124, 1, 7, 0);
  }
};

TEST_F(KZ1DocSlotUse, FreeForOneChannelOrForAll) {
  EXPECT_NE(doc->IsSlotFreeForChannel(3, 5), 0);
  EXPECT_NE(doc->IsSlotFreeForChannel(3, -1), 0);
  doc->SetSlotUse(5, 3, 2);
  EXPECT_EQ(doc->IsSlotFreeForChannel(3, 5), 0);
  EXPECT_NE(doc->IsSlotFreeForChannel(3, 4), 0);
  EXPECT_EQ(doc->IsSlotFreeForChannel(3, -1), 0);
}

TEST_F(KZ1DocSlotUse, ClearedSlotCountsAsFreeAndLosesItsVoice) {
  CVoiceItem voice;
  voice.SetName("Kept");
  doc->GetVoiceAssignTable().SetVoiceItem(3, voice);
  uint8_t entry[33];
  std::fill(std::begin(entry), std::end(entry), uint8_t{'K'});
  doc->GetVoiceAssignTable().SetKZ1Voice(3, entry);
  doc->SetSlotUse(0, 3, 1);
  doc->ClearVoiceSlot(3);
  EXPECT_EQ(doc->GetVoiceBankMsb(3), 255);
  EXPECT_EQ(doc->GetVoiceBankLsb(3), 255);
  EXPECT_EQ(doc->GetVoiceProgram(3), 255);
  EXPECT_EQ(doc->GetVoiceNote(3), 0);
  doc->GetKZ1Voice(3, entry);
  EXPECT_EQ(entry[0], 0);
  EXPECT_EQ(doc->GetVoiceItem(3)->GetName()[0], '\0');
  // The use value stays behind, but nobody plays an unassigned slot.
  EXPECT_NE(doc->IsSlotFreeForChannel(3, 0), 0);
  EXPECT_NE(doc->IsSlotFreeForChannel(3, -1), 0);
}

TEST_F(KZ1DocSlotUse, ToggleStoresTheChannelsPartOrOne) {
  doc->SetChannelValue(2, 1);
  ASSERT_EQ(doc->SetChannelPart(2, 3, 1), 1);
  const int part = doc->GetChannelPart(2);
  ASSERT_NE(part, 0);
  EXPECT_NE(doc->ToggleSlotForChannel(3, 2), 0);
  EXPECT_EQ(doc->GetSlotUse(2, 3), part);
  EXPECT_NE(doc->ToggleSlotForChannel(3, 2), 0);
  EXPECT_EQ(doc->GetSlotUse(2, 3), 0);

  ASSERT_EQ(doc->GetChannelPart(7), 0);
  EXPECT_NE(doc->ToggleSlotForChannel(3, 7), 0);
  EXPECT_EQ(doc->GetSlotUse(7, 3), 1);
  // Outside the channels or the slot area nothing changes.
  EXPECT_EQ(doc->ToggleSlotForChannel(3, 16), 0);
  EXPECT_EQ(doc->ToggleSlotForChannel(200, 2), 0);
}

}  // namespace
