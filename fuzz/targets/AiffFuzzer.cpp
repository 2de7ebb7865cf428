// The AIFF reader: an ".aif" image through the parse and every conversion into the chip's
// formats, with room enough and with too little, and the expansions of chip samples to 16-bit.
#include <vector>

#include "fuzz/FuzzInput.h"
#include "voice/WaveFileReader.h"

namespace {

using Conversion = int32_t (*)(CWaveFileReader&);

const Conversion kConversions[] = {
    [](CWaveFileReader& r) { return r.Mono16ToAdpcm(); },
    [](CWaveFileReader& r) { return r.Stereo16ToAdpcmChannel(0); },
    [](CWaveFileReader& r) { return r.Stereo16ToAdpcmChannel(1); },
    [](CWaveFileReader& r) { return r.Stereo16ToAdpcm(); },
    [](CWaveFileReader& r) { return r.Mono16To16(); },
    [](CWaveFileReader& r) { return r.Mono16To8(); },
    [](CWaveFileReader& r) { return r.Stereo16To8Channel(1); },
    [](CWaveFileReader& r) { return r.Stereo16To8(); },
    [](CWaveFileReader& r) { return r.Mono8To8(); },
    [](CWaveFileReader& r) { return r.Stereo8To8Channel(0); },
    [](CWaveFileReader& r) { return r.Stereo8To8(); },
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  const auto n = static_cast<uint32_t>(size);
  // Every conversion's output fits in twice the image; three bytes is too little for most.
  std::vector<uint8_t> out(2 * size + 16);
  uint32_t loop[3] = {};
  CWaveFileReader reader;
  for (uint32_t room : {static_cast<uint32_t>(out.size()), 3u}) {
    for (Conversion convert : kConversions) {
      reader.Setup(data, n, out.data(), room, loop);
      if (reader.ReadAiffFile() != 0) break;
      reader.Classify();
      uint32_t rate = 0;
      reader.GetPitchCorrectedRate(rate);
      convert(reader);
    }
  }
  std::vector<uint8_t> wide(4 * size + 16);
  reader.Setup(data, n, wide.data(), static_cast<uint32_t>(wide.size()), loop);
  reader.ExpandAdpcmTo16();
  reader.Setup(data, n, wide.data(), static_cast<uint32_t>(wide.size()), loop);
  reader.Expand8To16();
  reader.Setup(data, n, wide.data(), 5, loop);
  reader.ExpandAdpcmTo16();
  reader.Setup(data, n, wide.data(), 5, loop);
  reader.Expand8To16();
  return 0;
}
