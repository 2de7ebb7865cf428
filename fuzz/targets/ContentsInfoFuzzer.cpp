// The "CNTI" chunk: its header bytes and the option text parsed into the record, then the
// record built back into a chunk.
#include "fuzz/FuzzInput.h"
#include "velk/ContentsInfo.h"
#include "velk/ContentsInfoChunk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  try {
    CMemStream stream = fuzz::ReadStream(data, size);
    CContentsInfoChunk chunk;
    chunk.Read(stream);
    CContentsInfo record;
    try {
      chunk.ParseBody(record);
    } catch (int) {
      // K3, DV or an unknown tag
    }
    record.FitTexts(0xFFFFFFFF);
    CContentsInfoChunk rebuilt;
    rebuilt.BuildBody(record);
    CMemStream out;
    rebuilt.Write(out);
  } catch (int) {
  }
  return 0;
}
