// The voice-bank file (".vk3") in its three load modes, over an empty bank and over one that
// already holds voices, then saved again.
#include "fuzz/FuzzInput.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  const auto n = static_cast<uint32_t>(size);
  for (int mode : {CVoiceBank::kLoadAll, CVoiceBank::kLoadOldLayout, CVoiceBank::kLoadFmOnly}) {
    CVoiceBank bank;
    CVoiceItem held;
    bank.SetVoice(124, 0, 0, 0, held);  // a fixed voice a file may not replace
    bank.LoadBytes(data, n, mode);
    bank.FindFreeWaveId();
    if (CVoiceItem* first = bank.GetItem(1)) bank.ShareIdenticalWaves(*first);
    CMemStream out;
    bank.SaveChunks(out, mode == CVoiceBank::kLoadAll);
  }
  return 0;
}
