// The native song file reader (".K3N", ".K5N"): the file read into a document and the song
// initialised from it, then the song's play list built and written back as a Standard MIDI
// File. The first byte picks the chip mode and output profile; the rest is the file, which is
// written to a file of this process first, since the reader works on files.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"

namespace {

struct InputFile {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("trillot_fuzz_" + std::to_string(getpid()) + ".K3N")).string();
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
  static const int kChipModes[4] = {3, 5, 2, 1};
  host.settings.chipMode = kChipModes[data[0] & 3];
  host.settings.outputProfile = 1 + ((data[0] >> 2) & 15) % 10;
  host.settings.makerId = (data[0] >> 6) & 1;
  host.settings.batchMode = true;
  if (!WriteInput(data + 1, size - 1)) return 0;
  try {
    CKZ1Doc doc;
    doc.SetRefreshSuppress(0);
    if (doc.ReadNativeFile(InputPath()) != 1) return 0;
    SongOutputRecord setup;
    for (int i = 0; i < SongOutputRecord::kVoiceSlotOffset; ++i) setup.bytes[i] = 255;
    CMemStream out;
    doc.WriteSmf(out, setup);
  } catch (int) {
    // -108 without memory
  }
  return 0;
}
