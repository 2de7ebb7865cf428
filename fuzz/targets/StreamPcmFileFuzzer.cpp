// The stream-PCM file in its current and its earlier entry layout.
#include "fuzz/FuzzInput.h"
#include "song/StreamPCMTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  for (bool oldLayout : {false, true}) {
    try {
      CStreamPCMTable table;
      table.LoadBytes(data, static_cast<uint32_t>(size), oldLayout);
    } catch (int) {
    }
  }
  return 0;
}
