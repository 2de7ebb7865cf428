// The VELK file reader with everything the loaders do on what it read: the contents
// information, the setup and seek queries, both sequence decoders, and writing it back.
#include <memory>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "song/SongSetup.h"
#include "song/Voice2.h"
#include "velk/ContentsInfo.h"
#include "velk/VelkFileChunk.h"

namespace {

void UseFile(CVelkFileChunk& file, uint32_t* report) {
  CContentsInfo info;
  try {
    file.GetContentsInfo(info);
  } catch (int) {
    // an option text item the record cannot take
  }
  uint8_t count = 0;
  file.GetSetupEntries(&count);
  file.GetSetupTempoByte();
  file.GetSetupVoiceCount();
  SongOutputRecord record;
  std::vector<std::unique_ptr<CVoice2>> voices;
  file.GetTrackSetup(record, voices);

  fuzz::OwnedRecords score;
  uint8_t exclusive = 0, timeBase = 24;
  int priority = 0;
  file.ReadScoreTracks(exclusive, timeBase, score.list, priority, report);
  fuzz::OwnedRecords audio;
  CChunkInfoList waves;
  file.ReadAudioTracks(audio.list, waves);

  CMemStream out;
  file.Write(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  // The loaders read without a report word; the plug-in side reads with one, which also keeps
  // compressed sequences as they are in report mode 2.
  for (uint32_t mode : {0xFFFFFFFFu, 0x0u, 0x2u}) {
    try {
      CMemStream stream = fuzz::ReadStream(data, size);
      uint32_t report = mode;
      uint32_t* reportWord = mode == 0xFFFFFFFFu ? nullptr : &report;
      CVelkFileChunk file(stream, reportWord);
      UseFile(file, reportWord);
    } catch (int) {
      // a refusal: -48, -108 or -1
    }
  }
  return 0;
}
