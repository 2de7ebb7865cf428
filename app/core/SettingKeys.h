// Every key of the settings profile and of "Trillot.ini" with its default, and their readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class IniFile;
}

struct ProfileIntKey {
  const char* section;
  const char* key;
  int def;
};

struct ProfileStringKey {
  const char* section;
  const char* key;
  const char* def;
};

namespace profile_keys {

inline constexpr char kSetting[] = "Setting";
inline constexpr char kVolume[] = "Setting\\Volume";
inline constexpr char kInfoWindow[] = "InfoWindow";
inline constexpr char kWindowState[] = "WindowState";
inline constexpr char kToolBarState[] = "ToolBarState";
/// Followed by a window's class name.
inline constexpr char kWindowPositionPrefix[] = "WindowPosition\\";

// "OutputType" is read with -1 at start (so a missing value is told apart) and 0 elsewhere;
// "COMPort" with 0 at start and 1 in the preference dialogs.
inline constexpr ProfileIntKey kOutputType{kSetting, "OutputType", 0};
inline constexpr ProfileIntKey kOutputTypeAtStart{kSetting, "OutputType", -1};
inline constexpr ProfileIntKey kTrMode{kSetting, "TrMode", 5};
inline constexpr ProfileIntKey kCOMPort{kSetting, "COMPort", 0};
inline constexpr ProfileIntKey kCOMPortInDialogs{kSetting, "COMPort", 1};
inline constexpr ProfileIntKey kModeSetting{kSetting, "KZ-3_ModeSetting", 0};
inline constexpr ProfileIntKey kStreamPCMReserve{kSetting, "KZ-3_StreamPCMReserve", 0};
// The generation-1/2 preference dialog reads "OutputFormat" with 1.
inline constexpr ProfileIntKey kOutputFormat{kSetting, "OutputFormat", 3};
inline constexpr ProfileIntKey kOutputFormatKZ12{kSetting, "OutputFormat", 1};
inline constexpr ProfileIntKey kMIDIDeviceOut{kSetting, "MIDIDeviceOut", 0};
inline constexpr ProfileIntKey kMIDIDeviceThruIn{kSetting, "MIDIDeviceThruIn", 0};
inline constexpr ProfileIntKey kMIDIDeviceThruOut{kSetting, "MIDIDeviceThruOut", 0};
inline constexpr ProfileIntKey kOriginPch{kSetting, "OriginPch", 0};
inline constexpr ProfileIntKey kOriginNote{kSetting, "OriginNote", 0};
inline constexpr ProfileIntKey kBlinkLED{kSetting, "BlinkLED", 0};
inline constexpr ProfileIntKey kBlinkMTR{kSetting, "BlinkMTR", 0};
inline constexpr ProfileIntKey kCopyStatus{kSetting, "CopyStatus", 253};
inline constexpr ProfileIntKey kEditStatus{kSetting, "EditStatus", 128};
inline constexpr ProfileIntKey kDensWidth{kSetting, "DensWidth", 500};
inline constexpr ProfileIntKey kMasterVolume{kSetting, "MasterVolume", 128};
inline constexpr ProfileIntKey kFMMMode{kSetting, "FMMMode", 0};

inline constexpr ProfileStringKey kDefDirInput{kSetting, "DefDir_INPUT", ""};
inline constexpr ProfileStringKey kDefDirOutput{kSetting, "DefDir_OUTPUT", ""};
inline constexpr ProfileStringKey kDefDirSound{kSetting, "DefDir_SOUND", ""};
inline constexpr ProfileStringKey kDefDirVoice{kSetting, "DefDir_VOICE", ""};

inline constexpr ProfileIntKey kVolumeMV{kVolume, "MV", 100};
inline constexpr ProfileStringKey kVolumePreset{kVolume, "Set", "Default"};

inline constexpr ProfileIntKey kCodeTypeKORVAN{kInfoWindow, "CodeTypeKORVAN", 0};
inline constexpr ProfileIntKey kCodeTypeVELKPhrase{kInfoWindow, "CodeTypeVELKPhrase", 0};
inline constexpr ProfileIntKey kCodeTypeVELK{kInfoWindow, "CodeTypeVELK", 0};
inline constexpr ProfileIntKey kCodeTypeDoCoMo{kInfoWindow, "CodeTypeDoCoMo", 0};

/// Written in this order by SaveWindowPlacement.
inline constexpr const char* kPlacementKeys[] = {"showCmd",        "ptMinPositionX", "ptMinPositionY",
                                                 "ptMaxPositionX", "ptMaxPositionY", "top",
                                                 "bottom",         "left",           "right"};

/// Every integer and string key above, for checks over the whole table.
const std::vector<ProfileIntKey>& AllIntKeys();
const std::vector<ProfileStringKey>& AllStringKeys();

}  // namespace profile_keys

/// The key's value in the installed profile, or its default.
int ReadProfileSetting(const ProfileIntKey& key);
std::string ReadProfileSetting(const ProfileStringKey& key);
/// False when the profile could not store it.
bool WriteProfileSetting(const ProfileIntKey& key, int value);
bool WriteProfileSetting(const ProfileStringKey& key, const std::string& value);

/// The voice-mode bits of CnvParam::flags from "Setting"/"KZ-3_ModeSetting".
uint32_t CurrentVoiceModeBits();

/// The default folder of a file dialog: kind 0 input, 1 output, 2 sound, 3 voice; any other
/// kind gives an empty text.
std::string GetDefaultDir(int kind);

/// "Setting"/"KZMode" of "Trillot.ini" by the decimal rule; 0 when the file or key is missing.
int ReadIniChipMode(const platform::IniFile& ini);
/// "Setting"/"MakerID" of "Trillot.ini", default "1".
int ReadIniMakerID(const platform::IniFile& ini);
