// The song document's use of voice slots by channel, as the voice assignment map edits it.
#include "song/document/KZ1Doc.h"

int CKZ1Doc::IsSlotFreeForChannel(int slot, int channel) const {
  // A cleared slot may keep use values of its last voice; nobody plays it.
  if (GetVoiceProgram(slot) == CVoiceAssignTable::kUnset) return 1;
  if (channel != -1) return GetSlotUse(channel, slot) != 0 ? 0 : 1;
  for (int k = 0; k < CVoiceAssignTable::kChannelCount; ++k) {
    if (GetSlotUse(k, slot) != 0) return 0;
  }
  return 1;
}

int CKZ1Doc::ToggleSlotForChannel(int slot, int channel) {
  if (GetSlotUse(channel, slot) != 0) return SetSlotUse(channel, slot, 0);
  const int part = GetChannelPart(channel);
  return SetSlotUse(channel, slot, part != 0 ? part : 1);
}
