#include "voice/VoiceWindowHooks.h"

#include <gtest/gtest.h>

namespace {

TEST(VoiceWindowHooks, OpenersAnswerZeroUntilSet) {
  int mode = 1, pan = 2;
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(3, voice_hooks::SlotDialog::Gen1), 0);
  EXPECT_EQ(voice_hooks::OpenWavePanDialog(mode, pan), 0);

  int seenSlot = -1;
  voice_hooks::SetSlotVoiceDialogOpener([&](int slot, voice_hooks::SlotDialog) {
    seenSlot = slot;
    return 1;
  });
  voice_hooks::SetWavePanOpener([](int& m, int& p) {
    m = 0;
    p = 64;
    return 1;
  });
  EXPECT_EQ(voice_hooks::OpenSlotVoiceDialog(3, voice_hooks::SlotDialog::ByChipMode), 1);
  EXPECT_EQ(seenSlot, 3);
  EXPECT_EQ(voice_hooks::OpenWavePanDialog(mode, pan), 1);
  EXPECT_EQ(pan, 64);
  voice_hooks::SetSlotVoiceDialogOpener({});
  voice_hooks::SetWavePanOpener({});
}

}  // namespace
