// The volume bar's rules without its window: reading a level edit, the preset records and which
// output profiles keep the master volume out of a preset.
#pragma once

#include <string>

namespace volumebar {

inline constexpr int kLevelMax = 31;
inline constexpr int kMasterMax = 127;
inline constexpr int kDefaultMaster = 100;
inline constexpr char kDefaultPreset[] = "Default";

/// A level typed into "SP", "HP" or "EQ": its leading digits (0 when none); above 31 it is 31
/// and the edit is to show "31".
struct LevelText {
  int value = 0;
  bool showMax = false;
};
LevelText ReadLevelText(const std::string& text);

/// The four levels of a preset.
struct Levels {
  int mv = kDefaultMaster;
  int sp = kLevelMax;
  int hp = kLevelMax;
  int eq = kLevelMax;
};

/// What a preset does to the master volume under an output profile.
enum class MasterRule {
  kHundredWithoutSong,  // profiles 1 and 7: 100, and only while no song is open
  kKeep,                // profiles 4 and 6: left alone
  kFromPreset,          // every other profile
};
MasterRule MasterRuleFor(int outputProfile);

/// Whether the preset's record holds "MV" for the profile (not 1, 4, 6 or 7).
bool PresetHoldsMaster(int outputProfile);

/// The preset's section, "Setting\Volume\<name>".
std::string PresetSection(const std::string& name);

/// The levels of a preset: "Default" gives the fixed defaults; another name reads its record
/// ("MV" only for profiles 2, 3, 5 and 8).
Levels ReadPreset(const std::string& name, int outputProfile);

/// "Set": the name becomes "Setting\Volume"/"Set" and its record takes the levels.
void StorePreset(const std::string& name, int outputProfile, const Levels& levels);

}  // namespace volumebar
