// The voice files of generations 1 and 2: the ".vkz" file and the voice-table file
// ("DefaultVoice.dat").
#include "fuzz/FuzzInput.h"
#include "song/Voice2List.h"
#include "song/VoiceTable1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  {
    CVoice2List list;
    list.LoadBytes(data, static_cast<uint32_t>(size));
  }
  try {
    CVoiceTable1 table;
    CMemStream stream = fuzz::ReadStream(data, size);
    ReadVoiceTable(table, stream);
  } catch (int) {
  }
  return 0;
}
