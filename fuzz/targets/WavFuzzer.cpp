// The WAV reader: a RIFF "WAVE" file through every conversion into the chip's formats, with
// room enough and with too little, then the wave holder's loads of it. The reader works on
// files, so each input is written to a file of this process first.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "voice/RiffWaveReader.h"
#include "voice/WaveData.h"

namespace {

// The input's file, removed when the process ends.
struct InputFile {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("trillot_fuzz_" + std::to_string(getpid()) + ".wav")).string();
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

using Conversion = uint32_t (*)(CRiffWaveReader&, uint8_t*, uint32_t, uint32_t*);

const Conversion kConversions[] = {
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Mono16ToAdpcm(o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Stereo16ToAdpcm(1, o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Stereo16ToAdpcm(3, o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Mono16To16(o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Mono16To8(o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Stereo16To8(2, o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Mono8To8(o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Stereo8To8(1, o, n, res); },
    [](CRiffWaveReader& r, uint8_t* o, uint32_t n, uint32_t* res) { return r.Stereo8To8(3, o, n, res); },
};

void ReadAll(size_t size) {
  CRiffWaveReader reader;
  if (!reader.Open(InputPath())) return;
  // The whole data chunk always fits: it lies inside the input.
  std::vector<uint8_t> out(2 * size + 16);
  for (Conversion convert : kConversions) {
    if (!reader.FindData()) return;
    uint32_t result = 0;
    convert(reader, out.data(), static_cast<uint32_t>(out.size()), &result);
    if (!reader.FindData()) return;
    convert(reader, out.data(), 3, &result);  // too little room: refused, never overrun
  }
  if (!reader.FindData()) return;
  uint8_t chunk[64];
  while (reader.Read(chunk, sizeof chunk) > 0) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size) || !WriteInput(data, size)) return 0;
  ReadAll(size);
  platform::FakeHost host;
  host.settings.batchMode = true;
  for (int chipMode : {3, 2}) {
    host.settings.chipMode = chipMode;
    CWaveData wave;
    uint32_t result = 0;
    wave.Load(InputPath(), 4, &result);
    wave.Load(InputPath(), 8, &result);
    if (wave.GetSampleBytes(0) > 0) wave.ExpandTo16Bit();
    wave.LoadFor16Bit(InputPath(), &result);
  }
  return 0;
}
