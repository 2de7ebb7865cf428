// The Velkgate plug-in's VELK container reader ("MMMD" and its chunks), then what a conversion
// takes from it: the contents information, the setup of the score tracks, the events of the
// score and master tracks, and the file written back and read again.
#include "fuzz/FuzzInput.h"
#include "plugins/velkgate/SetupTransfer.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "song/SongSetup.h"
#include "velk/ContentsInfo.h"

namespace {

void UseFile(velkgate::CVelkFileChunk& file) {
  for (bool compat : {false, true}) {
    CContentsInfo info;
    try {
      file.ReadContentsInfo(info, compat);
    } catch (int) {
    }
  }
  {
    CSongSetup setup;
    velkgate::TransferSetup(file, setup);
  }
  try {
    velkgate::CEventList events;
    uint32_t flags = 0;
    file.ScoreTracksToEvents(events, flags);
    file.MasterTracksToEvents(events);
  } catch (int) {
    // data that end inside an event
  }
  CMemStream out;
  file.Serialize(out);
  CMemStream again(out.GetData(), out.GetSize(), false);
  uint32_t flags = 0;
  velkgate::CVelkFileChunk reread(again, flags);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  try {
    CMemStream stream = fuzz::ReadStream(data, size);
    uint32_t flags = 0;
    velkgate::CVelkFileChunk file(stream, flags);
    UseFile(file);
  } catch (int) {
    // a refusal: -48, -108 or -1
  }
  return 0;
}
