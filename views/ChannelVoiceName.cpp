#include "views/ChannelVoiceName.h"

#include "song/GMNames.h"

namespace {

constexpr int kDrumChannel = 9;

bool IsPhraseProfile(int profile) { return profile == 4 || profile == 6; }

std::string User(int n) { return "Drum User" + std::to_string(n); }

}  // namespace

std::string DrumKitName(int program, int chipMode, int outputProfile, int makerId, int modeSetting) {
  if (program < 0 || program > 10 || modeSetting < 0 || modeSetting > 2) return {};
  const bool f4 = modeSetting == 0;
  // Phrase profiles in chip mode 3 shift the user kits up by one and have no PCM kits.
  if (IsPhraseProfile(outputProfile) && chipMode == 3) {
    if (program == 0) return f4 ? "Drum F4" : "Drum F2";
    if (program == 10) return "Drum F2";
    return User(program);
  }
  switch (program) {
    case 0: return f4 ? "Drum F4/PCM" : "Drum F2/PCM";
    case 1: return f4 ? "Drum F4" : "Drum F2";
    case 10:
      if (f4 && !IsPhraseProfile(outputProfile) && (outputProfile == 1 || outputProfile == 7) && makerId != 4)
        return "Drum F4/PCM";
      return "Drum F2/PCM";
    default: return User(program - 1);
  }
}

std::string ChannelVoiceName(const ChannelVoiceNameInput& in) {
  if (in.bankMsb == 0) {
    if (in.channel != kDrumChannel) {
      const char* gm = GetGMProgramName(0, static_cast<uint8_t>(in.bankLsb), static_cast<uint8_t>(in.program));
      return gm ? gm : "";
    }
    if (in.outputProfile != 1 && in.outputProfile != 7) return "Drum F2/PCM";
    if (in.makerId == 1 || in.makerId == 2) {
      if (in.modeSetting == 0) return "Drum F4/PCM";
      if (in.modeSetting == 1 || in.modeSetting == 2) return "Drum F2/PCM";
      return {};
    }
    return in.makerId == 4 ? "Drum F2/PCM" : "";
  }
  if (in.bankMsb == 125) return DrumKitName(in.program, in.chipMode, in.outputProfile, in.makerId, in.modeSetting);
  return in.itemName;
}
