// The ROM-wave table and its files in the program's folder.
#include "voice/RomWaveSource.h"

#include <utility>

#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"

namespace {

constexpr RomWaveInfo kRomWaves[RomWaveSource::kCount] = {
    {2621, "Bass Drum", 10000, 937, 937},
    {2623, "Snare Drum", 19000, 2971, 2971},
    {2624, "Tom Tom", 15000, 2772, 3525},
    {2619, "Hi-Hat Closed", 15000, 1239, 1239},
    {2620, "Hi-Hat Open", 15500, 3323, 3323},
    {2622, "Ride Cymbal", 16000, 1594, 4800},
    {2618, "Crash Cymbal", 13200, 3577, 5595},
};

}  // namespace

const RomWaveInfo* RomWaveSource::Info(int waveId) {
  if (waveId < 0 || waveId >= kCount) return nullptr;
  return &kRomWaves[waveId];
}

std::string RomWaveSource::FileName(int resourceId) {
  return "rom/" + std::to_string(resourceId) + ".bin";
}

std::vector<uint8_t> RomWaveSource::Read(int waveId) {
  const RomWaveInfo* info = Info(waveId);
  if (!info) return {};
  const std::string dir = platform::FindCaseInsensitive(platform::settings().GetAppDir(), "rom");
  if (dir.empty()) return {};
  const std::string path =
      platform::FindCaseInsensitive(dir, std::to_string(info->resourceId) + ".bin");
  if (path.empty()) return {};
  auto bytes = platform::ReadWholeFile(path);
  return bytes ? std::move(*bytes) : std::vector<uint8_t>{};
}
