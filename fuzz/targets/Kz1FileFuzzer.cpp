// The KZ-1 song file reader: the file read into a chip-mode 1 document (the first byte gives
// the length divisor), then the song written as VELK and converted back to KZ-1 data by both
// engines. The rest of the input is the file, written to a file of this process first, since
// the reader works on files.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "song/SongSetup.h"
#include "song/VoiceTable1.h"
#include "song/document/KZ1Doc.h"
#include "velk/ConvertJob.h"

namespace {

struct InputFile {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("trillot_fuzz_" + std::to_string(getpid()) + ".kz1")).string();
  ~InputFile() { std::remove(path.c_str()); }
};

const std::string& InputPath() {
  static const InputFile file;
  return file.path;
}

bool WriteInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(InputPath().c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  platform::FakeHost host;
  host.settings.chipMode = 1;
  host.settings.batchMode = true;
  if (!WriteInput(data + 1, size - 1)) return 0;
  try {
    CKZ1Doc doc;
    doc.SetRefreshSuppress(0);
    doc.SetExportOption2(data[0] & 7);
    if (doc.ReadKZ1File(InputPath()) != 1) return 0;
    SongOutputRecord setup;
    doc.BuildOutputSetup(setup, 1);
    CMemStream velk;
    if (!doc.ConvertToVelk_KZ1(velk, 0, std::string(), setup, 0, 0, 0)) return 0;
    CVoiceTable1 table;
    for (int i = 0; i < CVoiceTable1::kEntryCount; ++i) table.GetEntry(i)[32] = 0xF0;
    for (bool qxCue : {true, false}) {
      CMemStream out;
      CConvertJob job(velk, table, table, out, qxCue);
      job.Check("PA");
      job.Run();
    }
  } catch (int) {
    // -108 without memory
  }
  return 0;
}
