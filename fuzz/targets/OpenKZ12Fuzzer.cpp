// Opening a song in chip mode 1 or 2, through the document's own loader: a VELK file (".mmf"),
// a native file (".K3N"), a KZ-1 file (".kz1") or a Standard MIDI File (".mid"). Every one of
// them ends in the chip-mode 1/2 event clean-up. An opened song is saved again with the chip
// mode's own VELK writer and that image opened once more. The first byte picks the chip mode,
// the file kind, the output profile and the QX cue switch; the rest is the file, written to a
// file of this process first, since the readers work on files.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"
#include "song/document/VelkWriterKZ12.h"

namespace {

const char* const kEndings[4] = {".mmf", ".K3N", ".kz1", ".mid"};

struct InputFiles {
  std::string base = (std::filesystem::temp_directory_path() /
                      ("trillot_fuzz_kz12_" + std::to_string(getpid()))).string();
  ~InputFiles() {
    for (const char* ending : kEndings) std::remove((base + ending).c_str());
    std::remove((base + "_again.mmf").c_str());
  }
};

const std::string& BasePath() {
  static const InputFiles files;
  return files.base;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  platform::FakeHost host;
  const int chip = 1 + (data[0] & 1);
  host.settings.chipMode = chip;
  host.settings.outputProfile = 1 + ((data[0] >> 3) & 7);
  host.ui.qxCue = (data[0] & 0x40) != 0;
  host.settings.batchMode = true;
  const std::string path = BasePath() + kEndings[(data[0] >> 1) & 3];
  if (!WriteFile(path, data + 1, size - 1)) return 0;
  try {
    CKZ1Doc doc;
    if (doc.OpenWithChannelMask(path, (data[0] & 0x80) ? 0x0005 : 0xFFFF, 24) != 1) return 0;
    SongOutputRecord setup;
    doc.BuildOutputSetup(setup, 1);
    CMemStream image;
    const int written = chip == 1 ? WriteVelkKZ1(doc, image, setup) : WriteVelkKZ2(doc, image, setup);
    if (!written || image.GetSize() == 0) return 0;
    const std::string again = BasePath() + "_again.mmf";
    if (!WriteFile(again, image.GetData(), static_cast<size_t>(image.GetSize()))) return 0;
    CKZ1Doc reopened;
    reopened.OpenWithChannelMask(again, 0xFFFF, 24);
  } catch (int) {
    // -108 without memory
  }
  return 0;
}
