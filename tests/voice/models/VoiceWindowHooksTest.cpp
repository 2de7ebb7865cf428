#include "voice/VoiceWindowHooks.h"

#include <gtest/gtest.h>

namespace {

TEST(VoiceWindowHooks, OpenerAnswersZeroUntilSet) {
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(3, voice_hooks::SlotDialog::Gen1), 0);

  int seenSlot = -1;
  voice_hooks::SetSlotVoiceDialogOpener([&](int slot, voice_hooks::SlotDialog) {
    seenSlot = slot;
    return 1;
  });
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(3, voice_hooks::SlotDialog::ByChipMode), 1);
  EXPECT_EQ(seenSlot, 3);
  voice_hooks::SetSlotVoiceDialogOpener({});
}

}  // namespace
