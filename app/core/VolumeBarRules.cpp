// The volume bar's rules without its window.
#include "app/core/VolumeBarRules.h"

#include <cctype>

#include "app/core/SettingKeys.h"
#include "platform/host/HostServices.h"

namespace volumebar {

LevelText ReadLevelText(const std::string& text) {
  uint32_t number = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    number = number * 10 + static_cast<uint32_t>(c - '0');
    if (number > 0xFFFFFFu / 10) break;
  }
  LevelText out;
  if ((number & 0xFFFF) > kLevelMax) {
    out.value = kLevelMax;
    out.showMax = true;
  } else {
    out.value = static_cast<int>(number & 0xFFFF);
  }
  return out;
}

MasterRule MasterRuleFor(int outputProfile) {
  switch (outputProfile) {
    case 1:
    case 7: return MasterRule::kHundredWithoutSong;
    case 4:
    case 6: return MasterRule::kKeep;
    default: return MasterRule::kFromPreset;
  }
}

bool PresetHoldsMaster(int outputProfile) {
  return outputProfile != 1 && outputProfile != 4 && outputProfile != 6 && outputProfile != 7;
}

std::string PresetSection(const std::string& name) { return std::string(profile_keys::kVolume) + "\\" + name; }

Levels ReadPreset(const std::string& name, int outputProfile) {
  Levels levels;
  if (name == kDefaultPreset) return levels;
  platform::IProfile& profile = platform::profile();
  const std::string section = PresetSection(name);
  if (outputProfile == 2 || outputProfile == 3 || outputProfile == 5 || outputProfile == 8)
    levels.mv = profile.GetProfileInt(section, "MV", kDefaultMaster);
  levels.hp = profile.GetProfileInt(section, "HP", kLevelMax);
  levels.sp = profile.GetProfileInt(section, "SP", kLevelMax);
  levels.eq = profile.GetProfileInt(section, "EQ", kLevelMax);
  return levels;
}

void StorePreset(const std::string& name, int outputProfile, const Levels& levels) {
  WriteProfileSetting(profile_keys::kVolumePreset, name);
  platform::IProfile& profile = platform::profile();
  const std::string section = PresetSection(name);
  if (PresetHoldsMaster(outputProfile)) profile.WriteProfileInt(section, "MV", levels.mv);
  profile.WriteProfileInt(section, "SP", levels.sp);
  profile.WriteProfileInt(section, "HP", levels.hp);
  profile.WriteProfileInt(section, "EQ", levels.eq);
}

}  // namespace volumebar
